#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "runtime/wine_option.h"
#include "runtime/wine_prefix.h"

namespace rt::wine {

namespace {

// Wine names the user's folder after the login name.
std::string user_name() {
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_name) return entry->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

}  // namespace

void use_prefix(const char*, const std::string& given, const Say&) {
    const auto prefix = choose_prefix(given, std::getenv("WINEPREFIX"), std::getenv("HOME"));
    // Every later look for the temporary directory reads TMPDIR.
    ::setenv("TMPDIR", temp_directory(prefix, user_name()).c_str(), 1);
}

}  // namespace rt::wine
