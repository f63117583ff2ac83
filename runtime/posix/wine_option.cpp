#include <cstdlib>
#include <string>

#include "runtime/diagnosis.h"
#include "runtime/wine_option.h"
#include "runtime/wine_prefix.h"

namespace rt::wine {

void use_prefix(const char*, const std::string& given, const Say&) {
    const auto prefix = choose_prefix(given, std::getenv("WINEPREFIX"), std::getenv("HOME"));
    // Every later look for the temporary directory reads TMPDIR.
    ::setenv("TMPDIR", temp_directory(prefix, diagnosis::login_name()).c_str(), 1);
}

}  // namespace rt::wine
