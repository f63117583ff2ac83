// The temporary folder of a Wine prefix: the registry files read as Wine
// writes them, %NAME% expanded, the drive mapped through dosdevices, and
// both programs pointed at it by --wine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "runtime/wine/prefix.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using rt::wine::PrefixError;
using rt::wine::Values;

constexpr const char* kUserReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Control Panel\\Desktop] 1796763258
#time=1dd87564acd91b2
"TEMP"="C:\\not\\this\\one"

[Environment] 1796763264
#time=1dd87564ec29b32
"Plain"="C:\\users\\me\\Temp"
"Expand"=str(2):"%USERPROFILE%\\Local Settings\\Temp"
"Quote"="say \"hi\""
"Hebrew"="C:\\users\\\x5e9\x5dc\x5d5\x5dd"
"Clef"="\xd834\xdd1e"
"Octal"="\101\102"
"Count"=dword:00000010
"Bytes"=hex:01,02,\
  03,04
@="default"

[Software\\Wine\\Drives] 1796763258
"d:"="cdrom"
)";

TEST(WineRegistry, ReadsTheTextValuesOfOneKey) {
    const Values environment = rt::wine::read_key(kUserReg, "environment");
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"Plain", "C:\\users\\me\\Temp"},
        {"EXPAND", "%USERPROFILE%\\Local Settings\\Temp"},
        {"Quote", "say \"hi\""},
        {"Hebrew", "C:\\users\\\u05e9\u05dc\u05d5\u05dd"},
        {"Clef", "\U0001D11E"},
        {"Octal", "AB"},
        {"", "default"},
        {"Count", std::nullopt},  // not text
        {"Bytes", std::nullopt},
        {"TEMP", std::nullopt},  // in another key
    };
    for (const auto& [name, value] : cases) {
        const auto found = environment.find(name);
        EXPECT_EQ(found == environment.end() ? std::nullopt : std::optional(found->second), value) << name;
    }
    EXPECT_EQ(rt::wine::read_key(kUserReg, "Software\\Wine\\Drives").at("D:"), "cdrom");
    EXPECT_TRUE(rt::wine::read_key(kUserReg, "Software").empty());
}

TEST(WineRegistry, ExpandsNamesAsWindowsDoes) {
    const Values values{
        {"USERPROFILE", "%SystemDrive%\\users\\me"}, {"SystemDrive", "C:"}, {"Loop", "%Loop%x"}};
    const std::pair<std::string, std::string> cases[] = {
        {"%userprofile%\\Temp", "C:\\users\\me\\Temp"},
        {"%SystemDrive%%SystemDrive%", "C:C:"},
        {"%NOPE%\\Temp", "%NOPE%\\Temp"},
        {"100%", "100%"},
        {"50% %SystemDrive%", "50% C:"},
        {"%NOPE%SystemDrive%", "%NOPEC:"},
        {"no names", "no names"},
    };
    for (const auto& [text, expanded] : cases) EXPECT_EQ(rt::wine::expand(text, values), expanded) << text;
    EXPECT_NE(rt::wine::expand("%Loop%", values).find('x'), std::string::npos);  // ends
}

TEST(WinePrefix, ChoosesTheGivenPrefixThenWINEPREFIXThenHome) {
    const std::string given = "/given", none = "";
    EXPECT_EQ(rt::wine::choose_prefix(given, "/env", "/home/me"), fs::path("/given"));
    EXPECT_EQ(rt::wine::choose_prefix(none, "/env", "/home/me"), fs::path("/env"));
    EXPECT_EQ(rt::wine::choose_prefix(none, "", "/home/me"), fs::path("/home/me/.wine"));
    EXPECT_EQ(rt::wine::choose_prefix(std::nullopt, nullptr, "/home/me"), fs::path("/home/me/.wine"));
    EXPECT_THROW(rt::wine::choose_prefix(none, nullptr, nullptr), PrefixError);
}

TEST(WinePrefix, TakesTheOptionOutOfTheArguments) {
    struct Case {
        std::vector<std::string> args;
        std::optional<std::string> prefix;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {{"read", "115"}, std::nullopt, {"read", "115"}},
        {{"--wine", "read", "115"}, "", {"read", "115"}},
        {{"-platform", "xcb", "--wine=/p"}, "/p", {"-platform", "xcb"}},
        {{"--wine=/a", "path", "--wine=/b"}, "/b", {"path"}},
        {{"--winery"}, std::nullopt, {"--winery"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> storage = c.args;
        storage.insert(storage.begin(), "program");
        std::vector<char*> argv;
        for (auto& arg : storage) argv.push_back(arg.data());
        argv.push_back(nullptr);
        int argc = static_cast<int>(storage.size());
        EXPECT_EQ(rt::wine::take_option(argc, argv.data()), c.prefix) << c.args.front();
        EXPECT_EQ(std::vector<std::string>(argv.begin() + 1, argv.begin() + argc), c.left) << c.args.front();
        EXPECT_EQ(argv[argc], nullptr);
    }
    std::string name = "program", empty = "--wine=";
    char* argv[] = {name.data(), empty.data(), nullptr};
    int argc = 2;
    EXPECT_THROW(rt::wine::take_option(argc, argv), PrefixError);
}

// A prefix of our own: registry files, drive letters and folders as given.
class FakePrefix : public testsupport::TempDirTest {
protected:
    fs::path prefix() const { return dir_ / "prefix"; }
    void make(const std::string& user_reg, const std::string& system_reg = "") const {
        fs::create_directories(prefix() / "dosdevices");
        fs::create_directories(prefix() / "drive_c/users/me/Temp");
        fs::create_directory_symlink("../drive_c", prefix() / "dosdevices/c:");
        if (!user_reg.empty()) std::ofstream(prefix() / "user.reg") << user_reg;
        if (!system_reg.empty()) std::ofstream(prefix() / "system.reg") << system_reg;
    }
    static std::string user_reg(const std::string& values) {
        return "WINE REGISTRY Version 2\n\n[Environment] 1796763264\n#time=1dd87564ec29b32\n" + values + "\n";
    }
};

TEST_F(FakePrefix, FindsTheTemporaryFolderOfTheUsersEnvironment) {
    struct Case {
        const char* what;
        std::string user_reg;
        std::string system_reg;
        std::string folder;    // made in the prefix first; "" for none
        std::string expected;  // relative to the prefix
    };
    const std::string volatile_profile =
        "\n[Volatile Environment] 1796763274\n\"USERPROFILE\"=\"C:\\\\users\\\\profile\"\n";
    const Case cases[] = {
        {"plain TEMP", user_reg(R"("TEMP"="C:\\users\\me\\Scratch")"), "", "drive_c/users/me/Scratch",
         "drive_c/users/me/Scratch"},
        {"TMP before TEMP",
         user_reg(R"("TEMP"="C:\\one")"
                  "\n"
                  R"("TMP"="C:\\two")"),
         "", "drive_c/two", "drive_c/two"},
        {"%USERPROFILE% by default", user_reg(R"("TEMP"=str(2):"%USERPROFILE%\\Temp")"), "", "",
         "drive_c/users/me/Temp"},
        {"%USERPROFILE% from the volatile environment",
         user_reg(R"("TEMP"=str(2):"%USERPROFILE%\\T")") + volatile_profile, "", "drive_c/users/profile/T",
         "drive_c/users/profile/T"},
        {"%SystemRoot% from system.reg", user_reg(R"("TEMP"=str(2):"%SystemRoot%\\temp")"),
         "[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment] 1\n"
         "\"SystemRoot\"=\"C:\\\\winnt\"\n",
         "drive_c/winnt/temp", "drive_c/winnt/temp"},
        {"names in another case", user_reg(R"("temp"="c:\\USERS\\ME\\temp")"), "", "",
         "drive_c/users/me/Temp"},
        {"forward slashes and dots", user_reg(R"("TEMP"="C:/users/./me/../me/Temp/")"), "", "",
         "drive_c/users/me/Temp"},
        {"no TEMP", user_reg(R"("PATH"="C:\\windows")"), "", "", "drive_c/users/me/Temp"},
        {"no user.reg", "", "", "", "drive_c/users/me/Temp"},
        {"no TEMP, the profile of a newer Wine", user_reg(R"("PATH"="C:\\windows")"), "",
         "drive_c/users/me/AppData/Local/Temp", "drive_c/users/me/AppData/Local/Temp"},
        {"no user.reg, the profile of a newer Wine", "", "", "drive_c/users/me/AppData/Local/Temp",
         "drive_c/users/me/AppData/Local/Temp"},
    };
    for (const auto& c : cases) {
        fs::remove_all(prefix());
        make(c.user_reg, c.system_reg);
        if (!c.folder.empty()) fs::create_directories(prefix() / c.folder);
        try {
            EXPECT_EQ(rt::wine::temp_directory(prefix(), "me"), fs::canonical(prefix() / c.expected))
                << c.what;
        } catch (const PrefixError& error) {
            ADD_FAILURE() << c.what << ": " << error.description();
        }
    }
}

TEST_F(FakePrefix, MapsAnotherDriveThroughDosdevices) {
    make(user_reg(R"("TEMP"="D:\\Emulator Temp")"));
    fs::create_directories(dir_ / "elsewhere/Emulator Temp");
    fs::create_directory_symlink(dir_ / "elsewhere", prefix() / "dosdevices/d:");
    EXPECT_EQ(rt::wine::temp_directory(prefix(), "me"), fs::canonical(dir_ / "elsewhere/Emulator Temp"));
}

TEST_F(FakePrefix, SaysWhatIsMissingInOneLine) {
    const std::pair<std::string, std::string> cases[] = {
        {user_reg(R"("TEMP"="E:\\tmp")"), "drive E: of the temporary folder \"E:\\tmp\" is not in "},
        {user_reg(R"("TEMP"="C:\\gone")"), "the temporary folder of the Wine prefix, "},
        {user_reg(R"("TEMP"="\\\\server\\share")"),
         "the temporary folder \"\\\\server\\share\" is not a path"},
    };
    for (const auto& [reg, message] : cases) {
        fs::remove_all(prefix());
        make(reg);
        try {
            rt::wine::temp_directory(prefix(), "me");
            ADD_FAILURE() << message;
        } catch (const PrefixError& error) {
            EXPECT_EQ(error.description().rfind(message, 0), 0u) << error.description();
            EXPECT_EQ(error.description().find('\n'), std::string::npos);
        }
    }
    EXPECT_THROW(rt::wine::temp_directory(dir_ / "none", "me"), PrefixError);
    fs::create_directories(dir_ / "empty");
    EXPECT_THROW(rt::wine::temp_directory(dir_ / "empty", "me"), PrefixError);
}

// Both programs: with --wine the port file is the prefix's; without it,
// TMPDIR's as ever.
TEST_F(FakePrefix, PointsBothProgramsAtThePrefix) {
    make(user_reg(R"("TEMP"="C:\\users\\me\\Emulator")"));
    fs::create_directories(prefix() / "drive_c/users/me/Emulator");
    const fs::path wine_port_file = fs::canonical(prefix() / "drive_c/users/me/Emulator") / "emu_port.dat";
    const std::string stem = dir_.string();
    struct Case {
        std::vector<std::string> args;
        std::string env_prefix;
        std::string out;
    };
    const Case cases[] = {
        {{"path"}, "", port_file().string() + "\n"},
        {{"--wine=" + prefix().string(), "path"}, "", wine_port_file.string() + "\n"},
        {{"--wine", "path"}, prefix().string(), wine_port_file.string() + "\n"},
        {{"read", "115", "--wine"}, prefix().string(), "0\n"},
    };
    for (const auto& c : cases) {
        if (c.env_prefix.empty()) testsupport::unset_env("WINEPREFIX");
        else testsupport::set_env("WINEPREFIX", c.env_prefix);
        const testsupport::Outcome r = testsupport::run_process(TORVA_PORT_EXE, c.args, stem);
        EXPECT_EQ(r.status, 0) << c.args.front() << r.err;
        EXPECT_EQ(r.out, c.out) << c.args.front();
    }
    testsupport::unset_env("WINEPREFIX");
    EXPECT_TRUE(fs::exists(wine_port_file));
    const testsupport::Outcome r =
        testsupport::run_process(TORVA_PORT_EXE, {"--wine=" + (dir_ / "none").string(), "path"}, stem);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "torva-port: --wine: no Wine prefix at " + (dir_ / "none").string() + "\n");
}

}  // namespace
