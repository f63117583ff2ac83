// What POSIX says of a file and of itself, for a report.
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "runtime/os/os.h"

namespace rt::os {

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

Facts system_facts() {
    utsname name{};
    if (::uname(&name) != 0) return {};
    return {{"system", std::string(name.sysname) + " " + name.release + " " + name.machine}};
}

}  // namespace rt::os
