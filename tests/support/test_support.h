// A fresh temporary directory per test, set as TMPDIR, so no test touches
// the developer's own port file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace testsupport {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

inline void set_env(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

inline void unset_env(const char* name) {
#ifdef _WIN32
    _putenv_s(name, "");
#else
    unsetenv(name);
#endif
}

#ifndef _WIN32
// The system's temporary folder as it was before any test set TMPDIR:
// TMPDIR when it is short, else /tmp. A socket's path (a Wayland display,
// an accessibility bus) has room for 107 bytes, so a test's folder stays
// short wherever the tree was cloned.
inline const fs::path& system_temp_directory() {
    static const fs::path base = [] {
        const char* tmp = std::getenv("TMPDIR");
        return tmp && *tmp == '/' && std::string(tmp).size() <= 40 ? fs::path(tmp) : fs::path("/tmp");
    }();
    return base;
}
#endif

// A new, empty folder of the test's own.
inline fs::path fresh_directory() {
#ifdef _WIN32
    static int counter = 0;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
    for (char& c : name)
        if (c == '/') c = '_';
    // Under the build tree, never under the developer's own temp directory.
    fs::path dir = (fs::path(TORVA_TEST_SCRATCH) / (name + "." + std::to_string(counter++))).make_preferred();
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
#else
    // A private folder (mode 700, a name no other run has) in the system's
    // temporary folder: a new one for each test, however many run at once.
    std::string pattern = (system_temp_directory() / "torva-test.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder in " + pattern);
    return fs::path(pattern);
#endif
}

// The variables that name the temporary directory: TMPDIR on POSIX, TMP
// and then TEMP for the Windows query.
inline constexpr const char* kTempVariables[] = {"TMPDIR", "TMP", "TEMP"};

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fresh_directory();
        for (const char* name : kTempVariables) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            set_env(name, dir_.string());
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) set_env(name, *value);
            else unset_env(name);
        }
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    fs::path port_file() const { return dir_ / "emu_port.dat"; }

    Bytes bytes() const {
        std::ifstream in(port_file(), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    void put_bytes(const Bytes& content) const {
        std::ofstream out(port_file(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(content.data()),
                  static_cast<std::streamsize>(content.size()));
    }

    // The port file with the given bytes at the given offsets, zeros elsewhere.
    void put_ports(std::size_t length, std::initializer_list<std::pair<int, int>> ports) const {
        Bytes content(length, 0);
        for (auto [port, value] : ports)
            content.at(static_cast<std::size_t>(port - 100)) = static_cast<std::uint8_t>(value);
        put_bytes(content);
    }

    fs::path dir_;
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

}  // namespace testsupport
