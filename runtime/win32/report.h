// The Windows window layer's lines for a report on a machine: the DPI path
// the window takes and the face chosen for each of a layout's fonts.
#pragma once

#include <span>

#include "runtime/diagnosis.h"
#include "runtime/window.h"

namespace rt::win32 {

diagnosis::Lines window_lines(const ui::Window& window, std::span<const ui::Control> controls);

}  // namespace rt::win32
