// The Win32 form: what the start routine needs of the window built by create_form.
#pragma once

#include "runtime/win32/text.h"
#include "runtime/window.h"

namespace rt::win32 {

// The top-level window of a form built by create_form.
HWND window_of(ui::Form& form);

}  // namespace rt::win32
