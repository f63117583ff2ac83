// The ports and values torva-port takes, on its command line and in a
// scenario: a port as a whole number (decimal or &H), a value as the panel
// reads a field, range-tested as it does.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "io/io.h"

namespace port_args {

// Wrong arguments or a value out of range; nothing has been written.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value that does not fit the port; reads like the panel's message.
class RangeError : public UsageError {
public:
    using UsageError::UsageError;
};

inline constexpr io::Port kLastPort = std::numeric_limits<io::Port>::max();

// A port must be written out whole: "12abc" is a mistake, not port 12.
io::Port parse_port(const std::string& text, io::Port highest = kLastPort);

// Unlike a field, the whole text must be the number: "0x7F" is a mistake, not 0.
std::uint8_t parse_byte(const std::string& text);
std::int16_t parse_word(const std::string& text);

}  // namespace port_args
