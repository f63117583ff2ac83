// Fonts for the Win32 window: the face chosen among those installed, and
// a caption's font narrowed until the caption fits its box.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "runtime/win32/text.h"
#include "runtime/window_shared.h"

namespace rt::win32 {

// A face as the system lists it: its character sets and whether it is a
// raster font (fixed sizes, jagged when scaled).
struct InstalledFace {
    std::string name;
    std::vector<BYTE> charsets;
    bool raster = false;
};

// The face to realise `face` in: among its TrueType successor, itself and
// the substitutes, in that order, the first outline face installed with
// the character set, else the first raster one; with none of them the
// face itself, and the font mapper chooses.
std::string choose_face(const std::string& face, BYTE charset, std::span<const InstalledFace> installed);

// The face the window sets the font in, on this system.
std::string face_for(const ui::Font& font);

// The font at the DPI, in the face chosen for it.
LOGFONTW logical_font(const ui::Font& font, UINT dpi);

// The font narrowed, down to the narrowest stretch, until the text fits
// `room` pixels. The caller owns the font.
HFONT fitted_font(LOGFONTW logical, const std::wstring& text, int room);

}  // namespace rt::win32
