// Record file access: one byte at an offset of a file opened for the access.
#include "runtime/record_file.h"

#include "runtime/errors.h"

namespace rt {
namespace {

std::uint64_t offset_of(std::int32_t record) {
    if (record < 1) throw BadRecordNumberError();
    return static_cast<std::uint64_t>(record) - 1;
}

}  // namespace

RecordFile::RecordFile(const std::string& path, os::Access access) : handle_(os::open_file(path, access)) {}

RecordFile::~RecordFile() { os::close(handle_); }

std::uint8_t RecordFile::get(std::int32_t record) {
    std::uint8_t byte = 0;
    if (!os::read_byte_at(handle_, offset_of(record), byte)) return 0;
    return byte;
}

void RecordFile::put(std::int32_t record, std::uint8_t value) {
    os::write_byte_at(handle_, offset_of(record), value);
}

std::uint64_t RecordFile::length() { return os::file_size(handle_); }

}  // namespace rt
