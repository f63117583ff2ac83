#include "runtime/win32/report.h"

#include <set>
#include <string>
#include <tuple>

#include "runtime/win32/dpi.h"
#include "runtime/win32/fonts.h"
#include "runtime/window_shared.h"

namespace rt::win32 {

diagnosis::Lines window_lines(const ui::Window& window, std::span<const ui::Control> controls) {
    diagnosis::Lines lines{{"DPI path", std::string(dpi_path_name()) + ", at " +
                                            std::to_string(system_dpi()) + " DPI on the screen"}};
    // Each face asked for, with its character set, once.
    std::set<std::tuple<std::string, int>> asked;
    for (const ui::Control& control : controls) {
        const ui::Font& font = ui::font_of(control, window);
        const bool hebrew = font.charset == ui::Charset::Hebrew;
        if (!asked.emplace(font.face, static_cast<int>(font.charset)).second) continue;
        lines.push_back(
            {std::string("Font ") + font.face + (hebrew ? " (Hebrew)" : " (Western)"), face_for(font)});
    }
    return lines;
}

}  // namespace rt::win32
