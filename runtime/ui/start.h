// The window program's start, written once: its own options, checked
// before the window system is touched, the program's load inside one
// guard, the message box service installed over the form and restored,
// and the event loop (start.cpp). Each window system supplies only what is
// its own (qt/begin.cpp, win32/begin.cpp): its begin step, its message box
// and its loop.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/os/os.h"
#include "runtime/ui/window.h"

namespace rt::start {

// A started window system, ended when it is destroyed.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // Shows the text in the window system's message box over the owner's
    // window, or over the screen without one; returns when it is closed.
    virtual void message_box(ui::Form* owner, const std::string& text) = 0;
    // Serves the shown form's events until it is closed; the exit status.
    virtual int loop(ui::Form& form) = 0;
};

// Starts a window system with the command line; it may take its own
// arguments out. The window system's own: begin_window_system().
using Begin = std::function<std::unique_ptr<WindowSystem>(int& argc, char** argv)>;
std::unique_ptr<WindowSystem> begin_window_system(int& argc, char** argv);

using Load = std::function<std::unique_ptr<ui::Program>()>;

// The start routine over the window system that `begin` starts. Returns
// the exit status: the loop's, 0 after --help or --version, 1 when --wine
// names no usable prefix or the load fails (in a message box).
int run(const ui::Application& application, int argc, char** argv, const Load& load, const Begin& begin);

// The text that --version or --help (-h) asks for; nothing for any other
// command line, which is left to the window system.
std::optional<std::string> own_option_text(const ui::Application& application, int argc,
                                           const char* const* argv);

// The display variables as the environment holds them; null when unset.
struct Displays {
    const char* x11;      // DISPLAY
    const char* wayland;  // WAYLAND_DISPLAY
};

// The one line the command says when the window could not be opened, from
// what the window system said: the message it failed with, then those it
// had held back, one after another. The missing display when that was the
// cause; else a Qt platform plugin that is not there, with the Debian
// package that brings it, and the plugins there are; else the display that
// does not answer; else a plugin that did not start; else the first line
// of the message it failed with.
std::string failure_line(std::string_view command, const Displays& displays, bool display_refused,
                         std::string_view said);

}  // namespace rt::start

namespace rt::ui {

// The start routine: takes the application's description and its options
// (--wine[=PREFIX], then --help and --version, which end it before any
// window), starts the window system, loads the program, with the real
// message box installed over its form, shows the form and serves its
// events until it is closed. An error from the load is shown in the
// message box and gives the exit status 1; otherwise the loop's status.
// Written here, with the window system the build realises the layer with,
// so that the routine's own tests can run it over a window system of theirs.
inline int start(const Application& application, int argc, char** argv, const rt::start::Load& load) {
    os::Arguments arguments(argc, argv);
    return rt::start::run(application, arguments.argc(), arguments.argv(), load,
                          rt::start::begin_window_system);
}

}  // namespace rt::ui
