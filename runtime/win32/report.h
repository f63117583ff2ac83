// The Windows window layer's lines for a report on a machine: the DPI path
// the window takes and the face chosen for each of a layout's fonts.
#pragma once

#include <span>

#include "runtime/ui/window.h"
#include "tools/diagnose.h"

namespace rt::win32 {

diagnose::Lines window_lines(const ui::Window& window, std::span<const ui::Control> controls);

}  // namespace rt::win32
