// The operating system on Windows: GetTempPathW, positioned
// ReadFile/WriteFile, the arguments and the console, and what Windows says
// of a file and of itself for a report.
#include "runtime/os/win32/win32.h"  // windows.h, which shellapi.h and aclapi.h need first

#include <aclapi.h>
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

// The account that owns the file, as DOMAIN\name.
std::string owner_of(const std::wstring& path) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                              nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return "";
    wchar_t name[256] = L"", domain[256] = L"";
    DWORD name_size = 256, domain_size = 256;
    SID_NAME_USE use{};
    std::string text;
    if (LookupAccountSidW(nullptr, owner, name, &name_size, domain, &domain_size, &use))
        text = (domain_size > 0 ? narrow(domain, domain_size) + "\\" : "") + narrow(name, name_size);
    LocalFree(descriptor);
    return text;
}

std::int64_t ticks(const FILETIME& time) {
    return static_cast<std::int64_t>(ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart);
}

std::string local_time(const FILETIME& time) {
    FILETIME local{};
    SYSTEMTIME parts{};
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &parts)) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", parts.wYear, parts.wMonth, parts.wDay,
                  parts.wHour, parts.wMinute, parts.wSecond);
    return text;
}

// RTL_OSVERSIONINFOW, as ntdll fills it.
struct VersionInfo {
    ULONG size, major, minor, build, platform;
    WCHAR service_pack[128];
};

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

std::string login_name() {
    wchar_t name[257] = L"";
    DWORD size = 257;
    return GetUserNameW(name, &size) && size > 0 ? narrow(name, size - 1) : "";
}

FileFacts file_facts(const std::string& path) {
    FileFacts facts;
    const std::wstring name = widen(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) {
        const DWORD reason = GetLastError();
        if (reason != ERROR_FILE_NOT_FOUND && reason != ERROR_PATH_NOT_FOUND)
            facts.problem = describe(reason);
        return facts;
    }
    facts.exists = true;
    facts.size = std::uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    facts.owner = owner_of(name);
    facts.changed = local_time(data.ftLastWriteTime);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    facts.seconds_since = (ticks(now) - ticks(data.ftLastWriteTime)) / 10'000'000;
    return facts;
}

// Looked up at run time: RtlGetVersion tells the true version, and
// wine_get_version is there only under Wine.
Facts system_facts() {
    Facts lines;
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    using GetVersion = LONG(WINAPI*)(VersionInfo*);
    VersionInfo info{sizeof info, 0, 0, 0, 0, {}};
    if (const auto get = reinterpret_cast<GetVersion>(
            reinterpret_cast<void*>(ntdll ? GetProcAddress(ntdll, "RtlGetVersion") : nullptr));
        get && get(&info) == 0) {
        std::string version =
            std::to_string(info.major) + "." + std::to_string(info.minor) + "." + std::to_string(info.build);
        if (info.service_pack[0]) version += " " + narrow(info.service_pack, std::wcslen(info.service_pack));
        lines.push_back({"Windows version", version});
    }
    using WineVersion = const char*(CDECL*)();
    if (const auto wine = reinterpret_cast<WineVersion>(
            reinterpret_cast<void*>(ntdll ? GetProcAddress(ntdll, "wine_get_version") : nullptr)))
        lines.push_back({"Wine", wine()});
    lines.push_back({"programs", sizeof(void*) == 8 ? "64-bit" : "32-bit"});
    return lines;
}

}  // namespace rt::os
