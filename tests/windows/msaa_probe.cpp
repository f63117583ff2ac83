// Reads a running program's accessible objects from outside its process,
// as a screen reader does: msaa-probe.exe [CLASS [SECONDS]]. Waits up to
// SECONDS (10) for a top-level window of the class (TORVA_InOut.Form1),
// then prints one UTF-8 line per object, fields separated by tabs: the
// window's frame (OBJID_WINDOW), its inside (OBJID_CLIENT), and the inside
// of each child window; then which further interfaces the inside answers
// for. Exits 1 when no such window appears, 2 when its objects do not read.
#include <fcntl.h>
#include <io.h>
#include <oleacc.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Flag {
    long bit;
    const char* name;
};

constexpr Flag kStates[] = {
    {STATE_SYSTEM_UNAVAILABLE, "UNAVAILABLE"}, {STATE_SYSTEM_SELECTED, "SELECTED"},
    {STATE_SYSTEM_FOCUSED, "FOCUSED"},         {STATE_SYSTEM_PRESSED, "PRESSED"},
    {STATE_SYSTEM_CHECKED, "CHECKED"},         {STATE_SYSTEM_READONLY, "READONLY"},
    {STATE_SYSTEM_HOTTRACKED, "HOTTRACKED"},   {STATE_SYSTEM_DEFAULT, "DEFAULT"},
    {STATE_SYSTEM_INVISIBLE, "INVISIBLE"},     {STATE_SYSTEM_OFFSCREEN, "OFFSCREEN"},
    {STATE_SYSTEM_SIZEABLE, "SIZEABLE"},       {STATE_SYSTEM_MOVEABLE, "MOVEABLE"},
    {STATE_SYSTEM_FOCUSABLE, "FOCUSABLE"},     {STATE_SYSTEM_SELECTABLE, "SELECTABLE"},
    {STATE_SYSTEM_LINKED, "LINKED"},           {STATE_SYSTEM_PROTECTED, "PROTECTED"},
    {STATE_SYSTEM_HASPOPUP, "HASPOPUP"},
};

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

// A text property of the object itself; empty where it has none.
template <typename Get>
std::string text_of(Get get) {
    BSTR text = nullptr;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    std::string out;
    if (SUCCEEDED(get(self, &text)) && text) out = utf8(std::wstring(text, SysStringLen(text)));
    SysFreeString(text);
    return out;
}

std::string role_of(IAccessible* object) {
    VARIANT self{}, role{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    if (FAILED(object->get_accRole(self, &role)) || role.vt != VT_I4) return "?";
    wchar_t text[128] = {};
    GetRoleTextW(DWORD(role.lVal), text, 128);
    return utf8(text);
}

std::string states_of(IAccessible* object) {
    VARIANT self{}, state{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    if (FAILED(object->get_accState(self, &state)) || state.vt != VT_I4) return "?";
    std::string out;
    for (const Flag& flag : kStates)
        if (state.lVal & flag.bit) out += (out.empty() ? "" : "|") + std::string(flag.name);
    return out;
}

// One line for the object of the window; false when there is none.
bool print(HWND window, LONG id, const std::string& what) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, DWORD(id), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
        return false;
    const auto name = text_of([&](VARIANT self, BSTR* out) { return object->get_accName(self, out); });
    const auto value = text_of([&](VARIANT self, BSTR* out) { return object->get_accValue(self, out); });
    const auto description =
        text_of([&](VARIANT self, BSTR* out) { return object->get_accDescription(self, out); });
    std::printf("%s\trole=%s\tname=%s\tvalue=%s\tdescription=%s\tstate=%s\n", what.c_str(),
                role_of(object).c_str(), name.c_str(), value.c_str(), description.c_str(),
                states_of(object).c_str());
    object->Release();
    return true;
}

// Whether the window's inside answers for the interface, and for
// IOleWindow whether it names the window.
void print_interfaces(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
        return;
    IOleWindow* ole = nullptr;
    HWND named = nullptr;
    if (SUCCEEDED(object->QueryInterface(__uuidof(IOleWindow), reinterpret_cast<void**>(&ole)))) {
        ole->GetWindow(&named);
        ole->Release();
    }
    IEnumVARIANT* children = nullptr;
    const bool enumerates =
        SUCCEEDED(object->QueryInterface(__uuidof(IEnumVARIANT), reinterpret_cast<void**>(&children)));
    if (children) children->Release();
    std::printf("interfaces\tIOleWindow=%s\tIEnumVARIANT=%s\n", named == window ? "window" : "no",
                enumerates ? "yes" : "no");
    object->Release();
}

BOOL CALLBACK note_child(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // UTF-8 bytes and "\n" as they are
    const wchar_t* form_class = argc > 1 ? argv[1] : L"TORVA_InOut.Form1";
    const int seconds = argc > 2 ? _wtoi(argv[2]) : 10;
    HWND window = nullptr;
    for (int waited = 0; !(window = FindWindowW(form_class, nullptr)) && waited < seconds * 10; ++waited)
        Sleep(100);
    if (!window) {
        std::fprintf(stderr, "msaa-probe: no window of class %s\n", utf8(form_class).c_str());
        return 1;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool read = print(window, OBJID_WINDOW, "window") && print(window, OBJID_CLIENT, "client");
    std::vector<HWND> children;
    EnumChildWindows(window, note_child, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        read = print(child, OBJID_CLIENT, utf8(name)) && read;
    }
    print_interfaces(window);
    CoUninitialize();
    return read ? 0 : 2;
}
