// The window program's start: the start routine over a window system that
// records what it is asked, and torva-inout from a shell, the Qt program
// and, under Wine, the Windows one: its own options end before any window
// is opened, and a display that is missing or silent gives one line and
// status 1 instead of Qt's abort.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "child_process.h"
#include "io/io.h"
#include "runtime/message_box.h"
#include "runtime/ui/start.h"
#include "test_support.h"

namespace {

using testsupport::Outcome;

// What the start routine asked of the window system, in order.
struct Record {
    std::vector<std::string> steps;
};

class RecordedForm : public rt::ui::Form {
public:
    explicit RecordedForm(Record& record) : record_(record) {}
    std::string text(std::size_t) const override { return ""; }
    void set_text(std::size_t, const std::string&) override {}
    void on_change(std::size_t, rt::ui::Handler) override {}
    void name_after(std::size_t, std::size_t) override {}
    void describe_with(std::size_t, std::size_t) override {}
    void start_timer(const char*, int, rt::ui::Handler) override {}
    void show() override { record_.steps.push_back("show"); }

private:
    Record& record_;
};

class RecordedProgram : public rt::ui::Program {
public:
    explicit RecordedProgram(Record& record) : form_(record) {}
    rt::ui::Form& form() override { return form_; }

private:
    RecordedForm form_;
};

// The loop runs `during_loop` and ends with status 7.
class RecordedSystem : public rt::start::WindowSystem {
public:
    RecordedSystem(Record& record, std::function<void()> during_loop)
        : record_(record), during_loop_(std::move(during_loop)) {
        record_.steps.push_back("begin");
    }
    void message_box(rt::ui::Form* owner, const std::string& text) override {
        record_.steps.push_back(std::string(owner ? "box over the form: " : "box: ") + text);
    }
    int loop(rt::ui::Form&) override {
        record_.steps.push_back("loop");
        if (during_loop_) during_loop_();
        return 7;
    }

private:
    Record& record_;
    std::function<void()> during_loop_;
};

constexpr rt::ui::Application kProbe{"probe", "Probe", "1.2", "usage: probe\n", "probe"};

class StartRoutine : public testsupport::TempDirTest {
protected:
    // Runs the start routine with the arguments after the command; the
    // program's load does `load`, its loop `during_loop`.
    int start(std::vector<std::string> args, const std::function<void()>& load,
              const std::function<void()>& during_loop = {}) {
        args.insert(args.begin(), "probe");
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        return rt::start::run(
            kProbe, static_cast<int>(args.size()), argv.data(),
            [&]() -> std::unique_ptr<rt::ui::Program> {
                record.steps.push_back("load");
                if (load) load();
                return std::make_unique<RecordedProgram>(record);
            },
            [&](int&, char**) { return std::make_unique<RecordedSystem>(record, during_loop); });
    }
    Record record;
};

// Whatever the load raises is shown, with no owner yet, and ends the start
// with status 1; once the form is shown, the message box is over it; after
// the start the message box service is as it was.
TEST_F(StartRoutine, GuardsTheLoadAndLendsTheMessageBoxToTheForm) {
    struct Case {
        const char* name;
        std::function<void()> load, during_loop;
        int status;
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {"load raises an error",
         [] { throw std::runtime_error("no window"); },
         {},
         1,
         {"begin", "load", "box: no window"}},
        {"load raises something else", [] { throw 42; }, {}, 1, {"begin", "load", "box: Unexpected error"}},
        {"a message while the form is shown",
         {},
         [] { rt::message_box("hello"); },
         7,
         {"begin", "load", "show", "loop", "box over the form: hello"}},
    };
    for (const Case& c : cases) {
        record = {};
        std::vector<std::string> after;
        const auto previous =
            rt::set_message_box_handler([&](const std::string& text) { after.push_back(text); });
        EXPECT_EQ(start({}, c.load, c.during_loop), c.status) << c.name;
        EXPECT_EQ(record.steps, c.steps) << c.name;
        rt::message_box("after");
        EXPECT_EQ(after, std::vector<std::string>{"after"}) << c.name;
        rt::set_message_box_handler(previous);
    }
}

TEST_F(StartRoutine, OwnOptionsEndBeforeTheWindowSystemBegins) {
    EXPECT_EQ(start({"--version"}, {}), 0);
    EXPECT_EQ(start({"--wine=", "--help"}, {}), 1);
    EXPECT_TRUE(record.steps.empty());
}

#ifndef _WIN32
// Under a file-size limit a write past it fails and is lost, as every
// failed write is, and the program goes on.
TEST_F(StartRoutine, AWritePastTheFileSizeLimitIsLostAndTheProgramGoesOn) {
    struct sigaction inherited = {};
    ASSERT_EQ(::sigaction(SIGXFSZ, nullptr, &inherited), 0);
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit none{0, limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    const int status = start({}, {}, [] { io::WRITE_IO_BYTE(110, 7); });
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::sigaction(SIGXFSZ, &inherited, nullptr);
    EXPECT_EQ(status, 7);
    EXPECT_EQ(bytes().size(), 0u);
}
#endif

class Startup : public testsupport::TempDirTest {
protected:
#ifdef _WIN32
    // Each run writes files of its own: Wine's desktop, which a window
    // program's start may launch, can hold the earlier run's files open.
    int runs_ = 0;
    Outcome run(const std::string&, const std::vector<std::string>& args) {
        const auto stem = dir_ / ("run" + std::to_string(++runs_));
        return testsupport::run_process(TORVA_INOUT_EXE, args, stem.string());
    }
#else
    // Runs the program with no display but those in `env` ("NAME=value ...").
    std::string timeout_ = "20";
    Outcome run(const std::string& env, const std::vector<std::string>& args) {
        std::vector<std::string> line = {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM"};
        // The test's own runtime folder, unless the case names another.
        line.push_back("XDG_RUNTIME_DIR=" + dir_.string());
        std::istringstream variables(env);
        for (std::string variable; variables >> variable;) line.push_back(variable);
        line.insert(line.end(), {"timeout", timeout_, TORVA_INOUT_EXE});
        line.insert(line.end(), args.begin(), args.end());
        return testsupport::run_process("env", line, dir_.string());
    }
#endif
};

#ifdef _WIN32
constexpr const char* kUsageLine = "usage: torva-inout [--help | --version] [--wine[=PREFIX]]\n";
#else
constexpr const char* kUsageLine = "usage: torva-inout [--help | --version] [--wine[=PREFIX]] [Qt options]\n";
#endif

// As the Qt program on Linux, so the Windows one, which writes to the
// console or file it was started with.
TEST_F(Startup, OwnOptionsEndWithoutAWindow) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string first_line, err;
    };
    const Case cases[] = {
        {{"--version"}, 0, "torva-inout " TORVA_VERSION "\n", ""},
        {{"-platform", "xcb", "--version"}, 0, "torva-inout " TORVA_VERSION "\n", ""},
        {{"--help"}, 0, kUsageLine, ""},
        {{"-h"}, 0, kUsageLine, ""},
        {{"--wine=", "--version"}, 1, "", "torva-inout: --wine: --wine= names no prefix\n"},
#ifdef _WIN32
        {{"--wine", "--version"},
         0,
         "torva-inout " TORVA_VERSION "\n",
         "torva-inout: --wine is ignored: a Windows program finds the port file in the temporary folder "
         "(%TEMP%) of the system it runs on\n"},
#endif
    };
    for (const Case& c : cases) {
        const Outcome r = run("", c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0];
        EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), c.first_line) << c.args[0];
        EXPECT_EQ(r.err, c.err) << c.args[0];
    }
}

#ifdef _WIN32
// torva-inout.exe is a program for the desktop: started from a console
// without standard handles of its own, it answers in that console. Wine
// draws a console in a window: run on an X server by e2e_console_panel.
using StartupInAConsole = Startup;

TEST_F(StartupInAConsole, AnswersInTheConsoleItWasStartedFrom) {
    FreeConsole();  // Wine's own for a program started from Unix takes no screen buffers
    ASSERT_TRUE(AllocConsole());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring line = testsupport::command_line(TORVA_INOUT_EXE, {"--version"});
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 124);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    const std::wstring shown = testsupport::console_rows(screen);
    CloseHandle(screen);
    EXPECT_EQ(status, 0u);
    EXPECT_NE(shown.find(L"torva-inout " TORVA_VERSION_W), std::wstring::npos);
}
#endif

// What Qt says as its start fails, the fatal message first, as the Qt
// begin step hands it on; the line keeps Qt's reason in a few words.
TEST(FailureLine, KeepsQtsReasonInOneLine) {
    const std::string fatal =
        "This application failed to start because no Qt platform plugin could be initialized. "
        "Reinstalling the application may fix this problem.\n\n"
        "Available platform plugins are: minimal, offscreen, xcb, eglfs, vnc.\n";
    const std::string no_wayland = "\nCould not find the Qt platform plugin \"wayland\" in \"\"";
    const std::string xcb_refused =
        "\ncould not connect to display :9"
        "\nCould not load the Qt platform plugin \"xcb\" in \"\" even though it was found.";
    const std::string wayland = "no Qt platform plugin \"wayland\" (Debian package qt6-wayland); ";
    const std::string xcb = "the Qt platform plugin \"xcb\" did not start; ";
    const std::string there = "the available platform plugins are: eglfs, minimal, offscreen, vnc, xcb";
    struct Case {
        rt::start::Displays displays;
        bool refused;
        std::string said, line;
    };
    const Case cases[] = {
        {{nullptr, "wayland-0"}, false, fatal + no_wayland, wayland + there},
        {{nullptr, "wayland-0"}, true, fatal + no_wayland + xcb_refused, wayland + xcb + there},
        {{":9", nullptr}, false, fatal + xcb_refused, xcb + there},
        {{nullptr, "w"},
         false,
         "None\nCould not find the Qt platform plugin \"torva\" in \"\"",
         "no Qt platform plugin \"torva\"; the available platform plugins are: none"},
        {{":9", nullptr}, true, fatal + xcb_refused, "the display does not answer (DISPLAY=:9)"},
        {{nullptr, nullptr},
         false,
         fatal + no_wayland,
         "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)"},
        {{"", "w"}, false, "Could not find DRM device!\nmore", "Could not find DRM device!"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rt::start::failure_line("probe", c.displays, c.refused, c.said),
                  "probe: cannot open the window: " + c.line)
            << c.said;
}

#ifndef _WIN32
constexpr const char* kCannotOpen = "torva-inout: cannot open the window: ";

TEST_F(Startup, NoDisplayIsOneLineAndStatusOne) {
    // A runtime folder too deep for a socket's path: libwayland says so in
    // a line of its own, and ours still comes last.
    const std::string deep = (dir_ / std::string(100, 'd')).string();
    std::filesystem::create_directory(deep);
    struct Case {
        std::string env, cause;
        bool alone = true;  // nothing printed before our line
    };
    const Case cases[] = {
        {"", "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)"},
        {"DISPLAY=", "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)"},
        {"DISPLAY=:987", "the display does not answer (DISPLAY=:987)"},
        {"WAYLAND_DISPLAY=torva-none", "the display does not answer (WAYLAND_DISPLAY=torva-none)"},
        {"XDG_RUNTIME_DIR=" + deep + " WAYLAND_DISPLAY=torva-none",
         "the display does not answer (WAYLAND_DISPLAY=torva-none)", false},
        // The plugins there are depend on what is installed: the line up to them.
        {"WAYLAND_DISPLAY=torva-none QT_QPA_PLATFORM=torva-none",
         "no Qt platform plugin \"torva-none\"; the available platform plugins are: "},
    };
    for (const Case& c : cases) {
        const Outcome r = run(c.env, {});
        EXPECT_EQ(r.status, 1) << c.env;
        EXPECT_EQ(r.out, "") << c.env;
        ASSERT_TRUE(r.err.ends_with("\n")) << r.err;
        const auto last = r.err.rfind('\n', r.err.size() - 2);
        const std::string ours = last == std::string::npos ? r.err : r.err.substr(last + 1);
        if (c.alone) EXPECT_EQ(ours, r.err) << c.env;
        if (c.cause.ends_with(": ")) EXPECT_TRUE(ours.starts_with(kCannotOpen + c.cause)) << r.err;
        else EXPECT_EQ(ours, kCannotOpen + c.cause + "\n") << r.err;
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
    const Outcome shown = run("", {"--wine=" + prefix.string(), "-platform", "offscreen"});
    EXPECT_EQ(shown.status, 124) << shown.err;
    EXPECT_TRUE(fs::exists(prefix / "drive_c/Emulator Temp/emu_port.dat"));
    EXPECT_FALSE(fs::exists(port_file()));

    const Outcome missing = run("", {"--wine=" + (dir_ / "none").string(), "-platform", "offscreen"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "torva-inout: --wine: no Wine prefix at " + (dir_ / "none").string() + "\n");
}
#endif

}  // namespace
