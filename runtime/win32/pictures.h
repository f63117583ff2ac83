// The form's pictures on Win32: a bitmap resource stretched with GDI, or
// a drawing resource (.svg) painted from its polygons.
#pragma once

#include "runtime/drawing.h"
#include "runtime/win32/text.h"

namespace rt::win32 {

struct Picture {
    HBITMAP bitmap = nullptr;
    ui::Drawing drawing{};
};

// The image stored under its name among the program's resources; an
// empty picture when there is none.
Picture load_picture(const char* name);

// The picture stretched to fill the box.
void paint_picture(HDC dc, const Picture& picture, const RECT& box);

void free_picture(Picture& picture);

}  // namespace rt::win32
