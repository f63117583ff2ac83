// Under Wine's null graphics driver there is no real keyboard or mouse:
// keys and clicks are handed to the runtime's own message loop step as
// the system would queue them.
#include "runtime/ui/win32/win32.h"  // windows.h, which commctrl.h needs first

#include <commctrl.h>

#include <string>
#include <utility>

#include "form_driver.h"
#include "runtime/ui/win32/win32.h"

namespace driver {
namespace {

using rt::win32::control_window;
using rt::win32::window_of;

// Serves one message through the form's loop step, then whatever it queued.
void deliver(rt::ui::Form& form, HWND to, UINT message, WPARAM w, LPARAM l) {
    MSG queued{to, message, w, l, GetTickCount(), {}};
    rt::win32::serve(window_of(form), queued);
    serve_until([] { return false; }, 0);
}

// Notes the dialog class's window owned by the searched owner.
BOOL CALLBACK note_box(HWND window, LPARAM search) {
    auto& [owner, found] = *reinterpret_cast<std::pair<HWND, HWND>*>(search);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32770" || GetWindow(window, GW_OWNER) != owner) return TRUE;
    found = window;
    return FALSE;
}

// The message box over the form.
HWND open_box(HWND owner) {
    std::pair<HWND, HWND> search{owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), note_box, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

const WhileOpen* pending = nullptr;
HWND pending_owner = nullptr;

// A thread timer, so the box's own modal loop runs it once the box waits.
void CALLBACK box_waits(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const HWND box = open_box(pending_owner);
    (*pending)([box] { PostMessageW(box, WM_COMMAND, IDOK, 0); });
}

}  // namespace

int run(int&, char**, const std::function<int()>& tests) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    return tests();
}

bool serve_until(const std::function<bool()>& done, int ms) {
    const DWORD begun = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (GetTickCount() - begun >= DWORD(ms)) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool activate(rt::ui::Form& form) {
    HWND window = window_of(form);
    SetForegroundWindow(window);
    return serve_until([window] { return GetActiveWindow() == window; });
}

bool has_focus(rt::ui::Form& form, std::size_t control) {
    return GetFocus() != nullptr && GetFocus() == control_window(form, control);
}

void press_tab(rt::ui::Form& form) {
    deliver(form, GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    deliver(form, GetFocus(), WM_KEYUP, VK_TAB, 0xC0000001);
}

// The system sends a click to the enabled window under the pointer: a
// read-only field takes it itself.
void click(rt::ui::Form& form, std::size_t control) {
    HWND child = control_window(form, control);
    RECT box{};
    GetWindowRect(child, &box);
    POINT middle{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    HWND form_window = window_of(form);
    ScreenToClient(form_window, &middle);
    HWND target = ChildWindowFromPointEx(form_window, middle, CWP_SKIPDISABLED | CWP_SKIPINVISIBLE);
    MapWindowPoints(form_window, target, &middle, 1);
    const LPARAM at = MAKELPARAM(middle.x, middle.y);
    deliver(form, target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    deliver(form, target, WM_LBUTTONUP, 0, at);
}

void type(rt::ui::Form& form, std::size_t control, const std::string& keys) {
    for (char key : keys) deliver(form, control_window(form, control), WM_CHAR, WPARAM(key), 1);
}

void show_message_box(rt::ui::Form& form, const std::string& text, const WhileOpen& while_open) {
    pending = &while_open;
    pending_owner = window_of(form);
    SetTimer(nullptr, 0, 0, box_waits);
    rt::win32::show_message_box(window_of(form), text);
    pending = nullptr;
}

}  // namespace driver
