// The window layer on plain Win32: a top-level window with STATIC labels
// and EDIT fields, pictures and the line painted with GDI, SetTimer for
// timers. Places scale with the monitor's DPI (twips * dpi / 1440).
// Screen readers get the system's objects for them, with what the form
// says otherwise (accessible.cpp).
#include "runtime/ui/win32/win32.h"  // windows.h, which commctrl.h needs first

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "runtime/os/win32/win32.h"
#include "runtime/ui/win32/win32.h"

namespace rt::win32 {
namespace {

using ui::Align;
using ui::Control;
using ui::Font;
using ui::Handler;
using ui::Kind;
using ui::kTwipsPerInch;
using ui::Window;

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

int scaled(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch); }

COLORREF colorref(std::uint32_t rgb) { return RGB(ui::red(rgb), ui::green(rgb), ui::blue(rgb)); }

std::uint32_t system_colour(int index) {
    const COLORREF c = GetSysColor(index);
    return 0xFF000000u | std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

// The desktop's named colours, and whether the user has high contrast on.
// RT_WINDOWS_HIGH_CONTRAST=1 asks for it as if it were, for testing under
// Wine, which never reports it on.
ui::Scheme desktop_scheme() {
    HIGHCONTRASTW high{};
    high.cbSize = sizeof high;
    const bool on = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof high, &high, 0) &&
                    (high.dwFlags & HCF_HIGHCONTRASTON) != 0;
    wchar_t asked[2] = {};
    const bool asked_on =
        GetEnvironmentVariableW(L"RT_WINDOWS_HIGH_CONTRAST", asked, 2) == 1 && asked[0] == L'1';
    ui::Scheme scheme{};
    scheme.colours.button_face = system_colour(COLOR_BTNFACE);
    scheme.colours.button_text = system_colour(COLOR_BTNTEXT);
    scheme.colours.window = system_colour(COLOR_WINDOW);
    scheme.colours.window_text = system_colour(COLOR_WINDOWTEXT);
    scheme.high_contrast = on || asked_on;
    return scheme;
}

std::wstring window_text(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The text without the blanks at its ends.
std::wstring trimmed(const std::string& text) {
    const std::wstring wide = widen(text);
    const auto first = wide.find_first_not_of(L" \t"), last = wide.find_last_not_of(L" \t");
    return first == std::wstring::npos ? std::wstring() : wide.substr(first, last - first + 1);
}

// One control of the form and what the window system keeps for it.
struct Item {
    const Control* control;
    HWND window = nullptr;  // labels and text boxes
    HFONT font = nullptr;
    HBRUSH background = nullptr;
    Handler on_change{};
    std::wstring description{};            // for screen readers
    std::wstring reported{};               // the text the change handler last saw
    std::optional<std::wstring> pasted{};  // the field's text while a paste waits on the handler
    Picture picture{};
};

class Win32Form final : public ui::Form {
public:
    Win32Form(const Window& window, std::span<const Control> controls);
    ~Win32Form() override;

    std::string text(std::size_t control) const override { return narrow(current_text(field(control))); }
    void set_text(std::size_t control, const std::string& text) override;
    void on_change(std::size_t control, Handler handler) override {
        field(control).on_change = std::move(handler);
    }
    void name_after(std::size_t field, std::size_t label) override;
    void describe_with(std::size_t field, std::size_t label) override;
    void start_timer(const char* name, int interval_ms, Handler tick) override;
    void show() override;

    HWND handle() const { return window_; }
    HWND child(std::size_t control) const { return items_.at(control).window; }
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    static LRESULT CALLBACK field_procedure(HWND field, UINT message, WPARAM w, LPARAM l, UINT_PTR control,
                                            DWORD_PTR form);

private:
    bool handle(UINT message, WPARAM w, LPARAM l, LRESULT& result);
    bool handle_field(std::size_t control, UINT message, WPARAM w, LPARAM l, LRESULT& result);
    void create_child(Item& item);
    void make_brushes();
    void colours_changed();
    void apply_dpi(UINT dpi, const RECT* suggested);
    void load_icons(UINT dpi);
    void place(Item& item);
    void changed(std::size_t control);
    bool paste(std::size_t control);
    Item& field(std::size_t control) {
        ui::check_field(controls_, control);
        return items_[control];
    }
    const Item& field(std::size_t control) const { return const_cast<Win32Form*>(this)->field(control); }
    static std::wstring current_text(const Item& item) {
        return item.pasted ? *item.pasted : window_text(item.window);
    }
    void paint();
    HWND first_focusable() const;
    Item* item_of(HWND child);

    AccessibleObjects accessible_;  // first in, last out
    Window layout_;
    std::span<const Control> controls_;
    std::vector<Item> items_;
    std::vector<Handler> timers_;
    HWND window_ = nullptr;
    HWND focus_ = nullptr;  // where the focus returns when the window is activated
    HBRUSH background_ = nullptr;
    ui::Scheme scheme_{};
    HICON icons_[2] = {};  // ICON_SMALL, ICON_BIG
    UINT dpi_ = 96;
};

// The window class "Application.Form", registered once per name.
std::wstring register_class(const Window& window) {
    static std::set<std::wstring> registered;
    std::wstring name = widen(ui::application().title) + L"." + widen(window.name);
    if (registered.insert(name).second) {
        WNDCLASSEXW form{};
        form.cbSize = sizeof form;
        form.lpfnWndProc = Win32Form::procedure;
        form.hInstance = instance();
        form.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        form.lpszClassName = name.c_str();
        RegisterClassExW(&form);
    }
    return name;
}

Win32Form::Win32Form(const Window& window, std::span<const Control> controls)
    : layout_(window), controls_(controls) {
    const std::wstring form_class = register_class(window);
    for (const Control& control : controls) items_.push_back(Item{.control = &control});
    make_brushes();
    CreateWindowExW(0, form_class.c_str(), widen(layout_.caption).c_str(), kFormStyle, 0, 0, 0, 0, nullptr,
                    nullptr, instance(), this);  // WM_NCCREATE sets window_
    if (!window_) throw std::runtime_error("The window could not be created");
    // Children in tab order: the dialog manager's Tab follows their order.
    for (std::size_t i : ui::tab_order(controls)) create_child(items_[i]);
    apply_dpi(window_dpi(window_), nullptr);
}

Win32Form::~Win32Form() {
    if (window_) DestroyWindow(window_);
    for (Item& item : items_) {
        if (item.font) DeleteObject(item.font);
        if (item.background) DeleteObject(item.background);
        free_picture(item.picture);
    }
    DeleteObject(background_);
    for (HICON icon : icons_)
        if (icon) DestroyIcon(icon);
}

void Win32Form::create_child(Item& item) {
    const Control& c = *item.control;
    const int id = kFirstControlId + static_cast<int>(&item - items_.data());
    // A text box that is not enabled is a read-only value, itself enabled.
    DWORD style = WS_CHILD | WS_VISIBLE | (c.enabled || c.kind == Kind::TextBox ? 0 : WS_DISABLED);
    switch (c.kind) {
    case Kind::Label:
        // Without SS_NOPREFIX "&&" shows as "&", as the stored captions mean.
        style |= (c.align == Align::Centre ? SS_CENTER : SS_LEFTNOWORDWRAP) | (c.border ? WS_BORDER : 0);
        item.window = CreateWindowExW(0, L"STATIC", widen(c.text).c_str(), style, 0, 0, 0, 0, window_,
                                      reinterpret_cast<HMENU>(INT_PTR(id)), instance(), nullptr);
        break;
    case Kind::TextBox:
        style |=
            ES_LEFT | ES_AUTOHSCROLL | (ui::takes_focus(c) ? WS_TABSTOP : 0) | (c.enabled ? 0 : ES_READONLY);
        item.window = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", widen(c.text).c_str(), style, 0, 0, 0, 0,
                                      window_, reinterpret_cast<HMENU>(INT_PTR(id)), instance(), nullptr);
        SendMessageW(item.window, EM_SETLIMITTEXT, 0, 0);  // no length limit
        item.reported = widen(c.text);
        SetWindowSubclass(item.window, field_procedure, UINT_PTR(&item - items_.data()),
                          reinterpret_cast<DWORD_PTR>(this));
        break;
    case Kind::PictureBox: item.picture = load_picture(c.text); break;
    case Kind::Line: break;
    }
}

// The brushes of the form and its controls, in the system's colours of now.
void Win32Form::make_brushes() {
    scheme_ = desktop_scheme();
    if (background_) DeleteObject(background_);
    background_ = CreateSolidBrush(colorref(ui::window_colour(layout_, scheme_)));
    for (Item& item : items_) {
        if (item.background) DeleteObject(item.background);
        item.background = CreateSolidBrush(colorref(ui::paint(*item.control, scheme_).back));
    }
}

// High contrast on or off, another theme or colour scheme: the brushes
// made from GetSysColor are made again, and the controls, which the
// top-level window tells, are drawn again with them.
void Win32Form::colours_changed() {
    make_brushes();
    for (const Item& item : items_)
        if (item.window) SendMessageW(item.window, WM_SYSCOLORCHANGE, 0, 0);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Places the window, its children and their fonts for the DPI.
void Win32Form::apply_dpi(UINT dpi, const RECT* suggested) {
    dpi_ = dpi;
    RECT frame{scaled(layout_.left, dpi), scaled(layout_.top, dpi), scaled(layout_.left + layout_.width, dpi),
               scaled(layout_.top + layout_.height, dpi)};
    adjust_frame(frame, kFormStyle, 0, dpi);
    const POINT at = suggested ? POINT{suggested->left, suggested->top} : POINT{frame.left, frame.top};
    SetWindowPos(window_, nullptr, at.x, at.y, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (Item& item : items_) place(item);
    load_icons(dpi);
    InvalidateRect(window_, nullptr, TRUE);
}

// The small and big icon at the sizes the DPI wants, each from the image
// of that size, or the nearest, that the resource has. Not LR_SHARED,
// which would give back the size first loaded.
void Win32Form::load_icons(UINT dpi) {
    const std::wstring name = widen(layout_.icon);
    for (const auto& [which, metric] : {std::pair{ICON_SMALL, SM_CXSMICON}, std::pair{ICON_BIG, SM_CXICON}}) {
        const int side = system_metric(metric, dpi);
        HICON icon = static_cast<HICON>(LoadImageW(instance(), name.c_str(), IMAGE_ICON, side, side, 0));
        SendMessageW(window_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        if (icons_[which]) DestroyIcon(icons_[which]);
        icons_[which] = icon;
    }
}

void Win32Form::place(Item& item) {
    if (!item.window) return;
    const Control& c = *item.control;
    SetWindowPos(item.window, nullptr, scaled(c.left, dpi_), scaled(c.top, dpi_), scaled(c.width, dpi_),
                 scaled(c.height, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
    RECT inside{};
    GetClientRect(item.window, &inside);
    const Font& font = ui::font_of(c, layout_);
    const std::wstring shown = c.kind == Kind::Label ? widen(ui::shown_caption(c.text)) : std::wstring();
    HFONT fitted = fitted_font(logical_font(font, dpi_), shown, inside.right);
    SendMessageW(item.window, WM_SETFONT, reinterpret_cast<WPARAM>(fitted), TRUE);
    if (item.font) DeleteObject(item.font);
    item.font = fitted;
}

void Win32Form::set_text(std::size_t control, const std::string& text) {
    Item& item = field(control);
    const std::wstring wide = widen(text);
    if (wide == current_text(item)) return;
    item.pasted.reset();  // a waiting paste is overwritten
    SetWindowTextW(item.window, wide.c_str());
    changed(control);  // at once, whether or not EN_CHANGE has already run it
}

// Runs the field's handler when its text differs from what it last saw.
void Win32Form::changed(std::size_t control) {
    Item& item = items_.at(control);
    std::wstring now = current_text(item);
    if (now == item.reported) return;
    item.reported = std::move(now);
    if (item.on_change) ui::invoke(item.on_change);
}

// Wine's EDIT control takes time that grows with the square of a run of
// digits to lay it out (its bidirectional-text pass): 16 s for 100 kB. So
// the change handler sees a pasted text first, and the field lays it out
// only when the handler has left it there; a rejected paste, which the
// handler empties, is never laid out. The field ends as a paste leaves it.
bool Win32Form::paste(std::size_t control) {
    Item& item = items_.at(control);
    const std::optional<std::wstring> line = clipboard_line(window_);
    if (!line) return false;
    DWORD start = 0, end = 0;
    SendMessageW(item.window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring before = window_text(item.window);
    item.pasted = before.substr(0, start) + *line + before.substr(std::min<std::size_t>(end, before.size()));
    changed(control);
    if (!item.pasted) return true;  // the handler has set the field's text
    item.pasted.reset();
    // As the control pastes: over the selection, undoable, the caret after it.
    SendMessageW(item.window, EM_SETSEL, start, end);
    SendMessageW(item.window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line->c_str()));
    return true;
}

LRESULT CALLBACK Win32Form::field_procedure(HWND field, UINT message, WPARAM w, LPARAM l, UINT_PTR control,
                                            DWORD_PTR form) {
    LRESULT result = 0;
    if (reinterpret_cast<Win32Form*>(form)->handle_field(control, message, w, l, result)) return result;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(field, field_procedure, control);
    return DefSubclassProc(field, message, w, l);
}

// A typed field takes a paste its own way; a read-only one keeps the focus
// and the mouse out (no caret, no selection). Screen readers get the
// field's object with its description.
bool Win32Form::handle_field(std::size_t control, UINT message, WPARAM w, LPARAM l, LRESULT& result) {
    const Item& item = items_[control];
    const bool read_only = !item.control->enabled;
    switch (message) {
    case WM_PASTE: return !read_only && paste(control);
    case WM_SETFOCUS:
        if (!read_only) return false;
        SetFocus(focus_ && focus_ != item.window ? focus_ : first_focusable());
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU: return read_only;
    case WM_GETOBJECT:
        if (asked_object(l) != OBJID_CLIENT) return false;
        result = accessible_.answer(item.window, w, OBJID_CLIENT, {{}, item.description, read_only});
        return result != 0;
    }
    return false;
}

// Screen readers name a field after the label just before it among its siblings.
void Win32Form::name_after(std::size_t field, std::size_t label) {
    HWND before = GetWindow(items_.at(field).window, GW_HWNDPREV);
    HWND label_window = items_.at(label).window;
    if (before == label_window) return;
    SetWindowPos(label_window, before ? before : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Screen readers speak the field's description after its name.
void Win32Form::describe_with(std::size_t field, std::size_t label) {
    items_.at(field).description = trimmed(ui::shown_caption(items_.at(label).control->text));
}

void Win32Form::start_timer(const char*, int interval_ms, Handler tick) {
    timers_.push_back(std::move(tick));
    SetTimer(window_, timers_.size(), static_cast<UINT>(interval_ms), nullptr);
}

void Win32Form::show() {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    focus_ = first_focusable();
    if (focus_) SetFocus(focus_);
}

HWND Win32Form::first_focusable() const {
    HWND first = GetNextDlgTabItem(window_, nullptr, FALSE);
    return first && first != window_ ? first : nullptr;
}

Item* Win32Form::item_of(HWND child) {
    for (Item& item : items_)
        if (item.window == child) return &item;
    return nullptr;
}

void Win32Form::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    FillRect(dc, &ps.rcPaint, background_);
    for (const Item& item : items_) {
        const Control& c = *item.control;
        RECT box{scaled(c.left, dpi_), scaled(c.top, dpi_), scaled(c.left + c.width, dpi_),
                 scaled(c.top + c.height, dpi_)};
        if (c.kind == Kind::PictureBox) {
            FillRect(dc, &box, item.background);
            paint_picture(dc, item.picture, box);
        } else if (c.kind == Kind::Line) {
            // From one end to the other, both ends included, one pixel at 96 DPI.
            const int one = kTwipsPerInch / 96;
            RECT line{scaled(std::min(c.left, c.width), dpi_), scaled(std::min(c.top, c.height), dpi_),
                      scaled(std::max(c.left, c.width) + one, dpi_),
                      scaled(std::max(c.top, c.height) + one, dpi_)};
            FillRect(dc, &line, item.background);
        }
    }
    EndPaint(window_, &ps);
}

bool Win32Form::handle(UINT message, WPARAM w, LPARAM l, LRESULT& result) {
    result = 0;
    switch (message) {
    case WM_COMMAND:
        if (const std::size_t control = LOWORD(w) - std::size_t(kFirstControlId);
            HIWORD(w) == EN_CHANGE && LOWORD(w) >= kFirstControlId && control < items_.size())
            changed(control);
        return true;
    case WM_TIMER:
        if (w >= 1 && w <= timers_.size()) ui::invoke(timers_[w - 1]);
        return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (Item* item = item_of(reinterpret_cast<HWND>(l))) {
            HDC dc = reinterpret_cast<HDC>(w);
            const ui::Paint paint = ui::paint(*item->control, scheme_);
            SetTextColor(dc, colorref(paint.text));
            SetBkColor(dc, colorref(paint.back));
            result = reinterpret_cast<LRESULT>(item->background);
            return true;
        }
        return false;
    case WM_GETOBJECT:
        // The window's name without the caption's leading blanks, for the
        // frame (OBJID_WINDOW) and its inside (OBJID_CLIENT) alike.
        if (const LONG asked = asked_object(l); asked == OBJID_WINDOW || asked == OBJID_CLIENT)
            result = accessible_.answer(window_, w, asked, {trimmed(layout_.caption), {}, false});
        return result != 0;
    case WM_ERASEBKGND: result = 1; return true;
    case WM_PAINT: paint(); return true;
    case WM_ACTIVATE:
        if (LOWORD(w) == WA_INACTIVE) {
            if (HWND focus = GetFocus(); focus && IsChild(window_, focus)) focus_ = focus;
        } else if (focus_ || (focus_ = first_focusable())) {
            SetFocus(focus_);
        }
        return true;
    case WM_SETTINGCHANGE:
        if (w == SPI_SETHIGHCONTRAST) colours_changed();
        return false;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED: colours_changed(); return true;
    case WM_DPICHANGED: apply_dpi(HIWORD(w), reinterpret_cast<const RECT*>(l)); return true;
    case WM_DESTROY: PostQuitMessage(0); return true;
    case WM_NCDESTROY: window_ = nullptr; return false;
    }
    return false;
}

LRESULT CALLBACK Win32Form::procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        if (const auto enable = system_dpi_functions().enable_non_client_dpi_scaling) enable(window);
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    LRESULT result = 0;
    if (form && form->handle(message, w, l, result)) return result;
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return DefWindowProcW(window, message, w, l);
}

}  // namespace

HWND window_of(ui::Form& form) { return static_cast<Win32Form&>(form).handle(); }

HWND control_window(ui::Form& form, std::size_t control) {
    return static_cast<Win32Form&>(form).child(control);
}

void serve(HWND form, MSG& message) {
    if (IsDialogMessageW(form, &message)) return;  // Tab between the fields
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace rt::win32

namespace rt::ui {

std::unique_ptr<Form> create_form(const Window& window, std::span<const Control> controls) {
    return std::make_unique<win32::Win32Form>(window, controls);
}

}  // namespace rt::ui
