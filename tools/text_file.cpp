// Decoding a scenario's bytes.
#include "tools/text_file.h"

#include <cstdint>
#include <cstdio>

namespace text_file {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// The character at `at`, with its length in bytes; none (0) for a byte
// that does not start a well-formed UTF-8 sequence.
std::pair<char32_t, std::size_t> utf8_at(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return std::uint8_t(text[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80) return {lead, 1};
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size()) return {0, 0};
    char32_t c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return {0, 0};
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return {0, 0};
    return {c, length};
}

// UTF-16 after its mark, as UTF-8; an unpaired surrogate is U+FFFD.
std::string from_utf16(std::string_view bytes, bool big_endian) {
    std::string out;
    const auto unit = [&](std::size_t i) {
        const auto a = std::uint8_t(bytes[i]), b = std::uint8_t(bytes[i + 1]);
        return char16_t(big_endian ? (a << 8) | b : (b << 8) | a);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            append_utf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
            i += 2;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out += kReplacement;
        } else {
            append_utf8(out, u);
        }
    }
    if (bytes.size() % 2) out += kReplacement;
    return out;
}

bool is_control(char32_t c) { return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F; }

// Half the bytes or more at odd places (or at even ones) NUL: UTF-16 text
// of mostly Latin letters, saved without its mark.
bool looks_like_utf16(std::string_view bytes) {
    std::size_t nul[2] = {0, 0};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0') ++nul[i % 2];
    const std::size_t pairs = bytes.size() / 2;
    return pairs > 0 && (nul[0] * 2 >= pairs || nul[1] * 2 >= pairs);
}

// A text safe to show: bytes that are not UTF-8 as U+FFFD, control
// characters escaped.
std::string shown(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const auto [c, length] = utf8_at(text, at);
        if (length == 0) {
            out += kReplacement;
            ++at;
            continue;
        }
        if (is_control(c)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(c));
            out += escaped;
        } else {
            out.append(text.substr(at, length));
        }
        at += length;
    }
    return out;
}

}  // namespace

Decoded decode(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return {shown(from_utf16(bytes.substr(2), bytes[0] == '\xFE')), {}};
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);  // Notepad's UTF-8 mark
    if (bytes.find('\0') != std::string_view::npos)
        return {{},
                looks_like_utf16(bytes) ? "UTF-16 without its byte order mark: save it as UTF-8"
                                        : "not a text file"};
    return {shown(bytes), {}};
}

}  // namespace text_file
