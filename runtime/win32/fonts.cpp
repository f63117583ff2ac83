#include "runtime/win32/fonts.h"

#include <cmath>
#include <cwchar>
#include <map>
#include <utility>

namespace rt::win32 {
namespace {

int CALLBACK note_found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool installed(const std::wstring& face, BYTE charset) {
    LOGFONTW query{};
    query.lfCharSet = charset;
    wcsncpy(query.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &query, note_found, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

// The face itself when it is installed with the character set, else the
// first substitute that is; with none of them the font mapper chooses.
// Remembered, since every control and every change of DPI asks again.
std::wstring face_for(const ui::Font& font) {
    static std::map<std::pair<std::string, BYTE>, std::wstring> chosen;
    const BYTE charset = static_cast<BYTE>(font.charset);
    auto [place, fresh] = chosen.try_emplace({font.face, charset}, widen(font.face));
    if (fresh && !installed(place->second, charset)) {
        for (const char* substitute : ui::kSubstituteFaces)
            if (installed(widen(substitute), charset)) {
                place->second = widen(substitute);
                break;
            }
    }
    return place->second;
}

}  // namespace

LOGFONTW logical_font(const ui::Font& font, UINT dpi) {
    LOGFONTW logical{};
    logical.lfHeight = -std::lround(font.points * dpi / 72.0);
    logical.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logical.lfUnderline = font.underline;
    logical.lfCharSet = static_cast<BYTE>(font.charset);
    wcsncpy(logical.lfFaceName, face_for(font).c_str(), LF_FACESIZE - 1);
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
