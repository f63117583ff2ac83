// The message box of the Win32 window layer: the text alone, one OK
// button, titled with the program's name, sized to its text.
#pragma once

#include <string>

#include "runtime/win32/text.h"

namespace rt::win32 {

// Shows the text over the owner (may be null) and returns when it is
// closed. The owner's timers go on ticking meanwhile.
void show_message_box(HWND owner, const std::string& text);

}  // namespace rt::win32
