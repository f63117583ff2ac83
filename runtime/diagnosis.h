// The facts of a report on the port file and its setting, for a teacher
// whose panel shows 0: what the system says about the file and about
// itself (posix/diagnosis.cpp, win32/diagnosis.cpp), and the report's
// layout, written once (diagnosis.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/platform.h"

namespace rt::diagnosis {

// One "name: value" line of the report.
struct Line {
    std::string name, value;
    bool operator==(const Line&) const = default;
};
using Lines = std::vector<Line>;

// What the system says of a file, read without opening or creating it.
struct FileFacts {
    bool exists = false;
    std::uint64_t size = 0;
    std::string owner;                          // the owning account; empty when unknown
    std::string changed;                        // the last change, local time; empty when unknown
    std::optional<std::int64_t> seconds_since;  // since the last change
    std::string problem;                        // why it could not be read, else empty
};

// The system's own parts.
FileFacts file_facts(const std::string& path);
// The system and its version: on Windows RtlGetVersion's (GetVersionEx
// lies to a program without a manifest that names the newer Windows), and
// Wine's when it runs under Wine; on POSIX uname's.
Lines system_lines();
// On POSIX the Wine prefixes in the usual places, each with the named
// file in its temporary folder or the lack of one (wine_prefix_lines with
// this process's setting); on Windows none: the programs run inside one.
Lines wine_prefixes(const std::string& file_name);
// The login name of the user who runs the program.
std::string login_name();

// The layout, written once.

// "3 s ago", "4 min 10 s ago", "2 h 5 min ago", "3 days ago"; a time ahead
// of this computer's clock says so.
std::string ago(std::int64_t seconds);

// "ok", or "failed: " and the system's reason: an open with the access that
// the panel's reads or writes ask for, retried as theirs are. Only for a
// file that exists: a report creates nothing.
std::string try_open(const std::string& path, platform::Access access);

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

}  // namespace rt::diagnosis
