// The Win32 message box when the system moves it to a monitor of another
// DPI: it lays itself out again at that DPI, where the system suggests.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "runtime/ui/win32/win32.h"

namespace {

std::function<void(HWND)> inspect;

BOOL CALLBACK note_box(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32770") return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// A thread timer, so the box's own modal loop runs it once the box waits.
void CALLBACK box_waits(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), note_box, reinterpret_cast<LPARAM>(&box));
    if (box) inspect(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

SIZE size_of(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

TEST(Win32MessageBox, ADpiChangeLaysTheBoxOutAtTheNewDpi) {
    for (UINT dpi : {120u, 144u, 192u}) {
        SIZE button{}, box_before{}, box_then{};
        LONG font_height = 0;
        POINT at{};
        const RECT suggested{40, 30, 400, 300};
        inspect = [&](HWND box) {
            box_before = size_of(box);
            SendMessageW(box, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            HWND ok = GetDlgItem(box, IDOK);
            button = size_of(ok);
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(ok, WM_GETFONT, 0, 0)), sizeof font, &font);
            font_height = font.lfHeight;
            box_then = size_of(box);
            RECT placed{};
            GetWindowRect(box, &placed);
            at = {placed.left, placed.top};
        };
        SetTimer(nullptr, 0, 50, box_waits);
        rt::win32::show_message_box(nullptr, "The value is too large for the port.");
        EXPECT_EQ(button.cx, MulDiv(75, dpi, 96)) << dpi << " DPI";
        EXPECT_EQ(button.cy, MulDiv(23, dpi, 96)) << dpi << " DPI";
        EXPECT_EQ(font_height, rt::win32::nonclient_metrics(dpi).lfMessageFont.lfHeight) << dpi << " DPI";
        EXPECT_GT(box_then.cx, box_before.cx) << dpi << " DPI";
        EXPECT_GT(box_then.cy, box_before.cy) << dpi << " DPI";
        EXPECT_EQ(at.x, suggested.left) << dpi << " DPI";
        EXPECT_EQ(at.y, suggested.top) << dpi << " DPI";
    }
}

}  // namespace
