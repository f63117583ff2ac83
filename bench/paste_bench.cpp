// A large paste into the panel's first field on the Win32 window: the time
// until the message box shows and until the paste has been handled (the
// box closed at once, the field emptied, 0 written), against the bare
// reading of the same text from the clipboard in the same run.
//   paste_bench [CHARACTERS...]   (100000 and 1000000 unless given)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "io/io.h"
#include "panel/form1.h"
#include "runtime/message_box.h"
#include "runtime/ui/win32/win32.h"

#include <commctrl.h>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

std::wstring digits(std::size_t count) {
    std::wstring text(count, L'0');
    for (std::size_t i = 0; i < count; ++i) text[i] = static_cast<wchar_t>(L'1' + i % 9);
    return text;
}

bool put_on_clipboard(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    const bool put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    return put;
}

// The baseline: what any paste must do at least, take the text off the clipboard.
std::size_t read_clipboard(HWND owner) {
    if (!OpenClipboard(owner)) return 0;
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text.size();
}

// Closes the message box as soon as it shows, as a user pressing Enter.
Clock::time_point box_shown;

BOOL CALLBACK close_if_box(HWND window, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    if (box_shown == Clock::time_point{}) box_shown = Clock::now();
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK close_box(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), close_if_box, 0);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoul(argv[i], nullptr, 10));
    if (sizes.empty()) sizes = {100'000, 1'000'000};

    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    panel::Form1 form1;
    HWND window = rt::win32::window_of(form1.form());
    std::string message;
    rt::set_message_box_handler([&](const std::string& text) {
        message = text;
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, close_box);
        rt::win32::show_message_box(window, text);
        KillTimer(nullptr, timer);
    });
    form1.form().show();
    HWND field = GetNextDlgTabItem(window, nullptr, FALSE);  // where the focus starts: port 112's field

    std::printf("%10s %12s %12s %14s %10s  %s\n", "characters", "box after s", "done after s", "clipboard ms",
                "ratio", "result");
    int status = 0;
    for (std::size_t size : sizes) {
        form1.txtOUT_W112.setText("1");
        if (!put_on_clipboard(window, digits(size))) {
            std::printf("%10zu: the clipboard took no text\n", size);
            return 1;
        }
        const Clock::time_point bare_start = Clock::now();
        const std::size_t read = read_clipboard(window);
        const double bare = seconds(bare_start, Clock::now());
        message.clear();
        box_shown = {};
        const Clock::time_point start = Clock::now();
        SendMessageW(field, WM_PASTE, 0, 0);
        const double done = seconds(start, Clock::now());
        const bool as_today = read == size && message.rfind("Overflow: 1", 0) == 0 &&
                              message.size() <= 1100 && form1.txtOUT_W112.Text().empty() &&
                              io::READ_IO_WORD(112) == 0;
        if (!as_today) status = 1;
        std::printf("%10zu %12.3f %12.3f %14.3f %10.0f  %s\n", size,
                    box_shown == Clock::time_point{} ? -1.0 : seconds(start, box_shown), done, bare * 1000,
                    bare > 0 ? done / bare : 0.0,
                    as_today ? "message box, field emptied, 0 written" : "NOT AS TODAY");
        std::fflush(stdout);
    }
    return status;
}
