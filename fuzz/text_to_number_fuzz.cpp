// Fuzzes the number reader against its own documented rules, beyond "no
// crash": ignored characters change nothing, a plain decimal text reads as
// strtod reads it, and &H / &O give the 16- or 32-bit pattern or overflow.
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/errors.h"
#include "runtime/number.h"

namespace {

// A reading: a value, or nothing for an overflow.
struct Outcome {
    std::optional<double> value;
    std::size_t length = 0;
    bool operator==(const Outcome&) const = default;
};

Outcome read(std::string_view text) {
    try {
        const rt::NumberReading number = rt::read_number(text);
        if (number.value != rt::text_to_number(text)) std::abort();
        return {number.value, number.length};
    } catch (const rt::OverflowError&) {
        return {};
    }
}

bool is_ignored(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string without_ignored(std::string_view text) {
    std::string kept;
    for (char c : text)
        if (!is_ignored(c)) kept += c;
    return kept;
}

// Steps over digits; true when there was at least one.
bool skip_digits(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && is_digit(text[at])) ++at;
    return at > start;
}

// [sign] digits [. [digits]] or [sign] . digits, then [E|D [sign] digits], and nothing else.
bool is_plain_decimal(std::string_view text) {
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    bool digits = skip_digits(text, at);
    if (at < text.size() && text[at] == '.') {
        ++at;
        digits = skip_digits(text, at) || digits;
    }
    if (!digits) return false;
    if (at < text.size() && std::string_view("EeDd").find(text[at]) != std::string_view::npos) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (!skip_digits(text, at)) return false;
    }
    return at == text.size();
}

// What strtod makes of the text, D read as E; nothing where it gives infinity.
std::optional<double> strtod_reading(std::string text) {
    for (char& c : text)
        if (c == 'D' || c == 'd') c = 'E';
    errno = 0;
    const double value = std::strtod(text.c_str(), nullptr);
    if (std::isinf(value)) return std::nullopt;
    return value;
}

// "&H" / "&O" and nothing but their digits: the 16-bit pattern up to 16
// bits, the 32-bit pattern up to 32, beyond that overflow.
std::optional<std::optional<double>> radix_reading(std::string_view text) {
    if (text.size() < 3 || text[0] != '&') return std::nullopt;
    const char kind = text[1];
    const unsigned radix = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
    if (radix == 0) return std::nullopt;
    std::uint64_t value = 0;
    bool beyond = false;
    for (char c : text.substr(2)) {
        const int digit = rt::digit_value(c, radix);
        if (digit < 0) return std::nullopt;
        value = value * radix + static_cast<unsigned>(digit);
        beyond = beyond || value > 0xFFFFFFFFu;
        if (beyond) value = 0xFFFFFFFFFFu;  // stays beyond without wrapping
    }
    if (beyond) return std::optional<double>();
    if (value <= 0xFFFF) return std::optional<double>(static_cast<std::int16_t>(value));
    return std::optional<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

void fail(const char* rule, std::string_view text) {
    std::fprintf(stderr, "rule broken: %s\ntext: \"%.*s\"\n", rule, static_cast<int>(text.size()),
                 text.data());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Outcome whole = read(text);
    const std::string bare = without_ignored(text);
    const Outcome compact = read(bare);

    if (whole.value != compact.value) fail("ignored characters changed the value", text);
    if ((whole.length == 0) != (compact.length == 0))
        fail("ignored characters changed whether a number was read", text);
    // What lies after the number does not change it.
    if (whole.value && whole.length > 0 && read(text.substr(0, whole.length)).value != whole.value)
        fail("the number read differs from its own text", text);
    if (is_plain_decimal(bare)) {
        if (whole.value && whole.length != text.size()) fail("a plain decimal text was not read whole", text);
        const std::optional<double> expected = strtod_reading(bare);
        if (whole.value != expected) fail("a plain decimal text reads unlike strtod", text);
    }
    if (const auto expected = radix_reading(bare)) {
        if (whole.value && whole.length != text.size()) fail("a &H / &O text was not read whole", text);
        if (whole.value != *expected) fail("a &H / &O text gives the wrong pattern", text);
    }
    return 0;
}
