#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "runtime/wine_option.h"
#include "runtime/wine_prefix.h"

namespace rt::wine {

namespace {

constexpr int kExitNoPrefix = 1;

// Wine names the user's folder after the login name.
std::string user_name() {
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_name) return entry->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

}  // namespace

std::optional<int> use_prefix_from_arguments(const char* command, int& argc, char** argv) {
    try {
        const std::optional<std::string> given = take_option(argc, argv);
        if (!given) return std::nullopt;
        const auto prefix = choose_prefix(given, std::getenv("WINEPREFIX"), std::getenv("HOME"));
        // Every later look for the temporary directory reads TMPDIR.
        ::setenv("TMPDIR", temp_directory(prefix, user_name()).c_str(), 1);
        return std::nullopt;
    } catch (const Error& error) {
        std::cerr << command << ": --wine: " << error.description() << '\n';
        return kExitNoPrefix;
    }
}

}  // namespace rt::wine
