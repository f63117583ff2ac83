// The window program's start, written once: its own options, checked
// before the window system is touched, the program's load inside one
// guard, the message box service installed over the form and restored,
// and the event loop. Each window system supplies only what is its own
// (qt/startup.cpp, win32/startup.cpp): its begin step, its message box
// and its loop.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/window.h"

namespace rt::startup {

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

// The one line the command says when the window could not be opened: the
// missing or silent display when that was the cause, otherwise the reason.
std::string failure_line(std::string_view command, const Displays& displays, bool display_refused,
                         std::string_view reason);

}  // namespace rt::startup
