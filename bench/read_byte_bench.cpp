// One READ_IO_BYTE on an existing port file against the bare floor of the
// same work: open, one-byte read, close, with no checks. Prints the ratio.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "io/io.h"

namespace {

std::string g_path;

void BM_READ_IO_BYTE(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(io::READ_IO_BYTE(115));
}
BENCHMARK(BM_READ_IO_BYTE)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Floor(benchmark::State& state) {
    for (auto _ : state) {
        unsigned char byte = 0;
        int fd = ::open(g_path.c_str(), O_RDWR);
        benchmark::DoNotOptimize(::pread(fd, &byte, 1, 15));
        ::close(fd);
        benchmark::DoNotOptimize(byte);
    }
}
BENCHMARK(BM_Floor)->Repetitions(5)->ReportAggregatesOnly(true);

// Collects the medians so the ratio can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                (run.benchmark_name().find("Floor") != std::string::npos ? floor_ : routine_) =
                    run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    double floor_ = 0, routine_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const auto dir = std::filesystem::current_path() / "bench-tmp";
    std::filesystem::create_directories(dir);
    setenv("TMPDIR", dir.c_str(), 1);
    g_path = (dir / "emu_port.dat").string();
    std::ofstream(g_path, std::ios::binary) << std::string(19, '\x07');

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (reporter.floor_ > 0)
        std::printf("READ_IO_BYTE / floor (median real time): %.2fx  (target: at most 1.50x)\n",
                    reporter.routine_ / reporter.floor_);
    std::filesystem::remove_all(dir);
    return 0;
}
