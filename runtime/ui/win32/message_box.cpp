// A small dialog of our own rather than MessageBoxW, which under Wine makes
// the box too narrow for its title and cuts long texts.
#include "runtime/ui/win32/win32.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/text.h"
#include "runtime/ui/shared.h"

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
    HWND shown = nullptr, ok = nullptr;
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

// Sizes the box, its text and its button for the DPI; the caller places it.
SIZE lay_out(HWND dialog, Box& box, UINT dpi) {
    auto px = [dpi](int pixels) { return MulDiv(pixels, static_cast<int>(dpi), 96); };
    if (box.font) DeleteObject(box.font);
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
    SetWindowTextW(box.shown, shown.c_str());
    SetWindowPos(box.shown, nullptr, margin, margin, text_width, text_height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(box.ok, nullptr, margin + text_width - button_width, 2 * margin + text_height, button_width,
                 button_height, SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND child : {box.shown, box.ok})
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(box.font), TRUE);

    RECT frame{0, 0, text_width + 2 * margin, text_height + button_height + 3 * margin};
    adjust_frame(frame, kStyle, 0, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// The dialog manager of 10 1703 and later would rescale the box and its
// controls with the template's font; they are laid out here instead.
void keep_from_dialog_manager(HWND dialog, const Box& box) {
    constexpr int kDisableAll = 1;                  // DDC_DISABLE_ALL
    constexpr int kDisableFontAndRelayout = 1 | 2;  // DCDC_DISABLE_FONT_UPDATE, DCDC_DISABLE_RELAYOUT
    const DpiFunctions& functions = system_dpi_functions();
    if (functions.set_dialog_dpi_change_behavior)
        functions.set_dialog_dpi_change_behavior(dialog, kDisableAll, kDisableAll);
    if (functions.set_dialog_control_dpi_change_behavior)
        for (HWND child : {box.shown, box.ok})
            functions.set_dialog_control_dpi_change_behavior(child, kDisableFontAndRelayout,
                                                             kDisableFontAndRelayout);
}

// Laid out at the DPI of its owner's monitor, where it is shown, and
// centred over the owner, else over the screen's work area.
void open(HWND dialog, Box& box) {
    box.shown = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                                dialog, nullptr, nullptr, nullptr);
    box.ok = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0,
                             0, 0, dialog, reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
    keep_from_dialog_manager(dialog, box);
    HWND owner = GetWindow(dialog, GW_OWNER);
    const SIZE size = lay_out(dialog, box, window_dpi(owner ? owner : dialog));
    RECT over{};
    if (!owner || !GetWindowRect(owner, &over)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
    SetWindowPos(dialog, nullptr, (over.left + over.right - size.cx) / 2,
                 (over.top + over.bottom - size.cy) / 2, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    SetFocus(box.ok);
}

INT_PTR CALLBACK box_procedure(HWND dialog, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, l);
        open(dialog, *reinterpret_cast<Box*>(l));
        return FALSE;  // the focus is set
    case WM_DPICHANGED: {
        // Moved to a monitor of another DPI: laid out anew where the system suggests.
        const SIZE size =
            lay_out(dialog, *reinterpret_cast<Box*>(GetWindowLongPtrW(dialog, DWLP_USER)), HIWORD(w));
        const RECT* suggested = reinterpret_cast<const RECT*>(l);
        SetWindowPos(dialog, nullptr, suggested->left, suggested->top, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL) {
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// An in-memory dialog template: no controls, no menu, the standard class,
// the title, and with DS_SETFONT a font of its own, so that the dialog
// manager never falls back to the System font.
std::vector<WORD> dialog_template() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 2, 0);
    reinterpret_cast<DLGTEMPLATE*>(words.data())->style = kStyle | DS_SETFONT;
    const std::wstring shown = title();
    words.insert(words.end(), shown.c_str(), shown.c_str() + shown.size() + 1);
    constexpr std::wstring_view kFace = L"MS Shell Dlg";
    words.push_back(8);  // points
    words.insert(words.end(), kFace.begin(), kFace.end());
    words.push_back(0);
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
