// The Win32 realisation of the window layer: what its files share, and
// what the start routine's loop and the window's tests reach beyond the
// portable interface. Each block names the file that implements it.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/os/win32/win32.h"
#include "runtime/ui/shared.h"

namespace rt::win32 {

// ---- form.cpp: the form.

// The top-level window of a form built by create_form, and the window of
// one of its labels or text boxes (null for a picture or a line).
HWND window_of(ui::Form& form);
HWND control_window(ui::Form& form, std::size_t control);

// Serves one message of the thread's queue as the start routine's loop
// does: the dialog manager's keys (Tab between the fields) first.
void serve(HWND form, MSG& message);

// ---- dpi.cpp: the DPI a window is drawn at, and the frame, metrics and
// fonts for it. The functions that say so per window or monitor came after
// Windows 7: each is looked up once in the system's own DLL, and where it
// is missing an older call takes its place.

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

// ---- fonts.cpp: the face chosen among those installed, and a caption's
// font narrowed until the caption fits its box.

// A face as the system lists it: its character sets and whether it is a
// raster font (fixed sizes, jagged when scaled).
struct InstalledFace {
    std::string name;
    std::vector<BYTE> charsets;
    bool raster = false;
};

// The faces `face` may be realised in, in the order of preference:
// its TrueType successor, itself, then the substitutes.
std::vector<std::string> candidates(const std::string& face);

// The faces of `names` the system has, as it lists them, each in every
// character set it has; the faces it lacks are not listed.
std::vector<InstalledFace> listed_faces(const std::vector<std::string>& names);

// The face to realise `face` in: among its TrueType successor, itself and
// the substitutes, in that order, the first outline face installed with
// the character set, else the first raster one; with none of them the
// face itself, and the font mapper chooses.
std::string choose_face(const std::string& face, BYTE charset, std::span<const InstalledFace> installed);

// The face the window sets the font in, on this system.
std::string face_for(const ui::Font& font);

// The font at the DPI, in the face chosen for it.
LOGFONTW logical_font(const ui::Font& font, UINT dpi);

// The font narrowed, down to the narrowest stretch, until the text fits
// `room` pixels. The caller owns the font.
HFONT fitted_font(LOGFONTW logical, const std::wstring& text, int room);

// ---- pictures.cpp: a bitmap resource stretched with GDI, or a drawing
// resource (.svg) painted from its polygons.

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

// ---- accessible.cpp: what screen readers read of the form (Microsoft
// Active Accessibility): the system's own object for a window, saying
// otherwise only what the form gives here.

// What the form says of a window's object; an empty text leaves the
// system's own.
struct AccessibleFacts {
    std::wstring name;
    std::wstring description;
    // A value shown only: read-only, and neither unavailable nor focusable.
    bool read_only = false;
};

// What the form hands screen readers. oleacc and the COM it speaks are
// loaded from the system folder, and COM joined on the thread, at the
// first WM_GETOBJECT: a start no screen reader watches does not pay for
// them. COM is left when the form goes.
class AccessibleObjects {
public:
    AccessibleObjects() = default;
    ~AccessibleObjects();
    AccessibleObjects(const AccessibleObjects&) = delete;
    AccessibleObjects& operator=(const AccessibleObjects&) = delete;

    // The answer to WM_GETOBJECT for the window's object (OBJID_WINDOW or
    // OBJID_CLIENT): the system's object wrapped to say the facts. 0 when
    // none could be made; the message then goes to the default procedure.
    LRESULT answer(HWND window, WPARAM flags, LONG object, AccessibleFacts facts);

private:
    bool asked_ = false;
    bool joined_ = false;
};

// The object WM_GETOBJECT asks for (its lParam), an OBJID_ value: cast
// to DWORD first, which 64-bit Windows would otherwise sign-extend.
LONG asked_object(LPARAM asked);

// ---- message_box.cpp: the text alone, one OK button, titled with the
// application's name, sized to its text.

// Shows the text over the owner (may be null) and returns when it is
// closed. The owner's timers go on ticking meanwhile.
void show_message_box(HWND owner, const std::string& text);

// ---- clipboard.cpp: the clipboard's text as a single-line field takes it.

// The clipboard's Unicode text up to its first line break, as the EDIT
// control pastes it into a single line; none when it holds no text.
std::optional<std::wstring> clipboard_line(HWND owner);

}  // namespace rt::win32
