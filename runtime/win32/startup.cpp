// The start routine on Win32: the common controls, the program's form,
// the real message box, and the message loop until the form is closed.
#include "runtime/win32/form.h"  // windows.h, which commctrl.h needs first

#include <commctrl.h>

#include <exception>
#include <memory>
#include <string>

#include "runtime/message_box.h"
#include "runtime/win32/message_box.h"

namespace rt::ui {

int start(const Application& description, int, char**,
          const std::function<std::unique_ptr<Program>()>& load) {
    set_application(description);
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    std::unique_ptr<Program> program;
    try {
        program = load();
    } catch (const std::exception& error) {
        win32::show_message_box(nullptr, error.what());
        return 1;
    }
    HWND window = win32::window_of(program->form());
    const MessageBoxHandler previous = set_message_box_handler([window](const std::string& text) {
        win32::show_message_box(IsWindow(window) ? window : nullptr, text);
    });
    program->form().show();
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) win32::serve(window, message);
    set_message_box_handler(previous);
    return static_cast<int>(message.wParam);
}

}  // namespace rt::ui
