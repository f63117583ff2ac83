// The DPI answers of the Win32 window layer on every Windows it starts on:
// with none of the newer functions (7), with the monitor's DPI only (8.1),
// and with them all (10 1607 and later). Wine has them all, so the older
// systems are played by leaving functions out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/ui/win32/win32.h"

namespace {

using rt::win32::DpiFunctions;

UINT WINAPI window_at_192(HWND) { return 192; }
UINT WINAPI window_unknown(HWND) { return 0; }
HRESULT WINAPI monitor_at_120(HMONITOR, int, UINT* x, UINT* y) {
    *x = *y = 120;
    return S_OK;
}
HRESULT WINAPI monitor_fails(HMONITOR, int, UINT*, UINT*) { return E_INVALIDARG; }

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
const UINT kDpis[] = {96, 120, 144, 192};

const DpiFunctions& system() { return rt::win32::system_dpi_functions(); }

TEST(Dpi, FindsEachNewerFunctionByName) {
    EXPECT_NE(system().dpi_for_window, nullptr);
    EXPECT_NE(system().adjust_window_rect_ex_for_dpi, nullptr);
    EXPECT_NE(system().system_metrics_for_dpi, nullptr);
    EXPECT_NE(system().system_parameters_info_for_dpi, nullptr);
    EXPECT_NE(system().dpi_for_monitor, nullptr);
    EXPECT_NE(system().enable_non_client_dpi_scaling, nullptr);
}

TEST(Dpi, TheVariableNamesAnOlderPathOrNone) {
    using rt::win32::DpiPath;
    const struct {
        const wchar_t* value;
        DpiPath expected;
    } cases[] = {
        {nullptr, DpiPath::System},   {L"", DpiPath::System},    {L"7", DpiPath::Windows7},
        {L"8.1", DpiPath::Windows81}, {L"10", DpiPath::System},  {L"8", DpiPath::System},
        {L" 7", DpiPath::System},     {L"7.0", DpiPath::System}, {L"8.1x", DpiPath::System},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::win32::dpi_path_asked(c.value), c.expected)
            << (c.value ? rt::win32::narrow(c.value) : "unset");
}

BOOL WINAPI dialog_behaviour(HWND, int, int) { return TRUE; }

// What Wine has, less what each older path lacks, and what 10 1703 adds.
TEST(Dpi, EachPathIsNamedAfterTheFirstWindowsWithItsFunctions) {
    using rt::win32::DpiPath;
    using rt::win32::on_path;
    DpiFunctions with_dialogs = system();
    with_dialogs.set_dialog_dpi_change_behavior = dialog_behaviour;
    const struct {
        DpiFunctions functions;
        const char* expected;
    } cases[] = {
        {on_path(system(), DpiPath::Windows7), "Windows 7"},
        {on_path(system(), DpiPath::Windows81), "Windows 8.1"},
        {on_path(system(), DpiPath::System), "Windows 10 1607"},
        {with_dialogs, "Windows 10 1703"},
        {on_path(with_dialogs, DpiPath::Windows81), "Windows 8.1"},
        {{.dpi_for_window = window_at_192}, "Windows 10 1607"},
    };
    for (const auto& c : cases) EXPECT_STREQ(rt::win32::dpi_path_name(c.functions), c.expected);
}

TEST(Dpi, AWindowsDpiComesFromTheNewestFunctionThatAnswers) {
    const UINT screen = rt::win32::system_dpi();
    const struct {
        const char* system;
        DpiFunctions functions;
        UINT expected;
    } cases[] = {
        {"7: the screen's", {}, screen},
        {"8.1: the monitor's", {.dpi_for_monitor = monitor_at_120}, 120},
        {"8.1, the monitor unknown", {.dpi_for_monitor = monitor_fails}, screen},
        {"10: the window's", {.dpi_for_window = window_at_192, .dpi_for_monitor = monitor_at_120}, 192},
        {"10, the window unknown",
         {.dpi_for_window = window_unknown, .dpi_for_monitor = monitor_at_120},
         120},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::win32::window_dpi(nullptr, c.functions), c.expected) << c.system;
}

// Before 10 1607 the frame is drawn at the screen's DPI on every monitor;
// metrics and fonts are the screen's, scaled. Each must come out as the
// system's own answer.
TEST(Dpi, TheFrameWithoutTheNewerFunctionIsTheScreensOwn) {
    ASSERT_NE(system().adjust_window_rect_ex_for_dpi, nullptr);
    for (DWORD style : {kFormStyle, kBoxStyle}) {
        RECT own{100, 50, 493, 340};
        rt::win32::adjust_frame(own, style, 0, rt::win32::system_dpi());
        for (UINT dpi : kDpis) {
            RECT fallback{100, 50, 493, 340};
            rt::win32::adjust_frame(fallback, style, 0, dpi, {});
            EXPECT_EQ(std::vector<LONG>({fallback.left, fallback.top, fallback.right, fallback.bottom}),
                      std::vector<LONG>({own.left, own.top, own.right, own.bottom}))
                << "style " << std::hex << style << std::dec << " at " << dpi << " DPI";
        }
    }
}

TEST(Dpi, MetricsWithoutTheNewerFunctionAreTheSystemsOwn) {
    ASSERT_NE(system().system_metrics_for_dpi, nullptr);
    for (int index : {SM_CXICON, SM_CXSMICON, SM_CXSIZE})
        for (UINT dpi : kDpis)
            EXPECT_EQ(rt::win32::system_metric(index, dpi, {}), rt::win32::system_metric(index, dpi))
                << "metric " << index << " at " << dpi << " DPI";
}

TEST(Dpi, FontsWithoutTheNewerFunctionAreTheSystemsOwn) {
    ASSERT_NE(system().system_parameters_info_for_dpi, nullptr);
    for (UINT dpi : kDpis) {
        const NONCLIENTMETRICSW fallback = rt::win32::nonclient_metrics(dpi, {});
        const NONCLIENTMETRICSW own = rt::win32::nonclient_metrics(dpi);
        EXPECT_EQ(fallback.lfMessageFont.lfHeight, own.lfMessageFont.lfHeight) << dpi << " DPI";
        EXPECT_EQ(fallback.lfCaptionFont.lfHeight, own.lfCaptionFont.lfHeight) << dpi << " DPI";
        EXPECT_EQ(std::wstring(fallback.lfMessageFont.lfFaceName),
                  std::wstring(own.lfMessageFont.lfFaceName));
    }
}

}  // namespace
