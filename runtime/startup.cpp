#include "runtime/startup.h"

#include <string>

namespace rt::startup {

namespace {

bool present(const char* value) { return value && *value; }

}  // namespace

std::optional<int> handle_command_line(const ui::Application& application, int argc, const char* const* argv,
                                       std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            out << application.command << ' ' << application.version << '\n';
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            out << application.usage;
            return 0;
        }
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

}  // namespace rt::startup
