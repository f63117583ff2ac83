// The Win32 form where it meets the system: its icon at the DPI, and its
// brushes when the system's colours change, as high contrast or another
// colour scheme changes them.
#include <gtest/gtest.h>

#include <memory>

#include "runtime/ui/win32/win32.h"

namespace {

using namespace rt::ui;

const Control kControls[] = {
    {"Label1", Kind::Label, 120, 120, 1200, 240, kNoTab, "Port", {}, kButtonText, kButtonFace},
};
const Window kWindow{"Colours",  "Colours", 0, 0, 2000, 1000, kButtonFace, {"Arial", 9, false, false},
                     "torva.ico"};

// The form's end posts WM_QUIT, which would end the next test's message box.
void close(std::unique_ptr<Form>& form) {
    form.reset();
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// The brush and background colour the form gives the label to paint with.
std::pair<COLORREF, COLORREF> label_colours(HWND form, HWND label) {
    HDC dc = CreateCompatibleDC(nullptr);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(form, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
    LOGBRUSH drawn{};
    GetObjectW(brush, sizeof drawn, &drawn);
    const COLORREF background = GetBkColor(dc);
    DeleteDC(dc);
    return {drawn.lbColor, background};
}

// The colour the form gives the label's text.
COLORREF label_text(HWND form, HWND label) {
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(form, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    const COLORREF text = GetTextColor(dc);
    DeleteDC(dc);
    return text;
}

// A system colour set for the test's run, and put back after it.
struct SystemColour {
    INT element;
    COLORREF before = GetSysColor(element);
    SystemColour(INT element, COLORREF colour) : element(element) { SetSysColors(1, &element, &colour); }
    ~SystemColour() { SetSysColors(1, &element, &before); }
};

TEST(Win32Colours, TheFormsBrushesFollowTheSystemsColours) {
    auto form = create_form(kWindow, kControls);
    HWND window = rt::win32::window_of(*form), label = rt::win32::control_window(*form, 0);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), other = RGB(10, 20, 30);
    ASSERT_EQ(label_colours(window, label), std::pair(face, face));
    {
        // SetSysColors tells every top-level window with WM_SYSCOLORCHANGE.
        const SystemColour changed(COLOR_BTNFACE, other);
        EXPECT_EQ(label_colours(window, label), std::pair(other, other));
    }
    EXPECT_EQ(label_colours(window, label), std::pair(face, face));
    close(form);
}

// Wine never reports high contrast on; the runtime's switch for tests
// stands in for the user's, and the form hears of it as of the user's.
TEST(Win32Colours, HighContrastTurnedOnAndOffWhileTheFormRunsRepaintsFixedColoursToo) {
    const Control fixed[] = {
        {"Label1", Kind::Label, 120, 120, 1200, 240, kNoTab, "Port", {}, rgb(0, 128, 0), rgb(255, 255, 192)},
    };
    auto form = create_form(kWindow, fixed);
    HWND window = rt::win32::window_of(*form), label = rt::win32::control_window(*form, 0);
    struct Step {
        const wchar_t* switch_value;  // nullptr: off
        COLORREF text, back;
    };
    const Step steps[] = {
        {L"1", GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)},
        {nullptr, RGB(0, 128, 0), RGB(255, 255, 192)},
    };
    for (const Step& step : steps) {
        SetEnvironmentVariableW(L"RT_WINDOWS_HIGH_CONTRAST", step.switch_value);
        SendMessageW(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        EXPECT_EQ(label_colours(window, label), std::pair(step.back, step.back));
        EXPECT_EQ(label_text(window, label), step.text);
    }
    close(form);
}

// The side of the window's small or big icon, in pixels.
int icon_side(HWND window, WPARAM which) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0));
    ICONINFO parts{};
    if (!icon || !GetIconInfo(icon, &parts)) return 0;
    BITMAP bitmap{};
    GetObjectW(parts.hbmColor ? parts.hbmColor : parts.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    return bitmap.bmWidth;
}

TEST(Win32Form, TheIconsAreLoadedAgainAtTheSizesEachDpiWants) {
    auto form = create_form(kWindow, kControls);
    HWND window = rt::win32::window_of(*form);
    for (UINT dpi : {96u, 144u, 192u, 120u, 96u}) {
        RECT suggested{};
        GetWindowRect(window, &suggested);
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(icon_side(window, ICON_BIG), rt::win32::system_metric(SM_CXICON, dpi)) << dpi << " DPI";
        EXPECT_EQ(icon_side(window, ICON_SMALL), rt::win32::system_metric(SM_CXSMICON, dpi)) << dpi << " DPI";
    }
    close(form);
}

}  // namespace
