#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "runtime/errors.h"
#include "runtime/platform.h"

namespace rt::platform {
namespace {

[[noreturn]] void raise_errno(int error) { throw FileError(std::strerror(error)); }

// A port file must be a regular file of our own: on a shared /tmp anyone
// could have put a FIFO, a device or somebody else's file there first.
void check_owned_regular(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) raise_errno(errno);
    if (!S_ISREG(info.st_mode)) throw FileError("Not a regular file");
    if (info.st_uid != ::geteuid()) throw FileError("File owned by another user");
}

}  // namespace

char path_separator() { return '/'; }

std::optional<std::string> temp_directory() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = (dir != nullptr && *dir != '\0') ? dir : "/tmp";
    if (path.size() > kTempPathCapacity) return std::nullopt;
    return path;
}

NativeHandle open_read_write(const std::string& path) {
    // No link is followed and a FIFO never blocks the open.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) raise_errno(errno);
    try {
        check_owned_regular(fd);
    } catch (...) {
        ::close(fd);
        throw;
    }
    return fd;
}

bool read_byte_at(NativeHandle fd, std::uint64_t offset, std::uint8_t& byte) {
    ssize_t n;
    do n = ::pread(fd, &byte, 1, static_cast<off_t>(offset));
    while (n < 0 && errno == EINTR);
    if (n < 0) raise_errno(errno);
    return n == 1;
}

void write_byte_at(NativeHandle fd, std::uint64_t offset, std::uint8_t byte) {
    ssize_t n;
    do n = ::pwrite(fd, &byte, 1, static_cast<off_t>(offset));
    while (n < 0 && errno == EINTR);
    if (n < 0) raise_errno(errno);
    if (n != 1) throw FileError("Short write");
}

std::uint64_t file_size(NativeHandle fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) raise_errno(errno);
    return static_cast<std::uint64_t>(info.st_size);
}

void close(NativeHandle fd) noexcept { ::close(fd); }

}  // namespace rt::platform

#endif
