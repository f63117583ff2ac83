// The port routines over a port file in a fresh TMPDIR.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "io/io.h"
#include "runtime/errors.h"
#include "runtime/message_box.h"
#include "test_support.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

using testsupport::Bytes;
namespace fs = std::filesystem;

constexpr io::Port kMaxPort = std::numeric_limits<io::Port>::max();
constexpr io::Port kMinPort = std::numeric_limits<io::Port>::min();

// Open descriptors of this process, to show that no access leaves one open.
std::size_t open_files() {
    std::size_t count = 0;
#ifdef __linux__
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
#endif
    return count;
}

// Collects what would have been shown in message boxes.
class MessageRecorder {
public:
    MessageRecorder()
        : previous_(rt::set_message_box_handler([this](const std::string& text) { texts.push_back(text); })) {
    }
    ~MessageRecorder() { rt::set_message_box_handler(previous_); }
    std::vector<std::string> texts;

private:
    rt::MessageBoxHandler previous_;
};

TEST(AddTrailingBackslash, LooksOnlyAtTheLastCharacter) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},     {"C:\\TEMP\\", "C:\\TEMP\\"}, {"C:\\TEMP", "C:\\TEMP\\"}, {"/tmp/", "/tmp/\\"},
        {"\\", "\\"}, {"a\\b", "a\\b\\"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(io::add_trailing_backslash(in), out) << in;
}

TEST(AddTrailingSeparator, AppendsTheSlashOnce) {
    EXPECT_EQ(io::add_trailing_separator("/tmp", '/'), "/tmp/");
    EXPECT_EQ(io::add_trailing_separator("/tmp/", '/'), "/tmp/");
    EXPECT_EQ(io::add_trailing_separator("", '/'), "");
}

class PortFile : public testsupport::TempDirTest {};

// Points every variable that names the temporary directory at the path.
void set_temp(const std::string& path) {
    for (const char* name : testsupport::kTempVariables) testsupport::set_env(name, path);
}

#ifdef _WIN32
constexpr const char* kSeparator = "\\";
#else
constexpr const char* kSeparator = "/";
#endif

TEST_F(PortFile, LiesInTheTemporaryDirectoryWithOneSeparator) {
    const std::string expected = dir_.string() + kSeparator + "emu_port.dat";
    EXPECT_EQ(io::port_file_path(), expected);
    set_temp(dir_.string() + kSeparator);
    EXPECT_EQ(io::port_file_path(), expected);
#ifndef _WIN32
    testsupport::set_env("TMPDIR", "");
    EXPECT_EQ(io::port_file_path(), "/tmp/emu_port.dat");
    testsupport::unset_env("TMPDIR");
    EXPECT_EQ(io::port_file_path(), "/tmp/emu_port.dat");
#endif
}

// Windows itself refuses a temporary directory longer than MAX_PATH.
#ifndef _WIN32
TEST_F(PortFile, ATooLongTemporaryDirectoryIsAFailedAccess) {
    const std::string longest = "/" + std::string(497, 'x');
    set_temp(longest);
    EXPECT_EQ(io::port_file_path(), longest + "/emu_port.dat");
    set_temp(longest + "y");
    try {
        io::port_file_path();
        ADD_FAILURE() << "a path beyond 498 characters was taken";
    } catch (const rt::FileError& error) {
        EXPECT_EQ(error.description(),
                  "Temporary directory path longer than 498 characters: " + longest + "y");
    }
    EXPECT_EQ(io::READ_IO_BYTE(115), 0);
}
#endif

TEST_F(PortFile, ReadOfAMissingFileCreatesItEmpty) {
    EXPECT_EQ(io::READ_IO_BYTE(115), 0);
    ASSERT_TRUE(fs::exists(port_file()));
    EXPECT_EQ(fs::file_size(port_file()), 0u);
#ifndef _WIN32
    EXPECT_EQ(fs::status(port_file()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
#endif
}

TEST_F(PortFile, WriteOfAMissingFileFillsTheGapWithZeros) {
    io::WRITE_IO_BYTE(110, 127);
    EXPECT_EQ(bytes(), Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 127}));
}

TEST_F(PortFile, PortPIsTheByteAtOffsetPMinus100) {
    Bytes content(19);
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(200 + i);
    put_bytes(content);
    for (io::Port port : {100, 110, 115, 118}) EXPECT_EQ(io::READ_IO_BYTE(port), 100 + port) << port;
}

TEST_F(PortFile, APortPastTheEndReadsZero) {
    put_ports(16, {{115, 200}});
    EXPECT_EQ(io::READ_IO_BYTE(115), 200);
    put_ports(15, {});
    EXPECT_EQ(io::READ_IO_BYTE(115), 0);
    EXPECT_EQ(fs::file_size(port_file()), 15u);
}

TEST_F(PortFile, PortsWithoutAByteFailSilentlyAndLeaveNothingOpen) {
    const std::size_t before = open_files();
    for (io::Port port : {99, 0, -1, kMinPort, kMinPort + 98, kMinPort + 99}) {
        EXPECT_EQ(io::READ_IO_BYTE(port), 0) << port;
        io::WRITE_IO_BYTE(port, 7);
    }
    EXPECT_TRUE(fs::exists(port_file()));
    EXPECT_EQ(fs::file_size(port_file()), 0u);
    EXPECT_EQ(open_files(), before);
}

TEST_F(PortFile, CheckedAccessSaysWhy) {
    EXPECT_THROW(io::read_io_byte_checked(99), rt::BadRecordNumberError);
    EXPECT_THROW(io::write_io_byte_checked(kMinPort, 1), rt::OverflowError);
    fs::remove_all(dir_);
    try {
        io::read_io_byte_checked(115);
        FAIL();
    } catch (const rt::FileError& error) {
#ifndef _WIN32
        EXPECT_EQ(error.description(), "No such file or directory");
#endif
    }
    EXPECT_EQ(io::READ_IO_BYTE(115), 0);
    io::WRITE_IO_BYTE(110, 1);
    EXPECT_FALSE(fs::exists(dir_));
}

TEST_F(PortFile, WritesAndReadsBackEveryByteAtTheExtremes) {
    for (int value : {0, 1, 127, 128, 255}) {
        io::WRITE_IO_BYTE(110, static_cast<std::uint8_t>(value));
        EXPECT_EQ(io::READ_IO_BYTE(110), value);
        EXPECT_EQ(bytes().at(10), value);
    }
    io::WRITE_IO_BYTE(115, 42);  // a port the panel only reads can be written
    EXPECT_EQ(io::READ_IO_BYTE(115), 42);
    EXPECT_EQ(bytes().size(), 16u);
}

TEST_F(PortFile, WritingNeverTruncates) {
    put_ports(30, {{129, 9}});
    io::WRITE_IO_BYTE(100, 5);
    EXPECT_EQ(bytes().size(), 30u);
    EXPECT_EQ(bytes().front(), 5);
    EXPECT_EQ(bytes().back(), 9);
}

struct WordBytes {
    int low;
    int high;
    int word;
};

void PrintTo(const WordBytes& w, std::ostream* os) { *os << w.word; }

class WordPort : public testsupport::TempDirTest, public ::testing::WithParamInterface<WordBytes> {};

TEST_P(WordPort, ReadsAndWritesTheTwosComplementPattern) {
    const auto [low, high, word] = GetParam();
    put_ports(19, {{117, low}, {118, high}});
    EXPECT_EQ(io::READ_IO_WORD(117), word);
    io::WRITE_IO_WORD(112, static_cast<std::int16_t>(word));
    EXPECT_EQ(bytes().at(12), low);
    EXPECT_EQ(bytes().at(13), high);
    EXPECT_EQ(io::READ_IO_WORD(112), word);
}

INSTANTIATE_TEST_SUITE_P(Signs, WordPort,
                         ::testing::Values(WordBytes{52, 18, 4660}, WordBytes{255, 255, -1},
                                           WordBytes{0, 128, -32768}, WordBytes{255, 127, 32767},
                                           WordBytes{1, 0, 1}, WordBytes{0, 1, 256}, WordBytes{254, 255, -2},
                                           WordBytes{44, 1, 300}, WordBytes{0, 0, 0},
                                           WordBytes{251, 255, -5}));

class Word : public testsupport::TempDirTest {};

TEST_F(Word, AHighByteBeyondTheEndReadsAsZero) {
    put_ports(18, {{117, 200}});
    EXPECT_EQ(io::READ_IO_WORD(117), 200);
}

TEST_F(Word, AFailedLowByteLeavesTheHighByte) {
    put_ports(19, {{118, 18}});
    EXPECT_EQ(io::READ_IO_WORD(99), 0);  // both bytes of ports 99 and 100 fail or are 0
    EXPECT_EQ(io::READ_IO_WORD(117), 4608);
    put_ports(2, {{100, 18}});
    EXPECT_EQ(io::READ_IO_WORD(99), 4608);  // port 99 fails, port 100 holds 18
    io::WRITE_IO_WORD(99, 0x0102);          // only the high byte lands
    EXPECT_EQ(bytes(), Bytes({1, 0}));
}

TEST_F(Word, RoundTripsAtTheHighestPorts) {
    for (io::Port port : {100, 1000, kMaxPort - 1}) {
        if (port > 100000) {
            // A sparse file of 2 GiB: check that the file system allows it.
            io::WRITE_IO_BYTE(port, 1);
            if (io::READ_IO_BYTE(port) != 1) GTEST_SKIP() << "no 2 GiB file here";
        }
        for (std::int16_t value : {std::int16_t{-32768}, std::int16_t{-1}, std::int16_t{32767}}) {
            io::WRITE_IO_WORD(port, value);
            EXPECT_EQ(io::READ_IO_WORD(port), value) << port;
        }
    }
}

// The low byte's access creates the missing file before port + 1 overflows.
TEST_F(Word, ThePortAfterTheLastOverflowsAfterTheLowByte) {
    const std::function<void()> accesses[] = {
        [] { io::READ_IO_WORD(kMaxPort); },
        [] { io::WRITE_IO_WORD(kMaxPort, 1); },
        [] { io::read_io_word_checked(kMaxPort); },
    };
    for (const auto& access : accesses) {
        fs::remove(port_file());
        EXPECT_THROW(access(), rt::OverflowError);
        EXPECT_TRUE(fs::exists(port_file()));
    }
}

#ifndef _WIN32
// A file-size limit that lets the low byte land and refuses the high one:
// the low byte goes first, and the error names it.
TEST_F(Word, ACheckedWriteCutShortNamesTheByteWritten) {
    put_ports(12, {});
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 13;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    std::string description;
    try {
        io::write_io_word_checked(112, -1234);
    } catch (const rt::FileError& error) {
        description = error.description();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(description, "File too large; only the low byte was written: port 112 holds 46 now");
    EXPECT_EQ(bytes(), Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 46}));
}
#endif

TEST(MakeSignedInt, TurnsUnsignedPatternsIntoSignedValues) {
    const std::pair<std::int32_t, int> cases[] = {{0, 0},      {32767, 32767}, {32768, -32768},
                                                  {65535, -1}, {-1, -1},       {-32768, -32768}};
    MessageRecorder boxes;
    for (auto [in, out] : cases) EXPECT_EQ(io::make_signed_int(in), out) << in;
    EXPECT_TRUE(boxes.texts.empty());
}

TEST(MakeSignedInt, ReportsOutOfRangeAndYieldsZero) {
    MessageRecorder boxes;
    EXPECT_EQ(io::make_signed_int(65536), 0);
    EXPECT_EQ(io::make_signed_int(-32769), 0);
    EXPECT_EQ(boxes.texts, (std::vector<std::string>{"Wrong param calling make_signed_int(): 65536",
                                                     "Wrong param calling make_signed_int(): -32769"}));
}

TEST(MakeIntFromBytes, CombinesLowAndHigh) {
    MessageRecorder boxes;
    for (int low = 0; low < 256; low += 51)
        for (int high = 0; high < 256; high += 17)
            EXPECT_EQ(
                io::make_int_from_bytes(static_cast<std::uint8_t>(low), static_cast<std::uint8_t>(high)),
                static_cast<std::int16_t>(low + high * 256));
    EXPECT_TRUE(boxes.texts.empty());
}

}  // namespace
