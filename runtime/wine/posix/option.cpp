// --wine on POSIX, beside the Wine prefixes: the process takes the
// prefix's temporary folder as its own.
#include <cstdlib>
#include <string>

#include "runtime/os/os.h"
#include "runtime/wine/option.h"
#include "runtime/wine/prefix.h"

namespace rt::wine {

bool beside_prefixes() { return true; }

void use_prefix(const char*, const std::string& given, const Say&) {
    const auto prefix = choose_prefix(given, std::getenv("WINEPREFIX"), std::getenv("HOME"));
    // Every later look for the temporary directory reads TMPDIR.
    ::setenv("TMPDIR", temp_directory(prefix, os::login_name()).c_str(), 1);
}

}  // namespace rt::wine
