// A trace of ports over time, as `torva-port record` and `check --trace`
// keep it: CSV (a line at each change) or VCD (IEEE 1364 value changes,
// which GTKWave and PulseView open), times in milliseconds from the start.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "io/io.h"

namespace trace {

using Millis = std::int64_t;

// A byte port ("115") or a signed word at a port and the next ("117/118").
struct Channel {
    io::Port port;
    bool word;
    std::string name() const;
    bool operator==(const Channel&) const = default;
};

// "115" or "117/118"; raises port_args::UsageError for anything else.
Channel parse_channel(const std::string& text);

enum class Format { Csv, Vcd };

// The format a file's name asks for: .vcd, else CSV.
Format format_of(const std::string& file);

// Writes the header at once and a record at each change of a value;
// `finish` marks the end time.
class Writer {
public:
    virtual ~Writer() = default;
    // The values of every channel, in the channels' order, at a time.
    void sample(Millis at, const std::vector<int>& values);
    virtual void finish(Millis at) = 0;

protected:
    explicit Writer(std::ostream& out, std::vector<Channel> channels)
        : out_(out), channels_(std::move(channels)) {}
    virtual void changed(Millis at, const std::vector<int>& values, const std::vector<bool>& which) = 0;
    std::ostream& out_;
    std::vector<Channel> channels_;

private:
    std::vector<int> last_;
};

std::unique_ptr<Writer> make_writer(Format format, std::ostream& out, const std::vector<Channel>& channels,
                                    const std::string& version);

}  // namespace trace
