// The window program's start: its own options, checked before the window
// system is touched, and what it says when no window can be opened.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace rt::startup {

inline constexpr const char* kCommand = "torva-inout";
inline constexpr const char* kApplicationName = "TORVA_InOut";

// --version and --help (-h) print to out and give the exit status 0;
// nothing for any other command line, which is left to the window system.
std::optional<int> handle_command_line(int argc, const char* const* argv, std::ostream& out);

// The display variables as the environment holds them; null when unset.
struct Displays {
    const char* x11;      // DISPLAY
    const char* wayland;  // WAYLAND_DISPLAY
};

// The one line said when the window could not be opened: the missing or
// silent display when that was the cause, otherwise the given reason.
std::string failure_line(const Displays& displays, bool display_refused, std::string_view reason);

}  // namespace rt::startup
