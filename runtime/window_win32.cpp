// The window layer on plain Win32: a top-level window with STATIC labels
// and EDIT fields, pictures and the line painted with GDI, SetTimer for
// timers. Places scale with the monitor's DPI (twips * dpi / 1440).
#include "runtime/win32_text.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <exception>
#include <map>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "runtime/drawing.h"
#include "runtime/message_box.h"
#include "runtime/win32_message_box.h"
#include "runtime/window.h"

namespace rt::ui {
namespace {

using win32::narrow;
using win32::widen;

constexpr wchar_t kFormClass[] = L"TORVA_InOut.Form1";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL
// Narrowest letter width a substitute face may be set to so that a caption fits its box.
constexpr int kNarrowestStretch = 80;

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

int scaled(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch); }

COLORREF resolve(const Colour& colour) {
    switch (colour.role) {
    case Colour::Role::ButtonFace: return GetSysColor(COLOR_BTNFACE);
    case Colour::Role::ButtonText: return GetSysColor(COLOR_BTNTEXT);
    case Colour::Role::WindowBackground: return GetSysColor(COLOR_WINDOW);
    case Colour::Role::WindowText: return GetSysColor(COLOR_WINDOWTEXT);
    case Colour::Role::Rgb: break;
    }
    return RGB(red(colour.rgb), green(colour.rgb), blue(colour.rgb));
}

std::wstring window_text(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

int CALLBACK note_found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool installed(const std::wstring& face, BYTE charset) {
    LOGFONTW query{};
    query.lfCharSet = charset;
    wcsncpy(query.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &query, note_found, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

// The face itself when it is installed with the character set, else the
// first substitute that is; with none of them the font mapper chooses.
// Remembered, since every control and every change of DPI asks again.
std::wstring face_for(const Font& font) {
    static std::map<std::pair<std::string, BYTE>, std::wstring> chosen;
    const BYTE charset = static_cast<BYTE>(font.charset);
    auto [place, fresh] = chosen.try_emplace({font.face, charset}, widen(font.face));
    if (fresh && !installed(place->second, charset)) {
        for (const char* substitute : kSubstituteFaces)
            if (installed(widen(substitute), charset)) {
                place->second = widen(substitute);
                break;
            }
    }
    return place->second;
}

LOGFONTW logical_font(const Font& font, UINT dpi) {
    LOGFONTW logical{};
    logical.lfHeight = -std::lround(font.points * dpi / 72.0);
    logical.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logical.lfUnderline = font.underline;
    logical.lfCharSet = static_cast<BYTE>(font.charset);
    wcsncpy(logical.lfFaceName, face_for(font).c_str(), LF_FACESIZE - 1);
    return logical;
}

// A substitute face may be wider than the one the box was made for:
// narrow its letters until the text fits rather than clip it.
HFONT fitted_font(LOGFONTW logical, const std::wstring& text, int room) {
    HFONT font = CreateFontIndirectW(&logical);
    if (text.empty()) return font;
    HDC dc = GetDC(nullptr);
    const HGDIOBJ original = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const auto width = [&] {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    };
    for (int stretch = 99; stretch >= kNarrowestStretch && width() > room; --stretch) {
        SelectObject(dc, original);  // a font is deleted only when no DC holds it
        DeleteObject(font);
        logical.lfWidth = MulDiv(metrics.tmAveCharWidth, stretch, 100);
        font = CreateFontIndirectW(&logical);
        SelectObject(dc, font);
    }
    SelectObject(dc, original);
    ReleaseDC(nullptr, dc);
    return font;
}

// One control of the form and what the window system keeps for it.
struct Item {
    const Control* control;
    HWND window = nullptr;  // labels and text boxes
    HFONT font = nullptr;
    HBRUSH background = nullptr;
    Handler on_change{};
    std::wstring reported{};  // the text the change handler last saw
    HBITMAP bitmap = nullptr;
    Drawing drawing{};
};

void load_picture(Item& item) {
    const std::wstring name = widen(item.control->text);
    if (name.ends_with(L".svg")) {
        HRSRC found = FindResourceW(instance(), name.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
        HGLOBAL loaded = found ? LoadResource(instance(), found) : nullptr;
        if (loaded)
            item.drawing = read_drawing(std::string_view(static_cast<const char*>(LockResource(loaded)),
                                                         SizeofResource(instance(), found)));
    } else {
        item.bitmap = static_cast<HBITMAP>(LoadImageW(instance(), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
}

void paint_bitmap(HDC dc, HBITMAP bitmap, const RECT& box) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, source, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

// The drawing stretched to fill the box, as its viewBox says nothing of aspect.
void paint_drawing(HDC dc, const Drawing& drawing, const RECT& box) {
    if (drawing.width <= 0 || drawing.height <= 0) return;
    const double sx = (box.right - box.left) / drawing.width, sy = (box.bottom - box.top) / drawing.height;
    for (const Polygon& polygon : drawing.polygons) {
        std::vector<POINT> points;
        for (const Point& p : polygon.points)
            points.push_back({box.left + std::lround(p.x * sx), box.top + std::lround(p.y * sy)});
        const COLORREF colour = RGB(polygon.rgb >> 16 & 0xFF, polygon.rgb >> 8 & 0xFF, polygon.rgb & 0xFF);
        HBRUSH brush = CreateSolidBrush(colour);
        HPEN pen = CreatePen(PS_SOLID, 1, colour);
        HGDIOBJ old_brush = SelectObject(dc, brush), old_pen = SelectObject(dc, pen);
        ::Polygon(dc, points.data(), static_cast<int>(points.size()));
        SelectObject(dc, old_brush);
        SelectObject(dc, old_pen);
        DeleteObject(brush);
        DeleteObject(pen);
    }
}

class Win32Form final : public Form {
public:
    Win32Form(const Window& window, std::span<const Control> controls);
    ~Win32Form() override;

    std::string text(std::size_t control) const override { return narrow(window_text(items_.at(control).window)); }
    void set_text(std::size_t control, const std::string& text) override;
    void on_change(std::size_t control, Handler handler) override { items_.at(control).on_change = std::move(handler); }
    void name_after(std::size_t field, std::size_t label) override;
    void start_timer(const char* name, int interval_ms, Handler tick) override;
    void show() override;

    HWND handle() const { return window_; }
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);

private:
    bool handle(UINT message, WPARAM w, LPARAM l, LRESULT& result);
    void create_child(Item& item);
    void apply_dpi(UINT dpi, const RECT* suggested);
    void place(Item& item);
    void changed(std::size_t control);
    void paint();
    HWND first_focusable() const;
    Item* item_of(HWND child);

    Window layout_;
    std::vector<Item> items_;
    std::vector<Handler> timers_;
    HWND window_ = nullptr;
    HWND focus_ = nullptr;  // where the focus returns when the window is activated
    HBRUSH background_ = nullptr;
    UINT dpi_ = 96;
};

void register_class() {
    static const ATOM atom = [] {
        WNDCLASSEXW form{};
        form.cbSize = sizeof form;
        form.lpfnWndProc = Win32Form::procedure;
        form.hInstance = instance();
        form.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        form.lpszClassName = kFormClass;
        return RegisterClassExW(&form);
    }();
    (void)atom;
}

Win32Form::Win32Form(const Window& window, std::span<const Control> controls) : layout_(window) {
    register_class();
    background_ = CreateSolidBrush(resolve(layout_.background));
    for (const Control& control : controls) items_.push_back(Item{.control = &control});
    CreateWindowExW(0, kFormClass, widen(layout_.caption).c_str(), kFormStyle, 0, 0, 0, 0, nullptr, nullptr,
                    instance(), this);  // WM_NCCREATE sets window_
    if (!window_) throw std::runtime_error("The window could not be created");
    // Children in rising tab position: the dialog manager's Tab follows their order.
    std::vector<Item*> order;
    for (Item& item : items_) order.push_back(&item);
    std::stable_sort(order.begin(), order.end(), [](const Item* a, const Item* b) {
        return unsigned(a->control->tab) < unsigned(b->control->tab);  // kNoTab last
    });
    for (Item* item : order) create_child(*item);
    apply_dpi(GetDpiForWindow(window_), nullptr);
}

Win32Form::~Win32Form() {
    if (window_) DestroyWindow(window_);
    for (Item& item : items_) {
        if (item.font) DeleteObject(item.font);
        if (item.background) DeleteObject(item.background);
        if (item.bitmap) DeleteObject(item.bitmap);
    }
    DeleteObject(background_);
}

void Win32Form::create_child(Item& item) {
    const Control& c = *item.control;
    const int id = kFirstControlId + static_cast<int>(&item - items_.data());
    item.background = CreateSolidBrush(resolve(c.background));
    DWORD style = WS_CHILD | WS_VISIBLE | (c.enabled ? 0 : WS_DISABLED);
    switch (c.kind) {
    case Kind::Label:
        // Without SS_NOPREFIX "&&" shows as "&", as the stored captions mean.
        style |= (c.align == Align::Centre ? SS_CENTER : SS_LEFTNOWORDWRAP) | (c.border ? WS_BORDER : 0);
        item.window = CreateWindowExW(0, L"STATIC", widen(c.text).c_str(), style, 0, 0, 0, 0, window_,
                                      reinterpret_cast<HMENU>(INT_PTR(id)), instance(), nullptr);
        break;
    case Kind::TextBox:
        style |= ES_LEFT | ES_AUTOHSCROLL | (c.enabled ? WS_TABSTOP : 0);
        item.window = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", widen(c.text).c_str(), style, 0, 0, 0, 0, window_,
                                      reinterpret_cast<HMENU>(INT_PTR(id)), instance(), nullptr);
        SendMessageW(item.window, EM_SETLIMITTEXT, 0, 0);  // no length limit
        item.reported = widen(c.text);
        break;
    case Kind::PictureBox: load_picture(item); break;
    case Kind::Line: break;
    }
}

// Places the window, its children and their fonts for the DPI.
void Win32Form::apply_dpi(UINT dpi, const RECT* suggested) {
    dpi_ = dpi;
    RECT frame{scaled(layout_.left, dpi), scaled(layout_.top, dpi), scaled(layout_.left + layout_.width, dpi),
               scaled(layout_.top + layout_.height, dpi)};
    AdjustWindowRectExForDpi(&frame, kFormStyle, FALSE, 0, dpi);
    const POINT at = suggested ? POINT{suggested->left, suggested->top} : POINT{frame.left, frame.top};
    SetWindowPos(window_, nullptr, at.x, at.y, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (Item& item : items_) place(item);
    const int big = GetSystemMetricsForDpi(SM_CXICON, dpi), small = GetSystemMetricsForDpi(SM_CXSMICON, dpi);
    const std::wstring icon = widen(layout_.icon);
    SendMessageW(window_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadImageW(instance(), icon.c_str(), IMAGE_ICON, big, big, LR_SHARED)));
    SendMessageW(window_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadImageW(instance(), icon.c_str(), IMAGE_ICON, small, small, LR_SHARED)));
    InvalidateRect(window_, nullptr, TRUE);
}

void Win32Form::place(Item& item) {
    if (!item.window) return;
    const Control& c = *item.control;
    SetWindowPos(item.window, nullptr, scaled(c.left, dpi_), scaled(c.top, dpi_), scaled(c.width, dpi_),
                 scaled(c.height, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
    RECT inside{};
    GetClientRect(item.window, &inside);
    const Font& font = c.font.face ? c.font : layout_.font;
    const std::wstring shown = c.kind == Kind::Label ? widen(shown_caption(c.text)) : std::wstring();
    HFONT fitted = fitted_font(logical_font(font, dpi_), shown, inside.right);
    SendMessageW(item.window, WM_SETFONT, reinterpret_cast<WPARAM>(fitted), TRUE);
    if (item.font) DeleteObject(item.font);
    item.font = fitted;
}

void Win32Form::set_text(std::size_t control, const std::string& text) {
    Item& item = items_.at(control);
    const std::wstring wide = widen(text);
    if (wide == window_text(item.window)) return;
    SetWindowTextW(item.window, wide.c_str());
    changed(control);  // at once, whether or not EN_CHANGE has already run it
}

// Runs the field's handler when its text differs from what it last saw.
void Win32Form::changed(std::size_t control) {
    Item& item = items_.at(control);
    std::wstring now = window_text(item.window);
    if (now == item.reported) return;
    item.reported = std::move(now);
    if (item.on_change) invoke(item.on_change);
}

// Screen readers name a field after the label just before it among its siblings.
void Win32Form::name_after(std::size_t field, std::size_t label) {
    HWND before = GetWindow(items_.at(field).window, GW_HWNDPREV);
    HWND label_window = items_.at(label).window;
    if (before == label_window) return;
    SetWindowPos(label_window, before ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
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
            if (item.bitmap) paint_bitmap(dc, item.bitmap, box);
            else paint_drawing(dc, item.drawing, box);
        } else if (c.kind == Kind::Line) {
            // From one end to the other, both ends included, one pixel at 96 DPI.
            const int one = kTwipsPerInch / 96;
            RECT line{scaled(std::min(c.left, c.width), dpi_), scaled(std::min(c.top, c.height), dpi_),
                      scaled(std::max(c.left, c.width) + one, dpi_), scaled(std::max(c.top, c.height) + one, dpi_)};
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
        if (w >= 1 && w <= timers_.size()) invoke(timers_[w - 1]);
        return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (Item* item = item_of(reinterpret_cast<HWND>(l))) {
            HDC dc = reinterpret_cast<HDC>(w);
            SetTextColor(dc, resolve(item->control->foreground));
            SetBkColor(dc, resolve(item->control->background));
            result = reinterpret_cast<LRESULT>(item->background);
            return true;
        }
        return false;
    case WM_ERASEBKGND: result = 1; return true;
    case WM_PAINT: paint(); return true;
    case WM_ACTIVATE:
        if (LOWORD(w) == WA_INACTIVE) {
            if (HWND focus = GetFocus(); focus && IsChild(window_, focus)) focus_ = focus;
        } else if (focus_ || (focus_ = first_focusable())) {
            SetFocus(focus_);
        }
        return true;
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
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    LRESULT result = 0;
    if (form && form->handle(message, w, l, result)) return result;
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return DefWindowProcW(window, message, w, l);
}

}  // namespace

std::unique_ptr<Form> create_form(const Window& window, std::span<const Control> controls) {
    return std::make_unique<Win32Form>(window, controls);
}

int start(int, char**, const std::function<std::unique_ptr<Program>()>& load) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    std::unique_ptr<Program> program;
    try {
        program = load();
    } catch (const std::exception& error) {
        win32::show_message_box(nullptr, error.what());
        return 1;
    }
    HWND window = static_cast<Win32Form&>(program->form()).handle();
    const MessageBoxHandler previous = set_message_box_handler([window](const std::string& text) {
        win32::show_message_box(IsWindow(window) ? window : nullptr, text);
    });
    program->form().show();
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message)) continue;  // Tab between the fields
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    set_message_box_handler(previous);
    return static_cast<int>(message.wParam);
}

}  // namespace rt::ui
