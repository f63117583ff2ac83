// Reports written whole.
#include "tools/report_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "tools/port_args.h"
#include "tools/scenario.h"

namespace report_file {
namespace fs = std::filesystem;

namespace {

// A name beside NAME that no other run takes: the time and a count.
std::string part_name(const std::string& name) {
    static std::atomic<unsigned> count{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return name + ".part-" + std::to_string(now) + "-" + std::to_string(count++);
}

}  // namespace

ReportFile::ReportFile(const std::string& name) : name_(name), part_(part_name(name)) {
    out_.open(scenario::path_of(part_), std::ios::binary | std::ios::trunc);
    if (!out_) throw port_args::UsageError(name + ": cannot be written: " + std::strerror(errno));
}

ReportFile::~ReportFile() {
    if (committed_) return;
    out_.close();
    std::error_code ignored;
    fs::remove(scenario::path_of(part_), ignored);
}

void ReportFile::commit() {
    if (committed_) return;
    out_.close();
    if (!out_) throw WriteError(name_ + ": write error");
    std::error_code error;
    fs::rename(scenario::path_of(part_), scenario::path_of(name_), error);
    if (error) throw WriteError(name_ + ": " + error.message());
    committed_ = true;
}

bool same_file(const std::string& a, const std::string& b) {
    const fs::path first = scenario::path_of(a), second = scenario::path_of(b);
    std::error_code error;
    if (fs::equivalent(first, second, error)) return true;
    const fs::path one = fs::weakly_canonical(first, error);
    if (error) return false;
    const fs::path other = fs::weakly_canonical(second, error);
    return !error && one == other;
}

}  // namespace report_file
