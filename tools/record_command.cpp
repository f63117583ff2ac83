// torva-port record: a trace of the ports until a time has passed or an
// interrupt comes.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <thread>

#include "runtime/os/os.h"
#include "tools/check.h"
#include "tools/command.h"
#include "tools/port_args.h"
#include "tools/port_trace.h"
#include "tools/scenario.h"

namespace command {
namespace {

using port_args::UsageError;
using port_trace::Clock;

// Sampled as often as check reads a port it waits on, so that a value
// held for a few milliseconds is in the trace.
int run_record(const std::vector<trace::Channel>& channels, const std::string& file, trace::Format format,
               std::optional<scenario::Millis> until) {
    rt::os::catch_interrupts();
    port_trace::Trace trace(file, format, channels, Clock::now());
    trace.restart();
    const auto begun = Clock::now();
    const auto interval = std::chrono::milliseconds(check::kPollMillis);
    for (auto tick = begun;
         !rt::os::interrupted() && !(until && port_trace::millis_since(begun) >= *until);) {
        trace.sample();
        tick += interval;
        if (const auto now = Clock::now(); tick < now)
            tick = now;  // a slow read: no rush of samples after it
        std::this_thread::sleep_until(tick);
    }
    trace.finish();
    return kExitOk;
}

}  // namespace

// The operands are the ports.
Runner record_command(CLI::App& command) {
    struct Read {
        std::string csv, vcd, for_;
    };
    const auto read = std::make_shared<Read>();
    const auto last = CLI::MultiOptionPolicy::TakeLast;
    command.add_option("--csv", read->csv)->multi_option_policy(last);
    command.add_option("--vcd", read->vcd)->multi_option_policy(last);
    command.add_option("--for", read->for_)->multi_option_policy(last);
    return [&command, read](const Args& operands) {
        std::optional<scenario::Millis> until;
        if (given(command, "--for", read->for_)) {
            until = scenario::parse_duration(read->for_);
            if (!until) throw UsageError(scenario::invalid_duration(read->for_));
        }
        const bool csv = given(command, "--csv", read->csv), vcd = given(command, "--vcd", read->vcd);
        if (csv && vcd) throw UsageError("record writes one file: --csv FILE or --vcd FILE");
        refuse_unknown_options(operands);
        std::vector<trace::Channel> channels;
        for (const std::string& operand : operands) channels.push_back(trace::parse_channel(operand));
        if (channels.empty() || !(csv || vcd))
            throw UsageError("record needs PORT... and --csv FILE or --vcd FILE");
        return run_record(channels, csv ? read->csv : read->vcd,
                          vcd ? trace::Format::Vcd : trace::Format::Csv, until);
    };
}

}  // namespace command
