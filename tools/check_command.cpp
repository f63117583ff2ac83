// torva-port check: scenarios run against the program in the emulator,
// through the port routines, and their reports.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>

#include "io/io.h"
#include "runtime/errors.h"
#include "runtime/os/os.h"
#include "tools/check.h"
#include "tools/check_report.h"
#include "tools/command.h"
#include "tools/port_args.h"
#include "tools/port_trace.h"
#include "tools/report_file.h"
#include "tools/scenario.h"

namespace command {
namespace {

using port_args::UsageError;
using port_trace::Clock;
using port_trace::millis_since;

// The options of check, and its scenario files.
struct CheckOptions {
    scenario::Millis timeout = 2000;
    std::optional<scenario::Millis> limit;  // the whole run's
    bool tap = false;
    std::string junit, trace;
    std::vector<std::string> files;
};

scenario::Millis duration_option(const std::string& text) {
    const auto millis = scenario::parse_duration(text);
    if (!millis) throw UsageError(scenario::invalid_duration(text));
    return *millis;
}

// A report must not take the place of a scenario, nor of the other report.
void refuse_outputs_among_inputs(const CheckOptions& options) {
    for (const std::string* output : {&options.junit, &options.trace}) {
        if (output->empty()) continue;
        for (const std::string& file : options.files)
            if (report_file::same_file(*output, file))
                throw UsageError(*output + " is the scenario " + file +
                                 ": a report never replaces a scenario");
    }
    if (!options.junit.empty() && !options.trace.empty() &&
        report_file::same_file(options.junit, options.trace))
        throw UsageError("--junit and --trace name the same file, " + options.trace);
}

// The operands are the scenario files.
CheckOptions check_options(const CLI::App& command, const CheckOptions& read, const std::string& timeout,
                           const std::string& limit, const Args& operands) {
    CheckOptions options = read;
    if (given(command, "--timeout", timeout)) options.timeout = duration_option(timeout);
    if (given(command, "--limit", limit)) options.limit = duration_option(limit);
    given(command, "--junit", options.junit);
    given(command, "--trace", options.trace);
    refuse_unknown_options(operands);
    options.files = operands;
    if (options.files.empty()) throw UsageError("check needs a scenario file: check [OPTIONS] SCENARIO...");
    refuse_outputs_among_inputs(options);
    return options;
}

// A file's mistakes, "FILE:LINE: message" each; past the first few, their count.
std::string told(const std::string& file, const std::vector<scenario::Problem>& problems) {
    constexpr std::size_t kShown = 10;
    std::string text;
    for (std::size_t i = 0; i < std::min(problems.size(), kShown); ++i) {
        const scenario::Problem& p = problems[i];
        text += file + (p.line > 0 ? ":" + std::to_string(p.line) : "") + ": " + p.message + "\n";
    }
    if (problems.size() > kShown)
        text += file + ": " + std::to_string(problems.size() - kShown) + " more mistakes\n";
    return text;
}

// Every file read whole, or a ScenarioError with what is wrong in each.
std::vector<scenario::Scenario> read_scenarios(const std::vector<std::string>& files) {
    std::vector<scenario::Scenario> scenarios;
    std::string problems;
    for (const std::string& file : files) {
        scenario::Reading reading = scenario::read_file(file);
        problems += told(file, reading.problems);
        scenarios.push_back(std::move(reading.scenario));
    }
    if (!problems.empty()) throw ScenarioError(problems);
    return scenarios;
}

// Every port the scenarios name, bytes and words, in the order first named.
std::vector<trace::Channel> channels_of(const std::vector<scenario::Scenario>& scenarios) {
    std::vector<trace::Channel> channels;
    for (const scenario::Scenario& s : scenarios)
        for (const scenario::Case& c : s.cases)
            for (const scenario::Step& step : c.steps) {
                const trace::Channel channel{step.port, scenario::is_word(step)};
                if (step.action != scenario::Action::Sleep &&
                    std::find(channels.begin(), channels.end(), channel) == channels.end())
                    channels.push_back(channel);
            }
    return channels;
}

// Why the run must end now: an interrupt, or its limit.
std::string stop_reason(Clock::time_point start, std::optional<scenario::Millis> limit) {
    if (rt::os::interrupted()) return "the check was stopped (Ctrl+C or a termination signal)";
    if (limit && millis_since(start) >= *limit)
        return "the run's limit of " + std::to_string(*limit) + " ms was reached";
    return "";
}

// The ports as check reaches them, through the routines of the commands;
// with a trace, sampled after each read and write and every few
// milliseconds of a wait. A wait ends early when the run must stop.
check::World port_world(Clock::time_point start, const CheckOptions& options, port_trace::Trace* trace) {
    const auto sample = [trace] {
        try {
            if (trace) trace->sample();
        } catch (const rt::Error&) {
            // the check in hand reports the port file's failure
        }
    };
    const auto stop = [start, limit = options.limit] { return stop_reason(start, limit); };
    return {
        [sample](const scenario::Step& s) {
            const int value = scenario::is_word(s) ? int{io::read_io_word_checked(s.port)}
                                                   : int{io::read_io_byte_checked(s.port)};
            sample();
            return value;
        },
        [sample](const scenario::Step& s) {
            if (scenario::is_word(s)) io::write_io_word_checked(s.port, std::int16_t(s.value));
            else io::write_io_byte_checked(s.port, std::uint8_t(s.value));
            sample();
        },
        [start] { return millis_since(start); },
        [sample, stop](scenario::Millis millis) {
            const auto until = Clock::now() + std::chrono::milliseconds(millis);
            const auto slice = std::chrono::milliseconds(check::kPollMillis);
            for (auto now = Clock::now(); now < until && stop().empty(); now = Clock::now()) {
                std::this_thread::sleep_for(std::min<Clock::duration>(slice, until - now));
                sample();
            }
        },
        stop,
    };
}

int status_of(const std::vector<check::ScenarioRun>& runs) {
    const check::Counts counts = check::count(runs);
    return counts.errors > 0 ? kExitNotMade : counts.failed > 0 ? kExitFailed : kExitOk;
}

// Runs scenarios against the program in the emulator: every file is read,
// and every report's folder tried, before any port is written. Stopped by
// an interrupt or its limit, it still reports whole.
int run_check(const CheckOptions& options) {
    const std::vector<scenario::Scenario> scenarios = read_scenarios(options.files);
    std::optional<report_file::ReportFile> junit;
    if (!options.junit.empty()) junit.emplace(options.junit);
    const auto start = Clock::now();
    std::optional<port_trace::Trace> trace;
    if (!options.trace.empty())
        trace.emplace(options.trace, trace::format_of(options.trace), channels_of(scenarios), start);
    rt::os::catch_interrupts();
    const std::vector<check::ScenarioRun> runs =
        check::run(scenarios, port_world(start, options, trace ? &*trace : nullptr), options.timeout);
    if (trace) trace->finish();
    // Colour on a terminal, unless NO_COLOR is set to anything (no-color.org).
    const char* no_colour = std::getenv("NO_COLOR");
    const bool colour = rt::os::is_colour_terminal(rt::os::Stream::Output) && !(no_colour && *no_colour);
    out(options.tap ? check::tap_report(runs) : check::text_report(runs, colour));
    if (junit) {
        junit->stream() << check::junit_report(runs);
        junit->commit();
    }
    return status_of(runs);
}

}  // namespace

Runner check_command(CLI::App& command) {
    struct Read {
        CheckOptions options;
        std::string timeout, limit;
    };
    const auto read = std::make_shared<Read>();
    const auto last = CLI::MultiOptionPolicy::TakeLast;
    command.add_option("--timeout", read->timeout)->multi_option_policy(last);
    command.add_option("--limit", read->limit)->multi_option_policy(last);
    command.add_flag("--tap", read->options.tap);
    command.add_option("--junit", read->options.junit)->multi_option_policy(last);
    command.add_option("--trace", read->options.trace)->multi_option_policy(last);
    return [&command, read](const Args& operands) {
        return run_check(check_options(command, read->options, read->timeout, read->limit, operands));
    };
}

}  // namespace command
