// torva-inout from a shell: its own options end before any window is
// opened, and a display that is missing or silent gives one line and
// status 1 instead of Qt's abort.
#include <gtest/gtest.h>

#ifndef _WIN32

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "test_support.h"

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class Startup : public testsupport::TempDirTest {
protected:
    // Runs the program with no display but those in `env` ("NAME=value ...").
    std::string timeout_ = "20";
    Outcome run(const std::string& env, const std::string& args) {
        const auto out = dir_.string() + ".out", err = dir_.string() + ".err";
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + env +
                                    " XDG_RUNTIME_DIR='" + dir_.string() + "' timeout " + timeout_ + " '" +
                                    TORVA_INOUT_EXE + "' " + args + " >'" + out + "' 2>'" + err + "'";
        const int raw = std::system(command.c_str());
        Outcome result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
        std::filesystem::remove(out);
        std::filesystem::remove(err);
        return result;
    }
};

constexpr const char* kCannotOpen = "torva-inout: cannot open the window: ";

TEST_F(Startup, OwnOptionsEndWithoutAWindow) {
    const std::pair<std::string, std::string> cases[] = {
        {"--version", "torva-inout " TORVA_VERSION "\n"},
        {"-platform xcb --version", "torva-inout " TORVA_VERSION "\n"},
        {"--help", "usage: torva-inout [--help | --version] [--wine[=PREFIX]] [Qt options]\n"},
        {"-h", "usage: torva-inout [--help | --version] [--wine[=PREFIX]] [Qt options]\n"},
    };
    for (const auto& [args, first_line] : cases) {
        const Outcome r = run("", args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), first_line) << args;
        EXPECT_EQ(r.err, "") << args;
    }
}

TEST_F(Startup, NoDisplayIsOneLineAndStatusOne) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)"},
        {"DISPLAY=", "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)"},
        {"DISPLAY=:987", "the display does not answer (DISPLAY=:987)"},
        {"WAYLAND_DISPLAY=torva-none", "the display does not answer (WAYLAND_DISPLAY=torva-none)"},
    };
    for (const auto& [env, cause] : cases) {
        const Outcome r = run(env, "");
        EXPECT_EQ(r.status, 1) << env;
        EXPECT_EQ(r.out, "") << env;
        EXPECT_EQ(r.err, kCannotOpen + cause + "\n") << env;
    }
}

// With --wine the panel's port file is that of the prefix's temporary
// folder, and nothing else changes; without the prefix, one line.
TEST_F(Startup, WineOptionTakesThePrefixsTemporaryFolder) {
    namespace fs = std::filesystem;
    const fs::path prefix = dir_ / "prefix";
    fs::create_directories(prefix / "dosdevices");
    fs::create_directories(prefix / "drive_c/Emulator Temp");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
    std::ofstream(prefix / "user.reg") << "WINE REGISTRY Version 2\n\n[Environment] 1\n"
                                          "\"TEMP\"=\"C:\\\\Emulator Temp\"\n";
    // The first tick reads the ports and so creates the port file; the
    // window runs until the timeout ends it.
    timeout_ = "5";
    const Outcome shown = run("", "--wine='" + prefix.string() + "' -platform offscreen");
    EXPECT_EQ(shown.status, 124) << shown.err;
    EXPECT_TRUE(fs::exists(prefix / "drive_c/Emulator Temp/emu_port.dat"));
    EXPECT_FALSE(fs::exists(port_file()));

    const Outcome missing = run("", "--wine='" + (dir_ / "none").string() + "' -platform offscreen");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "torva-inout: --wine: no Wine prefix at " + (dir_ / "none").string() + "\n");
}

}  // namespace

#endif
