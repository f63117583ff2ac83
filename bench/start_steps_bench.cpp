// The steps of the Win32 panel's start whose cost may depend on what the
// machine has installed, each timed alone, in ms: the faces, the fonts the
// window and the message box realise, the DPI functions and the icons.
// The first run of each pays for what the system loads on first use.
// make bench-windows runs it under Wine with the machine's fonts and, when
// asked, with many more.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "runtime/ui/win32/win32.h"

namespace {

using rt::ui::Charset;
using rt::ui::Font;
namespace win32 = rt::win32;

// The first run, which pays for what the system loads on first use, and
// the median of the runs after it.
struct Times {
    double first, median;
};

Times times_of(const std::function<void()>& step, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        step();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    const double first = times.front();
    std::sort(times.begin() + 1, times.end());
    return {first, times[1 + (times.size() - 1) / 2]};
}

// A font realised as drawing it would: created, selected, measured.
void realise(const LOGFONTW& logical) {
    HFONT font = CreateFontIndirectW(&logical);
    HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
}

int CALLBACK count_face(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return 1;
}

int every_face() {
    int count = 0;
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &all, count_face, reinterpret_cast<LPARAM>(&count), 0);
    ReleaseDC(nullptr, dc);
    return count;
}

}  // namespace

// start_steps_bench PANEL.exe (whose icon is loaded as the panel loads it)
int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: start_steps_bench PANEL.exe\n");
        return 2;
    }
    HMODULE panel =
        LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!panel) {
        std::fprintf(stderr, "start_steps_bench: cannot open %ls\n", argv[1]);
        return 1;
    }
    const Font fonts[] = {{"MS Sans Serif", 8.25, true, false, Charset::Hebrew},
                          {"MS Sans Serif", 8.25, false, false},
                          {"Arial", 9, false, false}};
    const UINT dpi = win32::system_dpi();
    const struct {
        const char* step;
        std::function<void()> run;
    } steps[] = {
        {"the faces of the panel's three fonts, asked by name",
         [&] {
             for (const Font& font : fonts) win32::listed_faces(win32::candidates(font.face));
         }},
        {"the three fonts realised in their faces",
         [&] {
             for (const Font& font : fonts) realise(win32::logical_font(font, dpi));
         }},
        {"the message box's message and caption fonts realised",
         [&] {
             const NONCLIENTMETRICSW metrics = win32::nonclient_metrics(dpi);
             realise(metrics.lfMessageFont);
             realise(metrics.lfCaptionFont);
         }},
        {"the DPI functions looked up and the screen's DPI",
         [] {
             GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
             HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
             if (shcore) GetProcAddress(shcore, "GetDpiForMonitor");
             win32::system_dpi();
         }},
        {"the panel's small and big icon loaded from its file",
         [&] {
             for (int side : {16, 32})
                 DestroyIcon(static_cast<HICON>(LoadImageW(panel, L"TORVA.ICO", IMAGE_ICON, side, side, 0)));
         }},
        {"every family in every character set listed (what the chooser did once)", [] { every_face(); }},
    };
    std::printf("   first  then (ms)  in the order a start meets them, at %u DPI\n", dpi);
    for (const auto& s : steps) {
        const Times t = times_of(s.run, 9);
        std::printf("%8.2f  %8.2f  %s\n", t.first, t.median, s.step);
    }
    std::printf("%d faces in all character sets\n", every_face());
    return 0;
}
