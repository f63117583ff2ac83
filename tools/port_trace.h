// The ports' trace that check --trace and record keep: the channels read
// through the port routines and written to a file as they change.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tools/report_file.h"
#include "tools/trace.h"

namespace port_trace {

using Clock = std::chrono::steady_clock;

trace::Millis millis_since(Clock::time_point start);

// A trace of the channels into a file, sampled when asked; the file is
// complete and in place when the trace ends, by an error too.
class Trace {
public:
    Trace(const std::string& file, trace::Format format, std::vector<trace::Channel> channels,
          Clock::time_point start);
    // Completes the file when an error ends the command; the error is the one told.
    ~Trace();
    // Times count from now on.
    void restart() { start_ = Clock::now(); }
    // Reads every channel; raises rt::Error when the port file fails.
    void sample();
    // Marks the end time; raises report_file::WriteError.
    void finish();

private:
    report_file::ReportFile file_;
    std::vector<trace::Channel> channels_;
    Clock::time_point start_;
    std::unique_ptr<trace::Writer> writer_;
    bool finished_ = false;
};

}  // namespace port_trace
