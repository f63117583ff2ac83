// Win32's begin step for the start routine: the common controls, our
// message box over the form, and the message loop until the form is closed.
#include "runtime/ui/win32/win32.h"  // windows.h, which commctrl.h needs first

#include <commctrl.h>

#include <memory>
#include <string>

#include "runtime/ui/start.h"
#include "runtime/ui/win32/win32.h"

namespace rt::win32 {
namespace {

class Win32WindowSystem : public start::WindowSystem {
public:
    Win32WindowSystem() {
        INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&common);
    }

    // Over the form's window while it is there.
    void message_box(ui::Form* owner, const std::string& text) override {
        HWND window = owner ? window_of(*owner) : nullptr;
        show_message_box(window && IsWindow(window) ? window : nullptr, text);
    }

    int loop(ui::Form& form) override {
        HWND window = window_of(form);
        MSG message{};
        while (GetMessageW(&message, nullptr, 0, 0) > 0) serve(window, message);
        return static_cast<int>(message.wParam);
    }
};

}  // namespace
}  // namespace rt::win32

namespace rt::start {

std::unique_ptr<WindowSystem> begin_window_system(int&, char**) {
    return std::make_unique<win32::Win32WindowSystem>();
}

}  // namespace rt::start
