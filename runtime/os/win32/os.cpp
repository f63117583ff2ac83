// The operating system on Windows: GetTempPathW, positioned
// ReadFile/WriteFile, the arguments and the console.
#include "runtime/os/win32/win32.h"  // windows.h, which shellapi.h needs first

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

#include "runtime/errors.h"
#include "runtime/os/os.h"

namespace rt::os {
namespace {

using win32::describe;
using win32::narrow;
using win32::widen;

[[noreturn]] void raise_last_error() { throw FileError(describe(GetLastError())); }

// Another process's share mode or lock on the file, which it lifts when
// it closes it: worth trying again.
bool shut_out(DWORD reason) { return reason == ERROR_SHARING_VIOLATION || reason == ERROR_LOCK_VIOLATION; }

// The reason an open failed, kept before any other call could change it.
[[noreturn]] void raise_open_error(const std::wstring& path, DWORD reason) {
    // Windows says only "Access denied" for a folder in the file's place.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (reason == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw FileError("Is a directory");
    throw FileError(describe(reason));
}

double milliseconds_since(const LARGE_INTEGER& start) {
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED place{};
    place.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    place.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return place;
}

}  // namespace

char path_separator() { return '\\'; }

std::string temp_directory() {
    // The wide query: the single-byte one turns letters outside the code
    // page into "?", and no file could be found under that path.
    wchar_t buffer[kTempPathCapacity + 2] = {};
    DWORD count = GetTempPathW(static_cast<DWORD>(kTempPathCapacity + 1), buffer);
    if (count <= kTempPathCapacity) return narrow(buffer, count);
    // Too long: ask again with room for all of it, to name it.
    std::wstring whole(count, L'\0');
    count = GetTempPathW(count, whole.data());
    raise_path_too_long(count < whole.size() ? narrow(whole.data(), count) : std::string(),
                        kTempPathCapacity);
}

NativeHandle open_file(const std::string& path, Access access) {
    const std::wstring name = widen(path);
    // Reading asks for read access alone: an emulator that holds the file
    // shared for reading only then lets it through. Ours shares everything,
    // so that the emulator is never locked out.
    const DWORD rights = access == Access::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    LARGE_INTEGER start{};
    QueryPerformanceCounter(&start);
    for (;;) {
        HANDLE handle =
            CreateFileW(name.c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) return handle;
        const DWORD reason = GetLastError();
        // Sleep(1) may last a whole timer tick (15.6 ms): the wait is
        // measured on the performance counter, giving up the processor
        // between tries.
        if (!shut_out(reason) || milliseconds_since(start) >= kShareRetryMilliseconds)
            raise_open_error(name, reason);
        Sleep(0);
    }
}

bool read_byte_at(NativeHandle handle, std::uint64_t offset, std::uint8_t& byte) {
    OVERLAPPED place = at(offset);
    DWORD done = 0;
    if (!ReadFile(handle, &byte, 1, &done, &place)) {
        if (GetLastError() == ERROR_HANDLE_EOF) return false;
        raise_last_error();
    }
    return done == 1;
}

void write_byte_at(NativeHandle handle, std::uint64_t offset, std::uint8_t byte) {
    OVERLAPPED place = at(offset);
    DWORD done = 0;
    if (!WriteFile(handle, &byte, 1, &done, &place)) raise_last_error();
    if (done != 1) throw FileError("Short write");
}

std::uint64_t file_size(NativeHandle handle) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size)) raise_last_error();
    return static_cast<std::uint64_t>(size.QuadPart);
}

void close(NativeHandle handle) noexcept { CloseHandle(handle); }

// Windows has no file-size limit signal; a write it refuses fails by itself.
void ignore_file_size_signal() noexcept {}

std::vector<std::string> arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return {argv, argv + argc};
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) texts.push_back(narrow(wide[i], std::wcslen(wide[i])));
    LocalFree(wide);
    return texts;
}

// A program for the desktop started from a console has no standard
// handles: its text goes to the console it was started from, if any.
HANDLE parent_console() {
    static const HANDLE console = [] {
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return INVALID_HANDLE_VALUE;
        return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    }();
    return console;
}

// A console shows UTF-8 bytes in its own code page, as mojibake: it is
// given the characters instead.
bool write_text(Stream stream, std::string_view text) {
    std::FILE* file = stream == Stream::Output ? stdout : stderr;
    HANDLE handle = GetStdHandle(stream == Stream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (handle == INVALID_HANDLE_VALUE || !handle) handle = parent_console();
    if (handle == INVALID_HANDLE_VALUE || !handle) return false;
    DWORD mode = 0;
    if (!GetConsoleMode(handle, &mode)) return std::fwrite(text.data(), 1, text.size(), file) == text.size();
    std::fflush(file);  // what went through the C stream shows first
    const std::wstring wide = widen(std::string(text));
    // In pieces, which older consoles need, never splitting a surrogate pair.
    constexpr std::size_t kPiece = 8192;
    for (std::size_t at = 0; at < wide.size();) {
        std::size_t count = std::min(wide.size() - at, kPiece);
        if (count > 1 && at + count < wide.size() && IS_HIGH_SURROGATE(wide[at + count - 1])) --count;
        DWORD done = 0;
        if (!WriteConsoleW(handle, wide.data() + at, static_cast<DWORD>(count), &done, nullptr) || done == 0)
            return false;
        at += done;
    }
    return true;
}

namespace {
volatile LONG interrupt_seen = 0;
BOOL WINAPI on_interrupt(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    InterlockedExchange(&interrupt_seen, 1);
    return TRUE;
}
}  // namespace

void catch_interrupts() { SetConsoleCtrlHandler(on_interrupt, TRUE); }

bool interrupted() { return InterlockedCompareExchange(&interrupt_seen, 0, 0) != 0; }

bool is_colour_terminal(Stream stream) {
    // ENABLE_VIRTUAL_TERMINAL_PROCESSING, which an older console refuses.
    constexpr DWORD kVirtualTerminal = 0x0004;
    HANDLE handle = GetStdHandle(stream == Stream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !handle || !GetConsoleMode(handle, &mode)) return false;
    return (mode & kVirtualTerminal) || SetConsoleMode(handle, mode | kVirtualTerminal);
}

}  // namespace rt::os
