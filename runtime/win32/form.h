// The Win32 form: what the start routine and the window's tests reach
// beyond the portable interface.
#pragma once

#include <cstddef>

#include "runtime/win32/text.h"
#include "runtime/window_shared.h"

namespace rt::win32 {

// The top-level window of a form built by create_form, and the window of
// one of its labels or text boxes (null for a picture or a line).
HWND window_of(ui::Form& form);
HWND control_window(ui::Form& form, std::size_t control);

// Serves one message of the thread's queue as the start routine's loop
// does: the dialog manager's keys (Tab between the fields) first.
void serve(HWND form, MSG& message);

}  // namespace rt::win32
