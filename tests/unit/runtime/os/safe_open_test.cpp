// The port file lies in a directory that other users may share (/tmp), so
// whatever someone else put there under its name must not be used.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>

#include "io/io.h"
#include "runtime/errors.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using testsupport::Bytes;

constexpr const char* kLinkRefused = "refused, so that nothing is written through a link";

class SafeOpen : public testsupport::TempDirTest {
protected:
    // Both silent routines refuse, and the checked read says why.
    void expect_refused(const std::string& reason) {
        EXPECT_EQ(io::READ_IO_BYTE(115), 0);
        io::WRITE_IO_BYTE(100, 66);
        try {
            io::read_io_byte_checked(100);
            ADD_FAILURE() << "access was not refused";
        } catch (const rt::FileError& error) {
            EXPECT_EQ(error.description(), reason);
        }
    }
};

TEST_F(SafeOpen, RefusesADirectory) {
    fs::create_directory(port_file());
    expect_refused("Is a directory");
}

TEST_F(SafeOpen, AcceptsTheOwnersFileWhateverItsMode) {
    put_ports(16, {{115, 9}});
    fs::permissions(port_file(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                     fs::perms::others_read);
    EXPECT_EQ(io::READ_IO_BYTE(115), 9);
}

// Links, FIFOs and owners are POSIX matters.
#ifndef _WIN32
TEST_F(SafeOpen, DoesNotFollowASymbolicLink) {
    const fs::path victim = dir_ / "victim.txt";
    std::ofstream(victim) << "precious";
    fs::create_symlink(victim, port_file());
    expect_refused(std::string("Is a symbolic link: ") + kLinkRefused);
    std::ifstream in(victim);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "precious");
}

TEST_F(SafeOpen, DoesNotFollowADanglingLink) {
    const fs::path target = dir_ / "created-by-link";
    fs::create_symlink(target, port_file());
    expect_refused(std::string("Is a symbolic link: ") + kLinkRefused);
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(SafeOpen, DoesNotWriteThroughAHardLink) {
    const fs::path notes = dir_ / "notes.txt";
    std::ofstream(notes) << "precious";
    fs::create_hard_link(notes, port_file());
    expect_refused(std::string("Has another name (a hard link): ") + kLinkRefused);
    std::ifstream in(notes);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "precious");
}

TEST_F(SafeOpen, NeverBlocksOnAFifo) {
    ASSERT_EQ(::mkfifo(port_file().c_str(), 0600), 0);
    auto access = std::async(std::launch::async, [this] { expect_refused("Not a regular file"); });
    ASSERT_EQ(access.wait_for(std::chrono::seconds(10)), std::future_status::ready)
        << "the open blocked on a FIFO";
    access.get();
}

TEST_F(SafeOpen, RefusesAFileOfAnotherUser) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    put_ports(1, {{100, 5}});
    ASSERT_EQ(::chown(port_file().c_str(), 65534, 65534), 0);
    expect_refused("File owned by another user");
    EXPECT_EQ(bytes(), Bytes({5}));
}

#endif

}  // namespace
