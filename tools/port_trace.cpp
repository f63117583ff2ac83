// The ports' trace.
#include "tools/port_trace.h"

#include "io/io.h"

#ifndef TORVA_VERSION
#define TORVA_VERSION "unknown"
#endif

namespace port_trace {

trace::Millis millis_since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

Trace::Trace(const std::string& file, trace::Format format, std::vector<trace::Channel> channels,
             Clock::time_point start)
    : file_(file),
      channels_(std::move(channels)),
      start_(start),
      writer_(trace::make_writer(format, file_.stream(), channels_, "torva-port " TORVA_VERSION)) {}

Trace::~Trace() {
    try {
        finish();
    } catch (const report_file::WriteError&) {
    }
}

// Each row is timed when its reads begin: on a busy machine the reads
// themselves may take longer than a millisecond.
void Trace::sample() {
    const trace::Millis at = millis_since(start_);
    std::vector<int> values;
    for (const trace::Channel& c : channels_)
        values.push_back(c.word ? int{io::read_io_word_checked(c.port)}
                                : int{io::read_io_byte_checked(c.port)});
    writer_->sample(at, values);
}

void Trace::finish() {
    if (finished_) return;
    finished_ = true;
    writer_->finish(millis_since(start_));
    file_.commit();
}

}  // namespace port_trace
