// The ports and values torva-port takes, on its command line and in a
// scenario: a port as a whole number (decimal or &H), a value as the panel
// reads a field, range-tested as it does.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "io/io.h"

namespace port_args {

// Wrong arguments or a value out of range; nothing has been written.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value that does not fit the port: "300 is not a byte (0 to 255)".
class RangeError : public UsageError {
public:
    using UsageError::UsageError;
};

// The last port an IN or OUT instruction reaches (its port is 16 bits);
// the port routines themselves take any port from 100 on.
inline constexpr io::Port kLastPort = 65535;

// A port must be written out whole: "12abc" is a mistake, not port 12.
io::Port parse_port(const std::string& text, io::Port highest = kLastPort);

// Unlike a field, the whole text must be the number: "0x7F" is a mistake,
// not 0. A value to write is rounded as the panel rounds a field's;
// `whole` asks for a whole number (a value expected).
std::uint8_t parse_byte(const std::string& text, bool whole = false);
std::int16_t parse_word(const std::string& text, bool whole = false);

// "one value too many", "3 values too many".
std::string too_many(std::size_t extra);

}  // namespace port_args
