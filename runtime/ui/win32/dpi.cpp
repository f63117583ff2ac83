// The DPI a window is drawn at, with each newer function looked up at run time.
#include "runtime/ui/win32/win32.h"

#include <string_view>

namespace rt::win32 {
namespace {

constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

DpiFunctions look_up_all() {
    DpiFunctions found{};
    // user32 is loaded in every window program; shcore exists from 8.1 on
    // and is loaded from the system folder only.
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    look_up(found.dpi_for_window, user32, "GetDpiForWindow");
    look_up(found.adjust_window_rect_ex_for_dpi, user32, "AdjustWindowRectExForDpi");
    look_up(found.system_metrics_for_dpi, user32, "GetSystemMetricsForDpi");
    look_up(found.system_parameters_info_for_dpi, user32, "SystemParametersInfoForDpi");
    look_up(found.enable_non_client_dpi_scaling, user32, "EnableNonClientDpiScaling");
    look_up(found.set_dialog_dpi_change_behavior, user32, "SetDialogDpiChangeBehavior");
    look_up(found.set_dialog_control_dpi_change_behavior, user32, "SetDialogControlDpiChangeBehavior");
    const HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    look_up(found.dpi_for_monitor, shcore, "GetDpiForMonitor");
    wchar_t asked[8] = {};
    const DWORD length = GetEnvironmentVariableW(L"RT_WINDOWS_DPI_PATH", asked, 8);
    return on_path(found, dpi_path_asked(length > 0 && length < 8 ? asked : nullptr));
}

// A value given at the screen's DPI, at another.
int rescaled(int value, UINT dpi) {
    return MulDiv(value, static_cast<int>(dpi), static_cast<int>(system_dpi()));
}

}  // namespace

DpiPath dpi_path_asked(const wchar_t* value) {
    const std::wstring_view asked = value ? value : L"";
    if (asked == L"7") return DpiPath::Windows7;
    if (asked == L"8.1") return DpiPath::Windows81;
    return DpiPath::System;
}

DpiFunctions on_path(DpiFunctions found, DpiPath path) {
    switch (path) {
    case DpiPath::System: return found;
    case DpiPath::Windows81: return {.dpi_for_monitor = found.dpi_for_monitor};
    case DpiPath::Windows7: return {};
    }
    return found;
}

const DpiFunctions& system_dpi_functions() {
    static const DpiFunctions functions = look_up_all();
    return functions;
}

const char* dpi_path_name(const DpiFunctions& functions) {
    if (functions.dpi_for_window)
        return functions.set_dialog_dpi_change_behavior ? "Windows 10 1703" : "Windows 10 1607";
    return functions.dpi_for_monitor ? "Windows 8.1" : "Windows 7";
}

UINT system_dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT window_dpi(HWND window, const DpiFunctions& functions) {
    if (functions.dpi_for_window)
        if (const UINT dpi = functions.dpi_for_window(window)) return dpi;
    UINT x = 0, y = 0;
    if (functions.dpi_for_monitor &&
        SUCCEEDED(functions.dpi_for_monitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST),
                                            kEffectiveDpi, &x, &y)) &&
        x > 0)
        return x;
    return system_dpi();
}

void adjust_frame(RECT& rect, DWORD style, DWORD ex_style, UINT dpi, const DpiFunctions& functions) {
    if (functions.adjust_window_rect_ex_for_dpi &&
        functions.adjust_window_rect_ex_for_dpi(&rect, style, FALSE, ex_style, dpi))
        return;
    AdjustWindowRectEx(&rect, style, FALSE, ex_style);
}

int system_metric(int index, UINT dpi, const DpiFunctions& functions) {
    if (functions.system_metrics_for_dpi) return functions.system_metrics_for_dpi(index, dpi);
    return rescaled(GetSystemMetrics(index), dpi);
}

NONCLIENTMETRICSW nonclient_metrics(UINT dpi, const DpiFunctions& functions) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (functions.system_parameters_info_for_dpi &&
        functions.system_parameters_info_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        return metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                           &metrics.lfStatusFont, &metrics.lfMessageFont})
        font->lfHeight = rescaled(font->lfHeight, dpi);
    return metrics;
}

}  // namespace rt::win32
