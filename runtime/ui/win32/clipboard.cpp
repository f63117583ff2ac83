// The clipboard's text as a single-line field takes it.
#include "runtime/ui/win32/win32.h"

namespace rt::win32 {

std::optional<std::wstring> clipboard_line(HWND owner) {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) return std::nullopt;
    std::optional<std::wstring> line;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            line = text;
            GlobalUnlock(data);
        }
    CloseClipboard();
    // Up to the first line feed, and without the carriage return before it.
    if (line) {
        if (const std::size_t end = line->find(L'\n'); end != std::wstring::npos)
            line->resize(end > 0 && (*line)[end - 1] == L'\r' ? end - 1 : end);
    }
    return line;
}

}  // namespace rt::win32
