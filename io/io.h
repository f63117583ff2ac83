// The port space: each port is one byte of emu_port.dat in the user's
// temporary directory, port p at offset p - 100. Every byte access opens
// the file, transfers one byte and closes it again, so the emulator can
// use the file at any moment in between.
#pragma once

#include <cstdint>
#include <string>

namespace io {

using Port = std::int32_t;

inline constexpr Port kFirstPort = 100;  // the byte at offset 0
inline constexpr const char* kPortFileName = "emu_port.dat";

// The text with "\" appended unless it is empty or already ends in "\".
std::string add_trailing_backslash(const std::string& text);

// The same rule for any separator character.
std::string add_trailing_separator(const std::string& text, char separator);

// Full path of the port file; raises rt::FileError when the temporary
// directory can't be found.
std::string port_file_path();

// Checked byte access: raises rt::Error (FileError, BadRecordNumberError,
// OverflowError) saying why the access failed. Ports below 100 have no byte.
std::uint8_t read_io_byte_checked(const Port& port);
void write_io_byte_checked(const Port& port, const std::uint8_t& value);

// Length of the port file in bytes (creating it when missing); checked.
std::uint64_t port_file_length();

// Silent byte access: a failed read yields 0, a failed write is lost.
std::uint8_t READ_IO_BYTE(const Port& port) noexcept;
void WRITE_IO_BYTE(const Port& port, const std::uint8_t& value) noexcept;

// A signed 16-bit word at port (low byte) and port + 1 (high byte), two
// separate byte accesses, low port first. Raises rt::OverflowError for
// port 2147483647, after the low byte's access.
std::int16_t READ_IO_WORD(const Port& port);
void WRITE_IO_WORD(const Port& port, const std::int16_t& value);

// The same over the checked byte access. When the high byte fails after
// the low one was written, the FileError says so and names that byte.
std::int16_t read_io_word_checked(const Port& port);
void write_io_word_checked(const Port& port, const std::int16_t& value);

std::int16_t make_int_from_bytes(const std::uint8_t& low, const std::uint8_t& high);

// -32768..32767 pass unchanged, 32768..65535 are read as the unsigned
// form of a 16-bit pattern; anything else is reported and yields 0.
std::int16_t make_signed_int(const std::int32_t& number);

}  // namespace io
