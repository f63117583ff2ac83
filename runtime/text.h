// Text operations on UTF-8 that the message boxes need.
#pragma once

#include <cstddef>
#include <string>

namespace rt {

// The text cut to at most `limit` characters, with "…" after a cut; a
// character is never split.
std::string shortened(const std::string& text, std::size_t limit);

// The text with an invisible break opportunity (U+200B) after every
// `longest` characters of an unbroken run, so a long number wraps inside
// a message box instead of being cut off.
std::string breakable(const std::string& text, std::size_t longest = 50);

}  // namespace rt
