// The runtime's errors: the overflow and the too long temporary path.
#include "runtime/errors.h"

namespace rt {

void raise_overflow() { throw OverflowError(); }

void raise_path_too_long(const std::string& path, std::size_t limit) {
    throw FileError("Temporary directory path longer than " + std::to_string(limit) + " characters: " + path);
}

}  // namespace rt
