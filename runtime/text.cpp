// Text operations on UTF-8 for the message boxes: shortened and breakable.
#include "runtime/text.h"

namespace rt {
namespace {

constexpr const char* kEllipsis = "\xE2\x80\xA6";        // U+2026
constexpr const char* kZeroWidthSpace = "\xE2\x80\x8B";  // U+200B

// A byte that continues a character begun by an earlier one.
bool continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Calls `each(begin, end)` for each character's bytes in turn.
template <class Each>
void for_each_character(const std::string& text, Each each) {
    for (std::size_t begin = 0, end = 0; begin < text.size(); begin = end) {
        end = begin + 1;
        while (end < text.size() && continues(text[end])) ++end;
        each(begin, end);
    }
}

bool is_blank(const std::string& text, std::size_t begin, std::size_t end) {
    if (end - begin != 1) return false;
    const char c = text[begin];
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

std::string shortened(const std::string& text, std::size_t limit) {
    std::size_t count = 0, cut = text.size();
    for_each_character(text, [&](std::size_t begin, std::size_t) {
        if (count++ == limit && cut == text.size()) cut = begin;
    });
    if (cut == text.size()) return text;
    return text.substr(0, cut) + kEllipsis;
}

std::string breakable(const std::string& text, std::size_t longest) {
    std::string result;
    result.reserve(text.size() + text.size() / longest * 3);
    std::size_t run = 0;
    for_each_character(text, [&](std::size_t begin, std::size_t end) {
        result.append(text, begin, end - begin);
        run = is_blank(text, begin, end) ? 0 : run + 1;
        if (run == longest) {
            result += kZeroWidthSpace;
            run = 0;
        }
    });
    return result;
}

}  // namespace rt
