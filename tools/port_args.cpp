// The ports and values torva-port takes, read and range-tested.
#include "tools/port_args.h"

#include <string_view>

#include "runtime/errors.h"
#include "runtime/number.h"

namespace port_args {
namespace {

template <class Convert>
auto parse_value(const std::string& text, Convert convert) {
    try {
        const rt::NumberReading number = rt::read_number(text);
        if (number.length == 0 || number.length != text.size())
            throw UsageError("invalid value '" + text +
                             "': one number is expected (decimal, &H hexadecimal or &O octal)");
        return convert(number.value);
    } catch (const rt::OverflowError& error) {
        throw RangeError(error.description() + ": " + text);
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
                         std::to_string(highest) + " is expected");
    return static_cast<io::Port>(value);
}

std::uint8_t parse_byte(const std::string& text) {
    return parse_value(text, [](double v) { return rt::to_byte(v); });
}

std::int16_t parse_word(const std::string& text) {
    return parse_value(text, [](double v) { return rt::to_int16(v); });
}

}  // namespace port_args
