#include "runtime/startup.h"

#include <string>

#ifndef TORVA_VERSION
#define TORVA_VERSION "unknown"
#endif

namespace rt::startup {

namespace {

constexpr const char* kUsage =
    "usage: torva-inout [--help | --version] [Qt options]\n"
    "\n"
    "Opens the TORVA_InOut device panel. What is typed in the upper fields is\n"
    "written to ports 110 and 112/113; the lower fields show ports 115 and\n"
    "117/118, ten times a second. The ports are the bytes of emu_port.dat in\n"
    "$TMPDIR, else /tmp (port p at offset p - 100).\n"
    "\n"
    "  --help, -h       this text\n"
    "  --version        the version\n"
    "  --wine[=PREFIX]  beside an emulator under Wine: the ports of the Wine\n"
    "                   prefix's temporary folder (PREFIX, else $WINEPREFIX,\n"
    "                   else ~/.wine)\n"
    "Other arguments go to Qt (-platform, -display, ...).\n"
    "Exit status: 0 the window was closed, 1 no window could be opened or the\n"
    "Wine prefix or its temporary folder was not found.\n";

bool present(const char* value) { return value && *value; }

}  // namespace

std::optional<int> handle_command_line(int argc, const char* const* argv, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            out << kCommand << ' ' << TORVA_VERSION << '\n';
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return 0;
        }
    }
    return std::nullopt;
}

std::string failure_line(const Displays& displays, bool display_refused, std::string_view reason) {
    std::string line = std::string(kCommand) + ": cannot open the window: ";
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
