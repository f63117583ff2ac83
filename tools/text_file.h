// A text file as a person wrote it, made safe to read and to show: UTF-8,
// with or without Notepad's byte order mark, or UTF-16 after its mark;
// a file that is not text is refused with the reason.
#pragma once

#include <string>
#include <string_view>

namespace text_file {

struct Decoded {
    std::string text;     // UTF-8; empty when refused
    std::string refusal;  // why the bytes are not read as text, else empty
};

// Bytes that are not UTF-8 become U+FFFD, and control characters other
// than tab, CR and LF are shown escaped ("\x1B"), so that whatever the
// text becomes (a terminal's line, an XML report) reads as it should.
// Refused: bytes with NUL in them, UTF-16 without its mark among them.
Decoded decode(std::string_view bytes);

}  // namespace text_file
