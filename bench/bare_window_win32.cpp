// The floor for the Windows panel's start-up: a bare Win32 window of the
// panel's client size with eight labels, four fields and a 100 ms timer
// that reads one byte of the port file, and nothing else.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace {

HWND fields[4];

std::wstring port_file() {
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    return std::wstring(folder) + L"emu_port.dat";
}

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    static const std::wstring path = port_file();
    unsigned char byte = 0;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        OVERLAPPED at{};
        at.Offset = 15;
        DWORD done = 0;
        if (!ReadFile(file, &byte, 1, &done, &at) || done != 1) byte = 0;
        CloseHandle(file);
    }
    SetWindowTextW(fields[2], std::to_wstring(byte).c_str());
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, w, l);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = procedure;
    form.hInstance = instance;
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = L"bare window";
    RegisterClassExW(&form);
    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, 393, 290};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    HWND window =
        CreateWindowExW(0, L"bare window", L"bare window", kStyle, 103, 36, frame.right - frame.left,
                        frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    for (int i = 0; i < 8; ++i)
        CreateWindowExW(0, L"STATIC", (L"Label " + std::to_wstring(i)).c_str(), WS_CHILD | WS_VISIBLE, 15,
                        10 + 34 * i, 240, 20, window, nullptr, instance, nullptr);
    for (int i = 0; i < 4; ++i)
        fields[i] = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                                    280, 65 + 32 * i, 88, 22, window, nullptr, instance, nullptr);
    SetTimer(window, 1, 100, tick);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
