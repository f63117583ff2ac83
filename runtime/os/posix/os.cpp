// The operating system on POSIX: TMPDIR, pread/pwrite on a descriptor,
// the arguments and the console.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/errors.h"
#include "runtime/os/os.h"

namespace rt::os {
namespace {

[[noreturn]] void raise_errno(int error) { throw FileError(std::strerror(error)); }

constexpr const char* kLinkRefused = "refused, so that nothing is written through a link";

// O_NOFOLLOW fails with ELOOP on a symbolic link; say that it is one,
// refused on purpose, rather than "Too many levels of symbolic links".
[[noreturn]] void raise_open_error(const std::string& path, int error) {
    struct stat info = {};
    if (error == ELOOP && ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode))
        throw FileError(std::string("Is a symbolic link: ") + kLinkRefused);
    raise_errno(error);
}

// A port file must be a regular file of our own with no other name: on a
// shared /tmp anyone could have put a FIFO, a device or somebody else's
// file there first, and a hard link would write into another file.
void check_owned_regular(int fd) {
    struct stat info = {};
    if (::fstat(fd, &info) != 0) raise_errno(errno);
    if (!S_ISREG(info.st_mode)) throw FileError("Not a regular file");
    if (info.st_uid != ::geteuid()) throw FileError("File owned by another user");
    if (info.st_nlink > 1) throw FileError(std::string("Has another name (a hard link): ") + kLinkRefused);
}

}  // namespace

char path_separator() { return '/'; }

std::string temp_directory() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = (dir != nullptr && *dir != '\0') ? dir : "/tmp";
    if (path.size() > kTempPathCapacity) raise_path_too_long(path, kTempPathCapacity);
    return path;
}

// POSIX shares every file and knows no share modes: nothing shuts an open out.
NativeHandle open_file(const std::string& path, Access access) {
    // No link is followed and a FIFO never blocks the open.
    const int mode = access == Access::Read ? O_RDONLY : O_RDWR;
    int fd = ::open(path.c_str(), mode | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) raise_open_error(path, errno);
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
    struct stat info = {};
    if (::fstat(fd, &info) != 0) raise_errno(errno);
    return static_cast<std::uint64_t>(info.st_size);
}

void close(NativeHandle fd) noexcept { ::close(fd); }

void ignore_file_size_signal() noexcept { std::signal(SIGXFSZ, SIG_IGN); }

std::vector<std::string> arguments(int argc, char** argv) { return {argv, argv + argc}; }

bool write_text(Stream stream, std::string_view text) {
    std::FILE* file = stream == Stream::Output ? stdout : stderr;
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

namespace {
volatile std::sig_atomic_t interrupt_seen = 0;
extern "C" void on_interrupt(int) { interrupt_seen = 1; }
}  // namespace

void catch_interrupts() {
    struct sigaction action = {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM}) ::sigaction(signal, &action, nullptr);
}

bool interrupted() { return interrupt_seen != 0; }

bool is_colour_terminal(Stream stream) { return ::isatty(stream == Stream::Output ? 1 : 2) == 1; }

}  // namespace rt::os
