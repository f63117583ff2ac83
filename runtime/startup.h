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

// Qt side (startup_qt.cpp). Until started() is called, a failure to reach
// the display ends the program with failure_line() and status 1, and
// Qt's other start messages are held back; started() passes them on and
// gives the application its name, version and desktop file name.
void guard_window_start();
void started();

}  // namespace rt::startup
