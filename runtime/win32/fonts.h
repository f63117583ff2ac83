// Fonts for the Win32 window: the face chosen among the substitutes, and
// a caption's font narrowed until the caption fits its box.
#pragma once

#include <string>

#include "runtime/win32/text.h"
#include "runtime/window_shared.h"

namespace rt::win32 {

// The font at the DPI, in the face itself when it is installed with its
// character set, else in the first substitute that is.
LOGFONTW logical_font(const ui::Font& font, UINT dpi);

// The font narrowed, down to the narrowest stretch, until the text fits
// `room` pixels. The caller owns the font.
HFONT fitted_font(LOGFONTW logical, const std::wstring& text, int room);

}  // namespace rt::win32
