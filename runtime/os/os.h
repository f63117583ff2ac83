// The operating system: the temporary directory, a byte-addressed file
// handle, the program's arguments, the console, and what the system says
// of a file and of itself. posix/ and win32/ realise it; the build picks
// one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rt::os {

// Separator appended to a directory before a file name.
char path_separator();

// Most characters that the temporary-directory query may return; a
// longer path counts as a failed query.
inline constexpr std::size_t kTempPathCapacity = 498;

// The temporary directory as the system reports it, UTF-8. An empty text
// when the query fails (the file name then resolves against the current
// directory). Raises FileError naming the path when it exceeds the capacity.
std::string temp_directory();

#ifdef _WIN32
using NativeHandle = void*;
#else
using NativeHandle = int;
#endif

// What an access does with the file.
enum class Access { Read, ReadWrite };

// Opens a file for reading alone or for reading and writing, creating it
// when missing, shared with other processes for reading, writing and
// deletion. An open shut out by another process's share mode or lock (an
// emulator holding the file for a moment) is tried again for at most
// kShareRetryMilliseconds. On POSIX it refuses links, FIFOs, devices and
// files of other users. Raises FileError with the system's description.
NativeHandle open_file(const std::string& path, Access access);

// A few milliseconds: far inside the window's 100 ms tick.
inline constexpr int kShareRetryMilliseconds = 5;

// Reads up to one byte at the offset; false when the offset lies past the end.
bool read_byte_at(NativeHandle handle, std::uint64_t offset, std::uint8_t& byte);

// Writes one byte at the offset; a gap past the end fills with zero bytes.
void write_byte_at(NativeHandle handle, std::uint64_t offset, std::uint8_t byte);

std::uint64_t file_size(NativeHandle handle);

void close(NativeHandle handle) noexcept;

// Makes a write past the process's file-size limit fail with an error
// ("File too large") instead of the signal that ends the process, so that
// a caller can report it. Nothing to do where no such signal exists.
void ignore_file_size_signal() noexcept;

// The program's arguments as UTF-8. Windows reads them again as UTF-16
// from the command line: the C runtime's are in the ANSI code page, where
// a letter outside it arrives as "?" and a full-width digit as a plain
// one. Elsewhere they are the arguments as given.
std::vector<std::string> arguments(int argc, char** argv);

// The arguments of os::arguments() as argc and argv, for code that
// takes them so; they last as long as this object.
class Arguments {
public:
    Arguments(int argc, char** argv) : texts_(arguments(argc, argv)) {
        for (std::string& text : texts_) pointers_.push_back(text.data());
        pointers_.push_back(nullptr);
        count_ = static_cast<int>(texts_.size());
    }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;
    int& argc() { return count_; }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
    int count_ = 0;
};

enum class Stream { Output, Error };

// Writes UTF-8 text to standard output or error: to a console as its
// characters, whatever the console's code page, and anywhere else (a
// file, a pipe) as the UTF-8 bytes; a program without standard handles
// (for the Windows desktop) writes to the console it was started from.
// False when it could not be written or there is nowhere to write it.
bool write_text(Stream stream, std::string_view text);

// Makes an interrupt (Ctrl+C; on POSIX SIGINT and SIGTERM too, on Windows
// Ctrl+Break too) ask the program to end rather than end it at once, so
// that a command that writes a file can finish it; interrupted() tells
// whether one came.
void catch_interrupts();
bool interrupted();

// Whether the stream is a terminal that shows ANSI colours: on POSIX any
// terminal; on Windows a console that takes them (Windows 10 and later,
// once asked), never a file or a pipe.
bool is_colour_terminal(Stream stream);

// One fact the system tells of itself, as "name: value".
struct Fact {
    std::string name, value;
    bool operator==(const Fact&) const = default;
};
using Facts = std::vector<Fact>;

// What the system says of a file, read without opening or creating it.
struct FileFacts {
    bool exists = false;
    std::uint64_t size = 0;
    std::string owner;                          // the owning account; empty when unknown
    std::string changed;                        // the last change, local time; empty when unknown
    std::optional<std::int64_t> seconds_since;  // since the last change
    std::string problem;                        // why it could not be read, else empty
};
FileFacts file_facts(const std::string& path);

// The system and its version: on Windows RtlGetVersion's (GetVersionEx
// lies to a program without a manifest that names the newer Windows), and
// Wine's when it runs under Wine; on POSIX uname's.
Facts system_facts();

// The login name of the user who runs the program.
std::string login_name();

}  // namespace rt::os
