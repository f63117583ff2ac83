// The DPI a window is drawn at, and the frame, metrics and fonts for it.
// The functions that say so per window or monitor came after Windows 7:
// each is looked up once in the system's own DLL, and where it is missing
// an older call takes its place.
#pragma once

#include "runtime/win32/text.h"

namespace rt::win32 {

// The newer functions; null where the system lacks one.
struct DpiFunctions {
    UINT(WINAPI* dpi_for_window)(HWND) = nullptr;  // user32, 10 1607
    BOOL(WINAPI* adjust_window_rect_ex_for_dpi)
    (RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;                                            // user32, 10 1607
    int(WINAPI* system_metrics_for_dpi)(int, UINT) = nullptr;                               // user32, 10 1607
    BOOL(WINAPI* system_parameters_info_for_dpi)(UINT, UINT, void*, UINT, UINT) = nullptr;  // user32, 10 1607
    HRESULT(WINAPI* dpi_for_monitor)(HMONITOR, int, UINT*, UINT*) = nullptr;                // shcore, 8.1
    // Under "PerMonitor" (10 1607) the frame and title bar scale only when asked.
    BOOL(WINAPI* enable_non_client_dpi_scaling)(HWND) = nullptr;  // user32, 10 1607
    // The dialog manager's own rescaling of a dialog and its controls.
    BOOL(WINAPI* set_dialog_dpi_change_behavior)(HWND, int, int) = nullptr;          // user32, 10 1703
    BOOL(WINAPI* set_dialog_control_dpi_change_behavior)(HWND, int, int) = nullptr;  // user32, 10 1703
};

// The functions of an older Windows, to run its path on a newer one.
enum class DpiPath { System, Windows81, Windows7 };

// The path that RT_WINDOWS_DPI_PATH asks for: "7" (none of the newer
// functions), "8.1" (GetDpiForMonitor only); unset or anything else, the
// system's own. Only the lookup below reads it, for testing those paths.
DpiPath dpi_path_asked(const wchar_t* value);

// The functions found, less those the older path lacks.
DpiFunctions on_path(DpiFunctions found, DpiPath path);

// Looked up at the first call, on the path RT_WINDOWS_DPI_PATH asks for.
const DpiFunctions& system_dpi_functions();

// The DPI path the functions make the window take, named after the
// first Windows that has them: "Windows 10 1703" (the dialog manager's
// rescaling turned off too), "Windows 10 1607", "Windows 8.1" or "Windows 7".
const char* dpi_path_name(const DpiFunctions& functions = system_dpi_functions());

// The screen's DPI, which the system's metrics are given in.
UINT system_dpi();

// The window's DPI: its own (10 1607), else its monitor's (8.1), else the screen's.
UINT window_dpi(HWND window, const DpiFunctions& functions = system_dpi_functions());

// The window rectangle around a client rectangle, for the DPI. Before 10
// 1607 a frame is drawn at the screen's DPI on every monitor.
void adjust_frame(RECT& rect, DWORD style, DWORD ex_style, UINT dpi,
                  const DpiFunctions& functions = system_dpi_functions());

// A GetSystemMetrics value for the DPI.
int system_metric(int index, UINT dpi, const DpiFunctions& functions = system_dpi_functions());

// The non-client metrics (caption and message fonts) for the DPI.
NONCLIENTMETRICSW nonclient_metrics(UINT dpi, const DpiFunctions& functions = system_dpi_functions());

}  // namespace rt::win32
