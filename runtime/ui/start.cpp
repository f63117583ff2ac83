// The window program's start routine over any window system.
#include "runtime/ui/start.h"

#include <exception>
#include <string>
#include <utility>

#include "runtime/message_box.h"
#include "runtime/os/os.h"
#include "runtime/ui/shared.h"
#include "runtime/wine/option.h"

namespace rt::start {

namespace {

bool present(const char* value) { return value && *value; }

// The window system, begun when it is first needed: the options that end
// the program before the window never touch it, unless their text has
// nowhere else to go.
class Session {
public:
    Session(const Begin& begin, int& argc, char** argv) : begin_(begin), argc_(argc), argv_(argv) {}
    WindowSystem& system() {
        if (!system_) system_ = begin_(argc_, argv_);
        return *system_;
    }

    // The text to the console or file the program was started with, else
    // (a Windows program started from the desktop) in a message box.
    void tell(os::Stream stream, const std::string& text) {
        if (os::write_text(stream, text)) return;
        system().message_box(nullptr, text.ends_with('\n') ? text.substr(0, text.size() - 1) : text);
    }

private:
    const Begin& begin_;
    int& argc_;
    char** argv_;
    std::unique_ptr<WindowSystem> system_;
};

// Puts the previous message box handler back, however the start ends.
class RestoredHandler {
public:
    explicit RestoredHandler(MessageBoxHandler handler)
        : previous_(set_message_box_handler(std::move(handler))) {}
    ~RestoredHandler() { set_message_box_handler(std::move(previous_)); }
    RestoredHandler(const RestoredHandler&) = delete;
    RestoredHandler& operator=(const RestoredHandler&) = delete;

private:
    MessageBoxHandler previous_;
};

constexpr int kExitLoadFailed = 1;

// The program, or nothing after its error has been shown.
std::unique_ptr<ui::Program> guarded(const Load& load) {
    try {
        return load();
    } catch (const std::exception& error) {
        message_box(error.what());
    } catch (...) {
        message_box("Unexpected error");
    }
    return nullptr;
}

}  // namespace

int run(const ui::Application& application, int argc, char** argv, const Load& load, const Begin& begin) {
    ui::set_application(application);
    // A write past the process's file-size limit then fails and is lost,
    // as every failed write is, instead of ending the program.
    os::ignore_file_size_signal();
    Session session(begin, argc, argv);
    const auto say = [&](const std::string& line) { session.tell(os::Stream::Error, line + '\n'); };
    if (const auto status = wine::use_prefix_from_arguments(application.command, argc, argv, say))
        return *status;
    if (const auto text = own_option_text(application, argc, argv)) {
        session.tell(os::Stream::Output, *text);
        return 0;
    }
    WindowSystem& system = session.system();
    ui::Form* owner = nullptr;  // none until the form is loaded
    const RestoredHandler handler([&](const std::string& text) { system.message_box(owner, text); });
    const std::unique_ptr<ui::Program> program = guarded(load);
    if (!program) return kExitLoadFailed;
    owner = &program->form();
    owner->show();
    return system.loop(*owner);
}

std::optional<std::string> own_option_text(const ui::Application& application, int argc,
                                           const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") return std::string(application.command) + ' ' + application.version + '\n';
        if (arg == "--help" || arg == "-h") return std::string(application.usage);
    }
    return std::nullopt;
}

std::string failure_line(std::string_view command, const Displays& displays, bool display_refused,
                         std::string_view reason) {
    std::string line = std::string(command) + ": cannot open the window: ";
    if (!present(displays.x11) && !present(displays.wayland))
        return line + "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    if (!display_refused) return line.append(reason);
    std::string named;
    if (present(displays.wayland)) named = std::string("WAYLAND_DISPLAY=") + displays.wayland;
    if (present(displays.x11))
        named += (named.empty() ? "DISPLAY=" : ", DISPLAY=") + std::string(displays.x11);
    return line + "the display does not answer (" + named + ")";
}

}  // namespace rt::start
