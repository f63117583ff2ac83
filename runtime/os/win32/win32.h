// The Windows realisation's own: UTF-8 and the UTF-16 of the Windows API,
// and the system's description of an error, for the runtime's Windows
// sources (here and in ui/win32/).
#pragma once

#include <string>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace rt::win32 {

inline std::wstring widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

inline std::string narrow(const wchar_t* text, std::size_t length) {
    if (length == 0) return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), n, nullptr, nullptr);
    return utf8;
}

inline std::string narrow(const std::wstring& text) { return narrow(text.data(), text.size()); }

// A function looked up at run time in a module (null when either is
// missing). GetProcAddress gives a generic pointer; the caller names the
// real type.
template <class Function>
void look_up(Function& function, HMODULE module, const char* name) {
    function =
        module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The system's own words for an error code, without the trailing line break.
inline std::string describe(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    while (length > 0 &&
           (buffer[length - 1] == L'\n' || buffer[length - 1] == L'\r' || buffer[length - 1] == L' '))
        --length;
    std::string text = length > 0 ? narrow(buffer, length) : "Error " + std::to_string(code);
    LocalFree(buffer);
    return text;
}

}  // namespace rt::win32
