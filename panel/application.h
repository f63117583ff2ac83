// What the program tells the runtime about itself: its names, version and
// the usage text of its command.
#pragma once

#include "runtime/ui/window.h"

#ifndef TORVA_VERSION
#define TORVA_VERSION "unknown"
#endif
#ifndef TORVA_APP_ID
#define TORVA_APP_ID "torva-inout"
#endif

namespace panel {

// The parts of the usage that differ between the systems: where the port
// file lives, what --wine does there and what else the command line takes.
#ifdef _WIN32
#define TORVA_USAGE_MORE ""
#define TORVA_USAGE_FOLDER "%TEMP%"
#define TORVA_USAGE_WINE "ignored: a Windows program already uses %TEMP%\n"
#define TORVA_USAGE_REST ""
#else
#define TORVA_USAGE_MORE " [Qt options]"
#define TORVA_USAGE_FOLDER "$TMPDIR, else /tmp"
#define TORVA_USAGE_WINE                                                        \
    "beside an emulator under Wine: the ports of the Wine\n"                    \
    "                   prefix's temporary folder (PREFIX, else $WINEPREFIX,\n" \
    "                   else ~/.wine)\n"
#define TORVA_USAGE_REST "Other arguments go to Qt (-platform, -display, ...).\n"
#endif

inline constexpr const char* kUsage =
    "usage: torva-inout [--help | --version] [--wine[=PREFIX]]" TORVA_USAGE_MORE
    "\n"
    "\n"
    "Opens the TORVA_InOut device panel. What is typed in the upper fields is\n"
    "written to ports 110 and 112/113; the lower fields show ports 115 and\n"
    "117/118, ten times a second. The ports are the bytes of emu_port.dat in\n" TORVA_USAGE_FOLDER
    " (port p at offset p - 100).\n"
    "\n"
    "  --help, -h       this text\n"
    "  --version        the version\n"
    "  --wine[=PREFIX]  " TORVA_USAGE_WINE TORVA_USAGE_REST
    "Exit status: 0 the window was closed, 1 no window could be opened or the\n"
    "Wine prefix or its temporary folder was not found.\n";

inline constexpr rt::ui::Application kApplication{
    .command = "torva-inout",
    .title = "TORVA_InOut",
    .version = TORVA_VERSION,
    .usage = kUsage,
    .desktop_file = TORVA_APP_ID,
};

}  // namespace panel
