// What POSIX says of a file and of itself, for the report.
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "runtime/diagnosis.h"

namespace rt::diagnosis {

std::string login_name() {
    // Wine names the user's folder after the login name.
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_name) return entry->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

FileFacts file_facts(const std::string& path) {
    FileFacts facts;
    struct stat info = {};
    // The entry itself: the panel refuses a link, and the open test says so.
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) facts.problem = std::strerror(errno);
        return facts;
    }
    facts.exists = true;
    facts.size = static_cast<std::uint64_t>(info.st_size);
    const passwd* owner = ::getpwuid(info.st_uid);
    facts.owner = owner && owner->pw_name ? owner->pw_name : "user " + std::to_string(info.st_uid);
    if (info.st_uid != ::geteuid()) facts.owner += " (another user: the panel does not use it)";
    std::tm local{};
    char text[32] = "";
    if (::localtime_r(&info.st_mtime, &local)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    facts.changed = text;
    facts.seconds_since = static_cast<std::int64_t>(std::time(nullptr) - info.st_mtime);
    return facts;
}

Lines system_lines() {
    utsname name{};
    if (::uname(&name) != 0) return {};
    return {{"system", std::string(name.sysname) + " " + name.release + " " + name.machine}};
}

Lines wine_prefixes(const std::string& file_name) {
    return wine_prefix_lines(file_name, std::getenv("WINEPREFIX"), std::getenv("HOME"), login_name());
}

}  // namespace rt::diagnosis
