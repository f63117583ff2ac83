// Numbers from text as the panel reads them (decimal, &H, &O), and the
// range-tested conversions to a byte and a signed word.
#include "runtime/number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>

#include "runtime/errors.h"

namespace rt {
namespace {

constexpr std::uint64_t kMax16 = 0xFFFF;
constexpr std::uint64_t kMax32 = 0xFFFFFFFF;
// Far beyond any double's decimal exponent, small enough never to wrap.
constexpr std::int64_t kExponentLimit = 1'000'000'000;

bool is_ignored(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Walks a text one character at a time, stepping over ignored characters.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) { skip(); }
    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    std::size_t position() const { return pos_; }
    void next() {
        ++pos_;
        skip();
    }

private:
    void skip() {
        while (pos_ < text_.size() && is_ignored(text_[pos_])) ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Digits after "&H" or "&O"; the value decides a 16- or 32-bit pattern.
std::optional<double> read_radix(Cursor& cursor, unsigned radix) {
    if (digit_value(cursor.peek(), radix) < 0) return std::nullopt;
    std::uint64_t value = 0;
    for (int digit; (digit = digit_value(cursor.peek(), radix)) >= 0; cursor.next()) {
        value = value * radix + static_cast<unsigned>(digit);
        if (value > kMax32) raise_overflow();
    }
    if (value <= kMax16) return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// The decimal number at the cursor, gathered into a clean buffer for
// std::from_chars, which is exact, locale-free and linear.
struct DecimalText {
    std::string mantissa;
    bool negative = false;
    bool any_digit = false;
    // Decimal exponent of the first significant digit, before the
    // written exponent is added; decides overflow against underflow.
    std::int64_t magnitude = 0;
    bool significant = false;
    std::int64_t exponent = 0;
};

void read_digits(Cursor& cursor, DecimalText& number, bool fraction) {
    for (char c; is_digit(c = cursor.peek()); cursor.next()) {
        number.mantissa += c;
        number.any_digit = true;
        if (!number.significant && c != '0') number.significant = true;
        if (fraction && !number.significant) --number.magnitude;
        if (!fraction && number.significant) ++number.magnitude;
    }
}

void read_exponent(Cursor& cursor, DecimalText& number) {
    char mark = cursor.peek();
    if (mark != 'E' && mark != 'e' && mark != 'D' && mark != 'd') return;
    Cursor ahead = cursor;
    ahead.next();
    bool negative = false;
    if (ahead.peek() == '+' || ahead.peek() == '-') {
        negative = ahead.peek() == '-';
        ahead.next();
    }
    if (!is_digit(ahead.peek())) return;  // "1e" and "1e+" stop before the mark
    std::int64_t exponent = 0;
    for (char c; is_digit(c = ahead.peek()); ahead.next())
        if (exponent < kExponentLimit) exponent = exponent * 10 + (c - '0');
    number.exponent = negative ? -exponent : exponent;
    cursor = ahead;
}

std::optional<double> read_decimal(Cursor& cursor) {
    DecimalText number;
    if (cursor.peek() == '+' || cursor.peek() == '-') {
        number.negative = cursor.peek() == '-';
        cursor.next();
    }
    read_digits(cursor, number, false);
    if (cursor.peek() == '.') {
        cursor.next();
        number.mantissa += '.';
        read_digits(cursor, number, true);
    }
    if (!number.any_digit) return std::nullopt;
    read_exponent(cursor, number);
    if (!number.significant) return 0.0;

    std::string text = number.mantissa + 'e' + std::to_string(number.exponent);
    double value = 0.0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Out of range with the first digit at 10^0 or above is too large;
        // below that it is too small and reads as zero.
        if (number.magnitude - 1 + number.exponent >= 0) raise_overflow();
        value = 0.0;
    }
    if (!std::isfinite(value)) raise_overflow();
    return number.negative ? -value : value;
}

// "&H" or "&O" and their digits.
std::optional<double> read_prefixed(Cursor& cursor) {
    cursor.next();
    const char kind = cursor.peek();
    const unsigned radix = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
    if (radix == 0) return std::nullopt;
    cursor.next();
    return read_radix(cursor, radix);
}

double rounded(double value, double low, double high) {
    if (!std::isfinite(value)) raise_overflow();
    double whole = std::nearbyint(value);  // the default mode rounds halves to even
    if (whole < low || whole > high) raise_overflow();
    return whole;
}

std::int32_t narrowed(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        raise_overflow();
    return static_cast<std::int32_t>(value);
}

}  // namespace

int digit_value(char c, unsigned radix) {
    int value = -1;
    if (is_digit(c)) value = c - '0';
    else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value >= 0 && static_cast<unsigned>(value) < radix ? value : -1;
}

NumberReading read_number(std::string_view text) {
    Cursor cursor(text);
    const std::optional<double> value = cursor.peek() == '&' ? read_prefixed(cursor) : read_decimal(cursor);
    if (!value) return {0.0, 0};
    return {*value, cursor.position()};
}

double text_to_number(std::string_view text) { return read_number(text).value; }

std::uint8_t to_byte(double value) { return static_cast<std::uint8_t>(rounded(value, 0, 255)); }

std::int16_t to_int16(double value) { return static_cast<std::int16_t>(rounded(value, -32768, 32767)); }

std::uint8_t to_byte(std::int16_t value) {
    if (value < 0 || value > 255) raise_overflow();
    return static_cast<std::uint8_t>(value);
}

std::int16_t to_int16(std::int32_t value) {
    if (value < -32768 || value > 32767) raise_overflow();
    return static_cast<std::int16_t>(value);
}

std::int32_t checked_add(std::int32_t a, std::int32_t b) { return narrowed(std::int64_t{a} + b); }

std::int32_t checked_sub(std::int32_t a, std::int32_t b) { return narrowed(std::int64_t{a} - b); }

std::int32_t checked_mul(std::int32_t a, std::int32_t b) { return narrowed(std::int64_t{a} * b); }

std::string to_decimal(std::int64_t value) { return std::to_string(value); }

}  // namespace rt
