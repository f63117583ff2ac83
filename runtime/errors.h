// The runtime's errors: one exception type per kind, each with the
// description that a handler shows to the user.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace rt {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& description) : std::runtime_error(description) {}
    std::string description() const { return what(); }
};

// A number that does not fit the type it is converted to.
class OverflowError : public Error {
public:
    OverflowError() : Error("Overflow") {}
};

// A record number below 1.
class BadRecordNumberError : public Error {
public:
    BadRecordNumberError() : Error("Bad record number") {}
};

// A failed open or transfer; the description is the operating system's.
class FileError : public Error {
public:
    using Error::Error;
};

[[noreturn]] void raise_overflow();

// A FileError for a temporary directory whose path is longer than the limit.
[[noreturn]] void raise_path_too_long(const std::string& path, std::size_t limit);

}  // namespace rt
