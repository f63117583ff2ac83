// The form's pictures on Win32: bitmaps, and drawings painted from their polygons.
#include "runtime/ui/win32/win32.h"

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace rt::win32 {
namespace {

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

void paint_bitmap(HDC dc, HBITMAP bitmap, const RECT& box) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, source, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

// The drawing stretched to fill the box, as its viewBox says nothing of aspect.
void paint_drawing(HDC dc, const ui::Drawing& drawing, const RECT& box) {
    if (drawing.width <= 0 || drawing.height <= 0) return;
    const double sx = (box.right - box.left) / drawing.width, sy = (box.bottom - box.top) / drawing.height;
    for (const ui::Polygon& polygon : drawing.polygons) {
        std::vector<POINT> points;
        for (const ui::Point& p : polygon.points)
            points.push_back({box.left + std::lround(p.x * sx), box.top + std::lround(p.y * sy)});
        const COLORREF colour = RGB(polygon.rgb >> 16 & 0xFF, polygon.rgb >> 8 & 0xFF, polygon.rgb & 0xFF);
        HBRUSH brush = CreateSolidBrush(colour);
        HPEN pen = CreatePen(PS_SOLID, 1, colour);
        HGDIOBJ old_brush = SelectObject(dc, brush), old_pen = SelectObject(dc, pen);
        ::Polygon(dc, points.data(), static_cast<int>(points.size()));
        SelectObject(dc, old_brush);
        SelectObject(dc, old_pen);
        DeleteObject(brush);
        DeleteObject(pen);
    }
}

}  // namespace

Picture load_picture(const char* name) {
    Picture picture;
    const std::wstring wide = widen(name);
    if (wide.ends_with(L".svg")) {
        HRSRC found = FindResourceW(instance(), wide.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
        HGLOBAL loaded = found ? LoadResource(instance(), found) : nullptr;
        if (loaded)
            picture.drawing = ui::read_drawing(std::string_view(
                static_cast<const char*>(LockResource(loaded)), SizeofResource(instance(), found)));
    } else {
        picture.bitmap = static_cast<HBITMAP>(
            LoadImageW(instance(), wide.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    return picture;
}

void paint_picture(HDC dc, const Picture& picture, const RECT& box) {
    if (picture.bitmap) paint_bitmap(dc, picture.bitmap, box);
    else paint_drawing(dc, picture.drawing, box);
}

void free_picture(Picture& picture) {
    if (picture.bitmap) DeleteObject(picture.bitmap);
    picture.bitmap = nullptr;
}

}  // namespace rt::win32
