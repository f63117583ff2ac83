// What the Win32 window layer chooses on this machine, for a report: the
// DPI path the window takes and the face chosen for each of its fonts.
#include "runtime/ui/win32/win32.h"

#include <set>
#include <string>
#include <tuple>

namespace rt::ui {

std::vector<os::Fact> window_facts(const Window& window, std::span<const Control> controls) {
    std::vector<os::Fact> lines{{"DPI path", std::string(win32::dpi_path_name()) + ", at " +
                                                 std::to_string(win32::system_dpi()) + " DPI on the screen"}};
    // Each face asked for, with its character set, once.
    std::set<std::tuple<std::string, int>> asked;
    for (const Control& control : controls) {
        const Font& font = font_of(control, window);
        const bool hebrew = font.charset == Charset::Hebrew;
        if (!asked.emplace(font.face, static_cast<int>(font.charset)).second) continue;
        lines.push_back({std::string("Font ") + font.face + (hebrew ? " (Hebrew)" : " (Western)"),
                         win32::face_for(font)});
    }
    return lines;
}

}  // namespace rt::ui
