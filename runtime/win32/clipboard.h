// The clipboard's text as a single-line field takes it.
#pragma once

#include <optional>
#include <string>

#include "runtime/win32/text.h"

namespace rt::win32 {

// The clipboard's Unicode text up to its first line break, as the EDIT
// control pastes it into a single line; none when it holds no text.
std::optional<std::wstring> clipboard_line(HWND owner);

}  // namespace rt::win32
