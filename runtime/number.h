// Text to number, range-tested conversions and checked arithmetic.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rt {

// Reads the number at the start of a text, the way the panel's fields
// are read. Blanks, tabs, CR and LF are ignored wherever they stand.
// Decimal: [sign] digits [. [digits]] or [sign] . digits, then an optional
// [E|D [sign] digits]; reading stops at the first character that does not
// continue the number. "&H" / "&O" at the start read hexadecimal / octal
// digits as a 16-bit pattern when the value fits 16 bits, else as a 32-bit
// pattern. No number reads 0.
// Raises OverflowError beyond a double or beyond 32 bits for &H / &O.
double text_to_number(std::string_view text);

// The same reading, with the count of characters the number took (the
// ignored characters after it included); 0 when the text starts with no
// number. The number is the whole text when the count is its size.
struct NumberReading {
    double value;
    std::size_t length;
};
NumberReading read_number(std::string_view text);

// The value of a digit in the given radix (up to 16), or -1.
int digit_value(char c, unsigned radix);

// Range-tested conversions: the value is rounded to a whole number
// (exact halves to even) and raises OverflowError when out of range or
// not finite.
std::uint8_t to_byte(double value);
std::int16_t to_int16(double value);
std::uint8_t to_byte(std::int16_t value);
std::int16_t to_int16(std::int32_t value);

// Signed 32-bit arithmetic raising OverflowError.
std::int32_t checked_add(std::int32_t a, std::int32_t b);
std::int32_t checked_sub(std::int32_t a, std::int32_t b);
std::int32_t checked_mul(std::int32_t a, std::int32_t b);

// Bare decimal text, "-" before a negative value.
std::string to_decimal(std::int64_t value);

}  // namespace rt
