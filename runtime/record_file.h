// A file opened for record access with one-byte records, numbered from 1.
// The handle closes on every path out of its scope.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/os/os.h"

namespace rt {

class RecordFile {
public:
    // Opens for reading alone or for reading and writing, creating a
    // missing file. Raises FileError.
    RecordFile(const std::string& path, os::Access access);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Record r is the byte at offset r - 1. A record below 1 raises
    // BadRecordNumberError; a record past the end reads as 0.
    std::uint8_t get(std::int32_t record);
    // A gap past the end fills with zero bytes.
    void put(std::int32_t record, std::uint8_t value);
    // Number of records (bytes) in the file.
    std::uint64_t length();

private:
    os::NativeHandle handle_;
};

}  // namespace rt
