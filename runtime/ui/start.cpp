// The window program's start routine over any window system.
#include "runtime/ui/start.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/message_box.h"
#include "runtime/os/os.h"
#include "runtime/ui/shared.h"
#include "runtime/wine/option.h"

namespace rt::start {

namespace {

bool present(const char* value) { return value && *value; }

// The displays that were set and did not answer.
std::string display_silence(const Displays& displays) {
    std::string named;
    if (present(displays.wayland)) named = std::string("WAYLAND_DISPLAY=") + displays.wayland;
    if (present(displays.x11))
        named += (named.empty() ? "DISPLAY=" : ", DISPLAY=") + std::string(displays.x11);
    return "the display does not answer (" + named + ")";
}

// Qt's words for a platform plugin that it did not find, for one that it
// found and could not start, and for the plugins there are.
constexpr std::string_view kNotFound = "Could not find the Qt platform plugin \"";
constexpr std::string_view kNotStarted = "Could not load the Qt platform plugin \"";
constexpr std::string_view kAvailable = "Available platform plugins are: ";

// The Debian package that brings each of Qt's platform plugins
// (dpkg -S /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/).
constexpr std::pair<std::string_view, std::string_view> kPluginPackages[] = {
    {"wayland", "qt6-wayland"},      {"wayland-egl", "qt6-wayland"}, {"vnc", "qt6-qpa-plugins"},
    {"xcb", "libqt6gui6"},           {"offscreen", "libqt6gui6"},    {"minimal", "libqt6gui6"},
    {"linuxfb", "libqt6gui6"},       {"vkkhrdisplay", "libqt6gui6"}, {"eglfs", "libqt6opengl6"},
    {"minimalegl", "libqt6opengl6"},
};

std::optional<std::string_view> package_of(std::string_view plugin) {
    for (const auto& [name, package] : kPluginPackages)
        if (name == plugin) return package;
    return std::nullopt;
}

// What follows `words`, up to the first of `ends`, each time `said` has them.
std::vector<std::string_view> named_after(std::string_view said, std::string_view words,
                                          std::string_view ends) {
    std::vector<std::string_view> names;
    for (auto at = said.find(words); at != said.npos; at = said.find(words, at)) {
        at += words.size();
        names.push_back(said.substr(at, said.find_first_of(ends, at) - at));
    }
    return names;
}

// The platform plugins that Qt says there are, in alphabetical order.
std::string available(std::string_view said) {
    const std::vector<std::string_view> lists = named_after(said, kAvailable, ".\n");
    if (lists.empty()) return "none";
    std::vector<std::string_view> names;
    for (std::string_view list = lists.front(); !list.empty();) {
        const auto comma = list.find(", ");
        names.push_back(list.substr(0, comma));
        list = comma == list.npos ? std::string_view() : list.substr(comma + 2);
    }
    std::ranges::sort(names);
    std::string text;
    for (std::string_view name : names) text.append(text.empty() ? "" : ", ").append(name);
    return text;
}

// The plugins missing, each with the package that brings it, those that
// did not start, and the plugins there are.
std::string plugin_reason(const std::vector<std::string_view>& missing,
                          const std::vector<std::string_view>& failed, std::string_view said) {
    std::string reason;
    for (std::string_view name : missing) {
        reason.append("no Qt platform plugin \"").append(name) += '"';
        if (const auto package = package_of(name)) reason.append(" (Debian package ").append(*package) += ')';
        reason += "; ";
    }
    for (std::string_view name : failed)
        reason.append("the Qt platform plugin \"").append(name) += "\" did not start; ";
    return reason + "the available platform plugins are: " + available(said);
}

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
                         std::string_view said) {
    std::string line = std::string(command) + ": cannot open the window: ";
    if (!present(displays.x11) && !present(displays.wayland))
        return line + "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    const std::vector<std::string_view> missing = named_after(said, kNotFound, "\"");
    const std::vector<std::string_view> failed = named_after(said, kNotStarted, "\"");
    if (!missing.empty() || (!display_refused && !failed.empty()))
        return line + plugin_reason(missing, failed, said);
    if (display_refused) return line + display_silence(displays);
    return line.append(said.substr(0, said.find('\n')));
}

}  // namespace rt::start
