// What Windows says of a file and of itself, for a report.
#include "runtime/os/win32/win32.h"  // windows.h, which aclapi.h needs first

#include <aclapi.h>

#include <cstdio>
#include <cwchar>

#include "runtime/os/os.h"

namespace rt::os {
namespace {

using win32::describe;
using win32::narrow;
using win32::widen;

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
