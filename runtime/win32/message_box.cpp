// A small dialog of our own rather than MessageBoxW, which under Wine makes
// the box too narrow for its title and cuts long texts.
#include "runtime/win32/message_box.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "runtime/text.h"
#include "runtime/win32/dpi.h"
#include "runtime/window_shared.h"

namespace rt::win32 {
namespace {

constexpr wchar_t kInvisibleBreak = 0x200B;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// Sizes in pixels at 96 DPI.
constexpr int kMargin = 12, kButtonWidth = 75, kButtonHeight = 23;
constexpr int kWidestText = 480;

struct Box {
    std::wstring text;
    HFONT font = nullptr;
};

std::wstring title() { return widen(ui::application().title); }

int width_of(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// Lines no wider than `room`, broken after blanks and at the invisible
// breaks that rt::breakable puts into long runs.
std::vector<std::wstring> wrapped(const std::wstring& text, HDC dc, int room) {
    std::vector<std::wstring> lines;
    std::wstring line, word;
    auto place_word = [&] {
        if (!line.empty() && width_of(dc, line + word) > room) lines.push_back(std::exchange(line, {}));
        line += std::exchange(word, {});
    };
    for (wchar_t c : text) {
        if (c == L'\r') continue;
        if (c == L'\n') {
            place_word();
            lines.push_back(std::exchange(line, {}));
        } else if (c == kInvisibleBreak) {
            place_word();
        } else {
            word += c;
            if (c == L' ') place_word();
        }
    }
    place_word();
    lines.push_back(line);
    return lines;
}

HFONT message_font(UINT dpi) {
    const LOGFONTW logical = nonclient_metrics(dpi).lfMessageFont;
    return CreateFontIndirectW(&logical);
}

// The width the title needs beside the caption's icon and buttons, in a
// bold face as window managers draw it.
int title_width(HDC dc, UINT dpi) {
    LOGFONTW logical = nonclient_metrics(dpi).lfCaptionFont;
    logical.lfWeight = FW_BOLD;
    logical.lfHeight = logical.lfHeight * 5 / 4;
    HFONT caption = CreateFontIndirectW(&logical);
    HGDIOBJ old = SelectObject(dc, caption);
    const int width = width_of(dc, title()) + 5 * system_metric(SM_CXSIZE, dpi);
    SelectObject(dc, old);
    DeleteObject(caption);
    return width;
}

void lay_out(HWND dialog, Box& box) {
    const UINT dpi = window_dpi(dialog);
    auto px = [dpi](int pixels) { return MulDiv(pixels, static_cast<int>(dpi), 96); };
    box.font = message_font(dpi);
    HDC dc = GetDC(dialog);
    const int title_room = title_width(dc, dpi);
    HGDIOBJ old = SelectObject(dc, box.font);
    const std::vector<std::wstring> lines = wrapped(box.text, dc, px(kWidestText));
    std::wstring shown;
    int text_width = std::max(px(ui::kMessageBoxLeastWidth), title_room - 2 * px(kMargin));
    for (const auto& line : lines) {
        shown += (shown.empty() ? L"" : L"\n") + line;
        text_width = std::max(text_width, width_of(dc, line) + 1);
    }
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    const int text_height = static_cast<int>(lines.size()) * metrics.tmHeight;

    const int margin = px(kMargin), button_width = px(kButtonWidth), button_height = px(kButtonHeight);
    HWND text = CreateWindowExW(0, L"STATIC", shown.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                margin, margin, text_width, text_height, dialog, nullptr, nullptr, nullptr);
    HWND ok = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                              margin + text_width - button_width, 2 * margin + text_height, button_width,
                              button_height, dialog, reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
    SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(box.font), FALSE);
    SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(box.font), FALSE);

    RECT frame{0, 0, text_width + 2 * margin, text_height + button_height + 3 * margin};
    adjust_frame(frame, kStyle, 0, dpi);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Centred over the owner, else over the screen's work area.
    RECT over{};
    if (HWND owner = GetWindow(dialog, GW_OWNER); !owner || !GetWindowRect(owner, &over))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
    SetWindowPos(dialog, nullptr, (over.left + over.right - width) / 2, (over.top + over.bottom - height) / 2,
                 width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetFocus(ok);
}

INT_PTR CALLBACK box_procedure(HWND dialog, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_INITDIALOG: lay_out(dialog, *reinterpret_cast<Box*>(l)); return FALSE;  // the focus is set
    case WM_COMMAND:
        if (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL) {
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// An in-memory dialog template: no controls, no menu, the standard class, the title.
std::vector<WORD> dialog_template() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 2, 0);
    reinterpret_cast<DLGTEMPLATE*>(words.data())->style = kStyle;
    const std::wstring shown = title();
    words.insert(words.end(), shown.c_str(), shown.c_str() + shown.size() + 1);
    return words;
}

}  // namespace

void show_message_box(HWND owner, const std::string& text) {
    Box box{widen(breakable(text))};
    const std::vector<WORD> form = dialog_template();
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(form.data()),
                            owner, box_procedure, reinterpret_cast<LPARAM>(&box));
    if (box.font) DeleteObject(box.font);
}

}  // namespace rt::win32
