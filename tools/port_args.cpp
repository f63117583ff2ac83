// The ports and values torva-port takes, read and range-tested.
#include "tools/port_args.h"

#include <cmath>
#include <string_view>

#include "runtime/errors.h"
#include "runtime/number.h"

namespace port_args {
namespace {

// A value of the given kind ("a byte (0 to 255)"), read as the panel reads a
// field and range-tested as it is.
template <class Convert>
auto parse_value(const std::string& text, bool whole, const char* kind, Convert convert) {
    rt::NumberReading number{};
    try {
        number = rt::read_number(text);
    } catch (const rt::OverflowError&) {
        throw RangeError(text + " is not " + kind);
    }
    if (number.length == 0 || number.length != text.size())
        throw UsageError("invalid value '" + text +
                         "': one number is expected (decimal, &H hexadecimal or &O octal)");
    if (whole && number.value != std::nearbyint(number.value))
        throw UsageError("invalid value '" + text + "': a value expected is a whole number");
    try {
        return convert(number.value);
    } catch (const rt::OverflowError&) {
        throw RangeError(text + " is not " + kind);
    }
}

}  // namespace

io::Port parse_port(const std::string& text, io::Port highest) {
    std::string_view digits = text;
    unsigned radix = 10;
    if (digits.size() > 2 && digits[0] == '&' && (digits[1] == 'H' || digits[1] == 'h')) {
        digits.remove_prefix(2);
        radix = 16;
    }
    std::int64_t value = 0;
    for (char c : digits) {
        const int digit = rt::digit_value(c, radix);
        value = digit < 0 ? -1 : value * radix + digit;
        if (value < 0 || value > highest) break;
    }
    if (digits.empty() || value < io::kFirstPort || value > highest)
        throw UsageError("invalid port '" + text + "': a whole number from 100 to " +
                         std::to_string(highest) + " is expected" +
                         (highest < kLastPort ? " (a word takes PORT and PORT+1)" : ""));
    return static_cast<io::Port>(value);
}

std::uint8_t parse_byte(const std::string& text, bool whole) {
    return parse_value(text, whole, "a byte (0 to 255)", [](double v) { return rt::to_byte(v); });
}

std::int16_t parse_word(const std::string& text, bool whole) {
    return parse_value(text, whole, "a word (-32768 to 32767)", [](double v) { return rt::to_int16(v); });
}

std::string too_many(std::size_t extra) {
    return (extra == 1 ? std::string("one value") : std::to_string(extra) + " values") + " too many";
}

}  // namespace port_args
