// The window program's start: its own options, checked before the window
// system is touched, and what it says when no window can be opened.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "runtime/window.h"

namespace rt::startup {

// --version and --help (-h) print the application's version or usage to
// out and give the exit status 0; nothing for any other command line,
// which is left to the window system.
std::optional<int> handle_command_line(const ui::Application& application, int argc, const char* const* argv,
                                       std::ostream& out);

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
