// The report of `torva-port diagnose`, for a teacher whose panel shows 0:
// what the system says about the port file and about itself (the
// runtime's os layer), what the window system chooses for the panel's
// window, the Wine prefixes around, and the report's layout, written once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/os/os.h"

namespace diagnose {

// One "name: value" line of the report.
using Line = rt::os::Fact;
using Lines = std::vector<Line>;
using rt::os::FileFacts;

// The system and its version (rt::os::system_facts).
Lines system_lines();
// What the window system chooses on this machine for the panel's window:
// on Windows the DPI path and the face for each of its fonts; none on Linux.
Lines window_lines();
// Beside Wine (POSIX) the Wine prefixes in the usual places, each with the
// named file in its temporary folder or the lack of one (wine_prefix_lines
// with this process's setting); on Windows none: the programs run inside one.
Lines wine_prefixes(const std::string& file_name);

// The layout, written once.

// "3 s ago", "4 min 10 s ago", "2 h 5 min ago", "3 days ago"; a time ahead
// of this computer's clock says so.
std::string ago(std::int64_t seconds);

// "ok", or "failed: " and the system's reason: an open with the access that
// the panel's reads or writes ask for, retried as theirs are. Only for a
// file that exists: a report creates nothing.
std::string try_open(const std::string& path, rt::os::Access access);

// The lines on the port file: its folder and path, whether it is there,
// its size, owner and last change, and how the panel's opens fare (the
// results of try_open for reading, then for reading and writing; none
// when the file does not exist).
Lines port_file_lines(const std::string& folder, const std::string& path, const FileFacts& facts,
                      const std::vector<std::string>& opens);

// Each of the known Wine prefixes (wine::known_prefixes) with the named file
// in its temporary folder: its path, size and last change, or why there is none.
Lines wine_prefix_lines(const std::string& file_name, const char* wineprefix, const char* home,
                        const std::string& user);

// A heading and its lines; a section without lines is left out.
struct Section {
    std::string heading;
    Lines lines;
};
std::string layout(const std::vector<Section>& sections);

// The whole report: the port file's lines, the system's, the window's
// (the DPI path taken and the face chosen for each font, which the window
// layer gives; none where it has nothing to say) and the Wine prefixes'.
std::string report(const Lines& port_file, const Lines& system, const Lines& window, const Lines& wine);

}  // namespace diagnose
