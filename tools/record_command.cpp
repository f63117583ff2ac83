// torva-port record: a trace of the ports until a time has passed or an
// interrupt comes.
#include <optional>
#include <thread>

#include "runtime/os/os.h"
#include "tools/check.h"
#include "tools/command.h"
#include "tools/port_args.h"
#include "tools/port_trace.h"
#include "tools/scenario.h"

namespace command {

// Sampled as often as check reads a port it waits on, so that a value
// held for a few milliseconds is in the trace.
int cmd_record(const Args& args) {
    using port_args::UsageError;
    using port_trace::Clock;
    std::vector<trace::Channel> channels;
    std::string file;
    trace::Format format = trace::Format::Csv;
    std::optional<scenario::Millis> until;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool valued = args[i] == "--csv" || args[i] == "--vcd" || args[i] == "--for";
        if (valued && i + 1 == args.size()) throw UsageError(args[i] + " needs a value");
        if (args[i] == "--for") {
            until = scenario::parse_duration(args[++i]);
            if (!until) throw UsageError(scenario::invalid_duration(args[i]));
        } else if (args[i] == "--csv" || args[i] == "--vcd") {
            if (!file.empty()) throw UsageError("record writes one file: --csv FILE or --vcd FILE");
            file = args[++i];
            format = args[i - 1] == "--vcd" ? trace::Format::Vcd : trace::Format::Csv;
        } else if (args[i].starts_with("--")) throw UsageError("unknown option '" + args[i] + "'");
        else channels.push_back(trace::parse_channel(args[i]));
    }
    if (channels.empty() || file.empty())
        throw UsageError("record needs PORT... and --csv FILE or --vcd FILE");
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

}  // namespace command
