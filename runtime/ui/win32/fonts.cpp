// Fonts for the Win32 window: the face chosen among those installed, and
// captions fitted to their boxes.
#include "runtime/ui/win32/win32.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <map>
#include <utility>

namespace rt::win32 {
namespace {

// "MS Sans Serif" is a raster font; Windows 2000 and later carry its
// TrueType successor, with the same metrics and Hebrew included.
struct Successor {
    const char* face;
    const char* successor;
};
constexpr Successor kSuccessors[] = {{"MS Sans Serif", "Microsoft Sans Serif"}};

// Every Windows 7 to 11 has these, with Hebrew; the shared substitutes
// after them are those of Linux, for Wine.
constexpr const char* kWindowsSubstitutes[] = {"Tahoma", "Arial"};

int CALLBACK note_face(const LOGFONTW* logical, const TEXTMETRICW*, DWORD type, LPARAM faces) {
    auto& installed = *reinterpret_cast<std::vector<InstalledFace>*>(faces);
    const std::string name = narrow(logical->lfFaceName, wcsnlen(logical->lfFaceName, LF_FACESIZE));
    auto found = std::find_if(installed.begin(), installed.end(),
                              [&](const InstalledFace& face) { return face.name == name; });
    if (found == installed.end()) found = installed.insert(installed.end(), {name, {}, false});
    found->charsets.push_back(logical->lfCharSet);
    found->raster = found->raster || (type & RASTER_FONTTYPE);
    return 1;
}

}  // namespace

std::vector<std::string> candidates(const std::string& face) {
    std::vector<std::string> faces;
    for (const Successor& s : kSuccessors)
        if (face == s.face) faces.push_back(s.successor);
    faces.push_back(face);
    faces.insert(faces.end(), std::begin(kWindowsSubstitutes), std::end(kWindowsSubstitutes));
    faces.insert(faces.end(), std::begin(ui::kSubstituteFaces), std::end(ui::kSubstituteFaces));
    return faces;
}

// Each asked for by its name: walking every family installed would cost a
// start in proportion to the fonts a machine has, and a lab's may have
// thousands.
std::vector<InstalledFace> listed_faces(const std::vector<std::string>& names) {
    std::vector<InstalledFace> faces;
    HDC dc = GetDC(nullptr);
    for (const std::string& name : names) {
        LOGFONTW named{};
        named.lfCharSet = DEFAULT_CHARSET;  // every character set the face has
        wcsncpy(named.lfFaceName, widen(name).c_str(), LF_FACESIZE - 1);
        EnumFontFamiliesExW(dc, &named, note_face, reinterpret_cast<LPARAM>(&faces), 0);
    }
    ReleaseDC(nullptr, dc);
    return faces;
}

std::string choose_face(const std::string& face, BYTE charset, std::span<const InstalledFace> installed) {
    const auto has = [&](const std::string& name, bool outline_only) {
        return std::any_of(installed.begin(), installed.end(), [&](const InstalledFace& f) {
            return f.name == name && !(outline_only && f.raster) &&
                   std::find(f.charsets.begin(), f.charsets.end(), charset) != f.charsets.end();
        });
    };
    const std::vector<std::string> faces = candidates(face);
    for (bool outline_only : {true, false})
        for (const std::string& name : faces)
            if (has(name, outline_only)) return name;
    return face;
}

// Remembered, since every control and every change of DPI asks again.
std::string face_for(const ui::Font& font) {
    static std::map<std::pair<std::string, BYTE>, std::string> chosen;
    const std::string face = font.face ? font.face : "";
    const BYTE charset = static_cast<BYTE>(font.charset);
    auto [place, fresh] = chosen.try_emplace({face, charset});
    if (fresh) place->second = choose_face(face, charset, listed_faces(candidates(face)));
    return place->second;
}

LOGFONTW logical_font(const ui::Font& font, UINT dpi) {
    LOGFONTW logical{};
    logical.lfHeight = -std::lround(font.points * dpi / 72.0);
    logical.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logical.lfUnderline = font.underline;
    logical.lfCharSet = static_cast<BYTE>(font.charset);
    wcsncpy(logical.lfFaceName, widen(face_for(font)).c_str(), LF_FACESIZE - 1);
    return logical;
}

// A substitute face may be wider than the one the box was made for:
// narrow its letters until the text fits rather than clip it.
HFONT fitted_font(LOGFONTW logical, const std::wstring& text, int room) {
    HFONT font = CreateFontIndirectW(&logical);
    if (text.empty()) return font;
    HDC dc = GetDC(nullptr);
    const HGDIOBJ original = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const auto narrowed = [&](int stretch) {
        LOGFONTW narrow = logical;
        narrow.lfWidth = MulDiv(metrics.tmAveCharWidth, stretch, 100);
        return CreateFontIndirectW(&narrow);
    };
    const auto width_at = [&](int stretch) {
        HFONT trial = stretch == 100 ? font : narrowed(stretch);
        SelectObject(dc, trial);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, original);  // a font is deleted only when no DC holds it
        if (trial != font) DeleteObject(trial);
        return double(size.cx);
    };
    const int stretch = ui::fitting_stretch(room, width_at);
    SelectObject(dc, original);
    ReleaseDC(nullptr, dc);
    if (stretch == 100) return font;
    DeleteObject(font);
    return narrowed(stretch);
}

}  // namespace rt::win32
