// The port routines over the port file: its location, the access cycle of
// one read or write, and the byte and word routines.
#include "io/io.h"

#include "runtime/errors.h"
#include "runtime/message_box.h"
#include "runtime/number.h"
#include "runtime/os/os.h"
#include "runtime/record_file.h"

namespace io {
namespace {

constexpr std::int32_t kWordSpan = 65536;

using rt::os::Access;

// One access cycle: locate, open (creating a missing file), work out the
// record, transfer, close. The file is opened before the record number is
// checked, so even a port without a byte creates a missing file. A read
// asks for read access alone, which an emulator that shares the file for
// reading only lets through.
template <class Transfer>
auto access_port(const Port& port, Access access, Transfer transfer) {
    rt::RecordFile file(port_file_path(), access);
    const std::int32_t record = rt::checked_sub(port, kFirstPort - 1);
    return transfer(file, record);
}

template <auto ReadByte>
std::int16_t read_word(const Port& port) {
    const std::uint8_t low = ReadByte(port);
    const Port next = rt::checked_add(port, 1);
    const std::uint8_t high = ReadByte(next);
    return make_int_from_bytes(low, high);
}

template <class WriteByte>
void write_word(const Port& port, const std::int16_t& value, WriteByte write_byte) {
    const std::int32_t pattern = value;
    const std::uint8_t low = rt::to_byte(rt::to_int16(pattern & 0xFF));
    write_byte(port, low);
    const std::uint8_t high = rt::to_byte(rt::to_int16((pattern & 0xFF00) / 256));
    const Port next = rt::checked_add(port, 1);
    write_byte(next, high);
}

}  // namespace

std::string add_trailing_separator(const std::string& text, char separator) {
    if (text.empty() || text.back() == separator) return text;
    return text + separator;
}

std::string add_trailing_backslash(const std::string& text) { return add_trailing_separator(text, '\\'); }

std::string port_file_path() {
    return add_trailing_separator(rt::os::temp_directory(), rt::os::path_separator()) + kPortFileName;
}

std::uint8_t read_io_byte_checked(const Port& port) {
    return access_port(port, Access::Read,
                       [](rt::RecordFile& file, std::int32_t record) { return file.get(record); });
}

void write_io_byte_checked(const Port& port, const std::uint8_t& value) {
    access_port(port, Access::ReadWrite,
                [&value](rt::RecordFile& file, std::int32_t record) { file.put(record, value); });
}

std::uint64_t port_file_length() {
    rt::RecordFile file(port_file_path(), Access::Read);
    return file.length();
}

std::uint8_t READ_IO_BYTE(const Port& port) noexcept {
    try {
        return read_io_byte_checked(port);
    } catch (...) {
        return 0;
    }
}

void WRITE_IO_BYTE(const Port& port, const std::uint8_t& value) noexcept {
    try {
        write_io_byte_checked(port, value);
    } catch (...) {
        // A failed write is lost, as a failed read yields 0.
    }
}

std::int16_t READ_IO_WORD(const Port& port) { return read_word<READ_IO_BYTE>(port); }

void WRITE_IO_WORD(const Port& port, const std::int16_t& value) { write_word(port, value, WRITE_IO_BYTE); }

std::int16_t read_io_word_checked(const Port& port) { return read_word<read_io_byte_checked>(port); }

// A high byte refused after the low one landed leaves half a word: the
// error says which byte was written.
void write_io_word_checked(const Port& port, const std::int16_t& value) {
    bool low_written = false;
    std::uint8_t low = 0;
    try {
        write_word(port, value, [&](const Port& at, const std::uint8_t& byte) {
            write_io_byte_checked(at, byte);
            if (!low_written) low = byte;
            low_written = true;
        });
    } catch (const rt::FileError& error) {
        if (!low_written) throw;
        throw rt::FileError(error.description() + "; only the low byte was written: port " +
                            rt::to_decimal(port) + " holds " + rt::to_decimal(low) + " now");
    }
}

std::int16_t make_int_from_bytes(const std::uint8_t& low, const std::uint8_t& high) {
    const std::int32_t number = rt::checked_add(low, rt::checked_mul(high, 256));
    return make_signed_int(number);
}

std::int16_t make_signed_int(const std::int32_t& number) {
    if (number >= kWordSpan || number < -32768) {
        rt::message_box("Wrong param calling make_signed_int(): " + rt::to_decimal(number));
        return 0;
    }
    return rt::to_int16(number > 32767 ? number - kWordSpan : number);
}

}  // namespace io
