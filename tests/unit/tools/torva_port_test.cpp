// torva-port run as a process: exit status, what it prints, and the port
// file's bytes afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#endif

#include "child_process.h"
#include "io/io.h"
#include "runtime/os/os.h"
#include "test_support.h"

namespace {

using testsupport::Bytes;
using testsupport::Outcome;

class TorvaPort : public testsupport::TempDirTest {
protected:
    // Output goes beside the test's folder, not into the temporary directory,
    // unless another target is given.
    Outcome run(const std::vector<std::string>& args, const std::string& target = "") {
        return testsupport::run_process(TORVA_PORT_EXE, args, dir_.string(), target);
    }

    // A temporary directory named in Hebrew letters, outside any Western code page.
    std::filesystem::path hebrew_temp() const {
        const std::filesystem::path dir = dir_ / std::filesystem::path(u8"\u05e9\u05e2\u05e8");
        std::filesystem::create_directory(dir);
#ifdef _WIN32
        SetEnvironmentVariableW(L"TMP", dir.wstring().c_str());
#else
        testsupport::set_env("TMPDIR", dir.string());
#endif
        return dir;
    }
};

std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

TEST_F(TorvaPort, PrintsThePath) {
    const Outcome r = run({"path"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, port_file().string() + "\n");
}

TEST_F(TorvaPort, PrintsAPathInHebrewAsUtf8) {
    const std::filesystem::path dir = hebrew_temp();
    const Outcome r = run({"path"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, utf8(dir / "emu_port.dat") + "\n");
}

#ifdef _WIN32
// The Windows program already uses the temporary folder of the system it
// runs on: --wine changes nothing and says so; one that names no prefix
// is refused as on Linux.
TEST_F(TorvaPort, TakesWineAsNeedlessOnWindows) {
    const std::tuple<const char*, int, std::string, std::string> cases[] = {
        {"--wine", 0, "0\n", "--wine is ignored"},
        {"--wine=C:\\elsewhere", 0, "0\n", "--wine is ignored"},
        {"--wine=", 1, "", "torva-port: --wine: --wine= names no prefix\n"},
    };
    for (const auto& [option, status, out, err] : cases) {
        const Outcome r = run({option, "read", "115"});
        EXPECT_EQ(r.status, status) << option;
        EXPECT_EQ(r.out, out) << option;
        EXPECT_NE(r.err.find(err), std::string::npos) << r.err;
    }
}
#endif

#ifdef _WIN32
// A console gets the characters themselves, whatever its code page: here
// one without Hebrew letters, where UTF-8 bytes would show as other letters.
// Wine draws a console in a window: run on an X server by e2e_console.
using TorvaPortInAConsole = TorvaPort;

TEST_F(TorvaPortInAConsole, ShowsTheCharactersThemselves) {
    const std::filesystem::path dir = hebrew_temp();
    FreeConsole();  // Wine's own for a program started from Unix takes no screen buffers
    ASSERT_TRUE(AllocConsole());
    SetConsoleOutputCP(437);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE screen =
        CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                  CONSOLE_TEXTMODE_BUFFER, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(testsupport::spawn(TORVA_PORT_EXE, {"path"}, screen, screen, process));
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::wstring shown = testsupport::console_rows(screen);
    CloseHandle(screen);
    const std::wstring expected = (dir / "emu_port.dat").wstring();
    EXPECT_EQ(shown.substr(0, expected.size()), expected);
}

// The line that the help and README give, typed into cmd as it stands:
// double quotes keep cmd from ending the command at the &. Unquoted, cmd
// runs "write 110" and then a command "H7E", and nothing is written. In a
// scenario, named in Hebrew letters, the & needs no quotes.
TEST_F(TorvaPortInAConsole, TakesTheHelpsQuotedLineInCmd) {
    const std::filesystem::path lab = dir_ / std::filesystem::path(u8"\u05de\u05e2\u05d1\u05d3\u05d4.txt");
    std::ofstream(lab) << "write 110 &H7E\n";
    const std::wstring check_line = L"torva-port check \"" + lab.wstring() + L"\"";
    const std::pair<const wchar_t*, int> cases[] = {
        {L"torva-port write 110 \"&H7E\"", 126},
        {L"torva-port write 110 &H7E", 0},
        {check_line.c_str(), 126},
    };
    const std::wstring folder = std::filesystem::path(TORVA_PORT_EXE).parent_path().wstring();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [line, value] = cases[i];
        put_ports(16, {});
        std::wstring command = std::wstring(L"cmd /c ") + line;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.c_str(), &startup, &process));
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        EXPECT_EQ(bytes().at(10), value) << "line " << i;
    }
}
#endif

#ifdef _WIN32
// A stand-in emulator holds the port file for 2 ms at a time, 4 ms apart,
// with each share mode in turn. Each access retries a shut-out open for
// longer than such a stretch, so every write lands, from torva-port.exe and
// from the panel's write path alike; only a stretch that a busy machine
// made as long as the retry may cost one, as the stand-in counts.
TEST_F(TorvaPort, WritesLandWhileAnEmulatorHoldsTheFile) {
    constexpr const char* kRetryMs = "6";  // at least the port file's open retries
    const auto by_command = [this](int port) { run({"write", std::to_string(port), "1"}); };
    const std::pair<int, std::function<void(int)>> paths[] = {
        {40, by_command},
        // A millisecond apart, as typing comes, so that the writes meet
        // the stand-in's stretches rather than all fall between two.
        {300,
         [](int port) {
             std::this_thread::sleep_for(std::chrono::milliseconds(1));
             io::WRITE_IO_BYTE(port, 1);
         }},
    };
    const char* const path_names[] = {"torva-port.exe write", "panel's write path"};
    const std::filesystem::path stop = port_file().string() + ".stop";
    for (const char* share : {"read", "none", "read-write"}) {
        for (std::size_t which = 0; which < std::size(paths); ++which) {
            const auto& [writes, write] = paths[which];
            put_bytes(Bytes(std::size_t(writes), 0));
            std::filesystem::remove(stop);
            testsupport::Child holder(TORVA_PORT_HOLDER_EXE,
                                      {port_file().string(), share, "2", "4", kRetryMs});
            ASSERT_EQ(holder.next_line(), "holding\n");
            for (int i = 0; i < writes; ++i) write(io::kFirstPort + i);
            std::ofstream{stop};
            long stretches = 0, shut_out = 0;
            ASSERT_EQ(std::sscanf(holder.next_line().c_str(), "stretches %ld could shut out %ld", &stretches,
                                  &shut_out),
                      2);
            const Bytes content = bytes();
            const long landed = std::count(content.begin(), content.end(), 1);
            std::printf("shared %s: %s: %ld of %d writes landed (%ld stretches, %ld over-long)\n", share,
                        path_names[which], landed, writes, stretches, shut_out);
            // A loaded machine can stretch a stretch past what the stand-in
            // sees; one write in twenty may go so. Without the retry a
            // third and more were lost.
            EXPECT_GE(landed, writes - shut_out - writes / 20) << share << ", " << path_names[which];
        }
    }
    std::filesystem::remove(stop);
}
#endif

TEST_F(TorvaPort, ReadsBytesAndSignedWords) {
    put_ports(19, {{110, 255}, {117, 0}, {118, 128}});
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"read", "110"}, "255\n"}, {{"read", "&H6E"}, "255\n"},        {{"read", "115"}, "0\n"},
        {{"read", "5000"}, "0\n"},  {{"read-word", "117"}, "-32768\n"}, {{"read-word", "110"}, "255\n"},
    };
    for (const auto& [args, out] : cases) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 0) << args[1];
        EXPECT_EQ(r.out, out) << args[0] << " " << args[1];
    }
}

TEST_F(TorvaPort, WritesValuesReadAsTheFieldsRead) {
    const std::pair<std::vector<std::string>, Bytes> cases[] = {
        {{"write", "100", "&HFF"}, {255}},
        {{"write", "101", "2.5"}, {255, 2}},
        {{"write-word", "102", "&H8000"}, {255, 2, 0, 128}},
        {{"write-word", "102", "-2"}, {255, 2, 254, 255}},
        {{"write", "&H64", " 1 2"}, {12, 2, 254, 255}},
        {{"write", "101", "&O17 "}, {12, 15, 254, 255}},
        {{"write-word", "102", "-.5 E1"}, {12, 15, 251, 255}},
        {{"write-word", "102", "1e2"}, {12, 15, 100, 0}},
    };
    for (const auto& [args, content] : cases) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(bytes(), content) << args[0] << " " << args[2];
    }
}

TEST_F(TorvaPort, RejectsOutOfRangeValuesAndWritesNothing) {
    put_ports(16, {{110, 7}});
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"write", "110", "256"}, "torva-port: 256 is not a byte (0 to 255)\n"},
        {{"write", "110", "-1"}, "torva-port: -1 is not a byte (0 to 255)\n"},
        {{"write", "110", "255.5"}, "torva-port: 255.5 is not a byte (0 to 255)\n"},
        {{"write", "110", "1E400"}, "torva-port: 1E400 is not a byte (0 to 255)\n"},
        {{"write-word", "110", "32768"}, "torva-port: 32768 is not a word (-32768 to 32767)\n"},
        {{"write-word", "110", "&H100000000"}, "torva-port: &H100000000 is not a word (-32768 to 32767)\n"},
    };
    for (const auto& [args, err] : cases) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, err);
    }
    EXPECT_EQ(bytes().at(10), 7);
    EXPECT_EQ(bytes().size(), 16u);
}

TEST_F(TorvaPort, RejectsBadUsage) {
    // A scenario that a report must not replace, named in two ways.
    const std::string lab = (dir_ / "v.txt").string(), again = (dir_ / "." / "v.txt").string();
    std::ofstream(lab, std::ios::binary) << "write 110 1\n";
    const std::string many = (dir_ / "many.txt").string();
    std::ofstream many_out(many);
    for (int i = 0; i < 300; ++i) many_out << "wirte 110 1\n";
    many_out.close();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no command"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"read"}, "wrong number of arguments for 'read' (quote &H values: \"&H7E\")\n"},
        {{"write", "110"}, "wrong number of arguments for 'write' (quote &H values: \"&H7E\")\n"},
        {{"write-word"}, "wrong number of arguments for 'write-word' (quote &H values: \"&H7E\")\n"},
        {{"write", "110", "1", "2"}, "one value too many for 'write'\n"},
        {{"path", "110"}, "one value too many for 'path'\n"},
        {{"read", "99"}, "invalid port '99'"},
        {{"read", "12abc"}, "invalid port '12abc'"},
        {{"read", "-5"}, "invalid port '-5'"},
        {{"read", "&H"}, "invalid port '&H'"},
        {{"read", "2147483648"}, "invalid port '2147483648'"},
        // Digits of other scripts are not the plain digits, on Windows too;
        // and an argument outside the code page arrives intact.
        {{"read", "\uff11\uff11\uff10"}, "invalid port '\uff11\uff11\uff10'"},
        {{"read", "\u0661\u0661\u0660"}, "invalid port '\u0661\u0661\u0660'"},
        {{"write", "110", "\uff11\uff12"}, "invalid value '\uff11\uff12'"},
        {{"read", "\u05e9\u05e2\u05e8"}, "invalid port '\u05e9\u05e2\u05e8'"},
        {{"\u05e9\u05e2\u05e8"}, "unknown command '\u05e9\u05e2\u05e8'"},
        {{"write", "110", "0x7F"}, "invalid value '0x7F': one number is expected"},
        {{"write-word", "112", "1,000"}, "invalid value '1,000'"},
        {{"write", "110", ""}, "invalid value ''"},
        {{"write", "110", " "}, "invalid value ' '"},
        {{"write", "110", "&H"}, "invalid value '&H'"},
        {{"write", "110", "1e"}, "invalid value '1e'"},
        {{"write", "70000", "1"}, "invalid port '70000': a whole number from 100 to 65535 is expected\n"},
        {{"read-word", "65535"}, "from 100 to 65534 is expected (a word takes PORT and PORT+1)\n"},
        {{"write-word", "65535", "1"}, "from 100 to 65534 is expected (a word takes PORT and PORT+1)\n"},
        {{"dump", "120", "110"}, "LAST is below FIRST"},
        {{"watch"}, "wrong number of arguments"},
        {{"check", "--tap"}, "check needs a scenario file"},
        {{"check"}, "check needs a scenario file"},
        {{"check", "-t", "lab.txt"}, "unknown option '-t'"},
        {{"check", "--timeout", "5", "lab.txt"}, "invalid duration '5'"},
        {{"check", "no-such-lab.txt"}, "no-such-lab.txt: cannot be read: "},
        {{"check", dir_.string()}, dir_.string() + ": a folder, not a scenario file\n"},
        {{"check", "--junit", lab, lab},
         lab + " is the scenario " + lab + ": a report never replaces a scenario"},
        {{"check", "--trace", again, lab}, again + " is the scenario " + lab},
        {{"check", many}, many + ":10: unknown step 'wirte'\n" + many + ": 290 more mistakes\n"},
        {{"record", "115"}, "record needs PORT... and --csv FILE or --vcd FILE"},
        {{"record", "115/117", "--csv", "t.csv"}, "invalid word '115/117'"},
        {{"record", "115", "--vcd", "t.vcd", "--csv", "t.csv"}, "record writes one file"},
    };
    for (const auto& [args, message] : cases) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(port_file()));
    EXPECT_EQ(std::filesystem::file_size(lab), 12u) << "the scenario is as it was";
}

// A right and a wrong program in the emulator, each checked by a scenario
// whose answers come later than at once; a scenario with a mistake writes
// nothing. The scenario's name is in Hebrew letters.
TEST_F(TorvaPort, ChecksAProgramRunningInTheEmulator) {
    const std::string lab = utf8(dir_ / std::filesystem::path(u8"\u05de\u05e2\u05d1\u05d3\u05d4.txt"));
    const std::string junit = (dir_ / "junit.xml").string();
    struct Row {
        const char* program;
        const char* scenario;
        int status;
        std::string out;  // with each "N ms" as "N ms"
    };
    const Row rows[] = {
        {"right",
         "case doubles\nwrite 110 21\nexpect 115 42 within 1s\n"
         "case negates\nwrite-word 112 1000\nexpect-word 117 -1000 within 1s\n",
         0,
         "ok  doubles: port 115 = 42 after N ms\nok  negates: port 117/118 = -1000 after N ms\n2 passed, 0 "
         "failed\n"},
        {"wrong", "case doubles\nwrite 110 21\nexpect 115 42 within 300ms\nexpect 115 42\n", 1,
         "FAIL doubles: port 115 is 22, expected 42 (waited N ms) at " + lab +
             ":3\n"
             "skip doubles: port 115 = 42 (an earlier step of the case failed)\n0 passed, 1 failed\n"},
        {"right", "write 110 21\nexpect 115 42 within 2\n", 2, ""},
    };
    for (const Row& row : rows) {
        put_ports(19, {});
        std::ofstream(std::filesystem::path(std::u8string(lab.begin(), lab.end())), std::ios::binary)
            << row.scenario;
        testsupport::Child program(TORVA_STAND_IN_EXE, {row.program, "50", "20"});
        ASSERT_EQ(program.next_line(), "running\n");
        const Outcome r = run({"check", "--junit", junit, lab});
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_EQ(std::regex_replace(r.out, std::regex("[0-9]+ ms"), "N ms"), row.out);
        if (row.status == 2) {
            EXPECT_EQ(bytes().at(10), 0) << "nothing is written";
            EXPECT_NE(r.err.find(lab + ":2: invalid duration '2'"), std::string::npos) << r.err;
        }
    }
}

TEST_F(TorvaPort, ReportsAnInaccessiblePortFile) {
    std::filesystem::create_directory(port_file());
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"read", "115"}, {"write", "110", "1"}, {"dump"}}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_EQ(r.err, "torva-port: " + port_file().string() + ": Is a directory\n");
    }
}

// A device that is always full is a POSIX one.
#ifndef _WIN32
TEST_F(TorvaPort, ReportsAnOutputThatCannotBeWritten) {
    put_ports(3, {{101, 127}});
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"read", "101"}, {"dump"}, {"path"}, {"--help"}}) {
        const Outcome r = run(args, "/dev/full");
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_EQ(r.err, "torva-port: standard output: No space left on device\n");
    }
}

// Under `ulimit -f 2` (1024 bytes for sh) the byte at offset 1024, port 1124,
// is past the limit. The program must not rely on its caller ignoring SIGXFSZ.
TEST_F(TorvaPort, ReportsAWritePastTheFileSizeLimit) {
    struct sigaction inherited = {};
    ASSERT_EQ(::sigaction(SIGXFSZ, nullptr, &inherited), 0);
    ASSERT_EQ(inherited.sa_handler, SIG_DFL) << "the test would not see the signal";
    const std::string subject = "torva-port: " + port_file().string() + ": File too large";
    const std::tuple<std::vector<std::string>, std::string, std::size_t> cases[] = {
        {{"write", "1124", "7"}, subject + "\n", 0},
        {{"write-word", "1123", "300"},
         subject + "; only the low byte was written: port 1123 holds 44 now\n",
         1024},
    };
    for (const auto& [args, err, size] : cases) {
        std::vector<std::string> limited = {"-c", "ulimit -f 2 && exec \"$0\" \"$@\"", TORVA_PORT_EXE};
        limited.insert(limited.end(), args.begin(), args.end());
        const Outcome r = testsupport::run_process("/bin/sh", limited, dir_.string());
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_EQ(r.err, err);
        EXPECT_EQ(bytes().size(), size) << args[0];
    }
    EXPECT_EQ(bytes().back(), 44);
}
#endif

TEST_F(TorvaPort, DumpsToTheEndOfTheFileOrEveryPortAskedFor) {
    put_ports(3, {{101, 127}, {102, 255}});
    Outcome r = run({"dump"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "100  64H    0  00H  00000000\n"
              "101  65H  127  7FH  01111111\n"
              "102  66H  255  FFH  11111111\n");
    r = run({"dump", "102", "103"});
    EXPECT_EQ(r.out, "102  66H  255  FFH  11111111\n103  67H    0  00H  00000000\n");
    r = run({"dump", "200"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "200  C8H    0  00H  00000000\n");
    r = run({"dump", "&H7F", "128"});
    EXPECT_EQ(r.out, "127  7FH    0  00H  00000000\n128  80H    0  00H  00000000\n");
}

// The report on a temporary folder without the port file and with one,
// and on Linux on the Wine prefixes of a home of the test's own: one with
// the port file in its temporary folder, one without. It creates nothing.
TEST_F(TorvaPort, DiagnosesThePortFileAndTheWinePrefixes) {
    namespace fs = std::filesystem;
#ifdef _WIN32
    const std::string end = "\\";  // GetTempPath ends the folder so
#else
    const std::string end;
#endif
    const std::string folder =
        "  temporary folder: " + dir_.string() + end + "\n  port file: " + port_file().string();
    Outcome r = run({"diagnose"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Port file\n" + folder +
                         "\n  exists: no (the panel creates it empty at its first tick)\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("open for"), std::string::npos);
    EXPECT_FALSE(fs::exists(port_file()));
    put_ports(19, {{115, 7}});
    std::vector<std::string> args = {"diagnose"};
#ifndef _WIN32
    const fs::path home = dir_ / "home", wine = home / ".wine",
                   other = home / ".local/share/wineprefixes/emu";
    for (const fs::path& prefix : {wine, other}) {
        fs::create_directories(prefix / "dosdevices");
        fs::create_directories(prefix / "drive_c/Emulator Temp");
        fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
        std::ofstream(prefix / "user.reg") << "WINE REGISTRY Version 2\n\n[Environment] 1\n"
                                              "\"TEMP\"=\"C:\\\\Emulator Temp\"\n";
    }
    std::ofstream(wine / "drive_c/Emulator Temp/emu_port.dat") << "abc";
    args = {"-u", "WINEPREFIX", "HOME=" + home.string(), TORVA_PORT_EXE, "diagnose"};
    r = testsupport::run_process("/usr/bin/env", args, dir_.string());
#else
    r = run(args);
#endif
    EXPECT_EQ(r.status, 0);
    const std::vector<std::string> shown = {
        folder + "\n  exists: yes\n  size: 19 bytes (ports 100 to 118)\n",
        "  open for reading: ok\n  open for reading and writing: ok\n",
#ifndef _WIN32
        "Wine prefixes\n  " + wine.string() + ": " + (wine / "drive_c/Emulator Temp/emu_port.dat").string() +
            ", 3 bytes, changed ",
        "  " + other.string() + ": no emu_port.dat in " + (other / "drive_c/Emulator Temp").string() + "\n",
#else
        "System\n  Windows version: ",
        // The panel's fonts as this prefix has them (Wine has no MS faces).
        "Window\n  DPI path: Windows ",
        "  Font MS Sans Serif (Hebrew): Liberation Sans\n  Font MS Sans Serif (Western): Liberation Sans\n"
        "  Font Arial (Western): Liberation Sans\n",
#endif
    };
    for (const std::string& line : shown)
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
}

TEST_F(TorvaPort, HelpAndVersion) {
    Outcome r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("watch PORT..."), std::string::npos);
    EXPECT_NE(r.out.find("diagnose "), std::string::npos);
    r = run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "torva-port " TORVA_VERSION "\n");
}

TEST_F(TorvaPort, WatchPrintsALineForEachChange) {
    put_ports(16, {{115, 1}});
    testsupport::Child watch(TORVA_PORT_EXE, {"watch", "115", "110"});
    ASSERT_TRUE(watch.started());
    EXPECT_EQ(watch.next_line(), "115 1\n");
    EXPECT_EQ(watch.next_line(), "110 0\n");
    put_ports(16, {{115, 42}});
    EXPECT_EQ(watch.next_line(), "115 42\n");
    put_ports(16, {{115, 42}, {110, 9}});
    EXPECT_EQ(watch.next_line(), "110 9\n");
}

}  // namespace
