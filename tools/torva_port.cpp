// torva-port: read and write the emulator's ports from a shell, through the
// same port routines as the panel.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "io/io.h"
#include "runtime/errors.h"
#include "runtime/number.h"
#include "runtime/os/os.h"
#include "runtime/wine/option.h"
#include "tools/check.h"
#include "tools/check_report.h"
#include "tools/diagnose.h"
#include "tools/port_args.h"
#include "tools/trace.h"

#ifndef TORVA_VERSION
#define TORVA_VERSION "unknown"
#endif

namespace {

constexpr int kExitOk = 0;
constexpr int kExitAccess = 1;
constexpr int kExitUsage = 2;
constexpr int kExitFailed = 1;  // check: a check failed
constexpr auto kWatchInterval = std::chrono::milliseconds(100);

constexpr const char* kUsage =
    "usage: torva-port [--wine[=PREFIX]] COMMAND [ARGS]\n"
    "\n"
    "  path                    full path of the port file\n"
    "  read PORT               the byte at PORT, decimal\n"
    "  read-word PORT          the signed word at PORT (low) and PORT+1 (high)\n"
    "  write PORT VALUE        write VALUE as an unsigned byte (0 to 255)\n"
    "  write-word PORT VALUE   write VALUE as a signed word (-32768 to 32767), low byte first\n"
    "  dump [FIRST [LAST]]     port, port in hex, value in decimal, hex and binary\n"
    "  watch PORT...           each port's value, then a line each time one changes\n"
    "  diagnose                where the port file is, whether something writes it,\n"
    "                          whether the panel can open it (and the Wine prefixes\n"
    "                          with one), for when the panel shows 0\n"
    "  check [--timeout D] [--tap] [--junit FILE] [--trace FILE] SCENARIO...\n"
    "                          run each scenario against the program in the\n"
    "                          emulator: write ports, wait for the values expected\n"
    "                          (--trace FILE.vcd or FILE.csv keeps the ports' trace)\n"
    "  record PORT... (--csv FILE | --vcd FILE) [--for D]\n"
    "                          a trace of the ports (a word as 117/118) until D has\n"
    "                          passed or Ctrl+C\n"
    "  --help | --version\n"
    "  --wine[=PREFIX]         use the temporary folder of the Wine prefix (else\n"
    "                          $WINEPREFIX, else ~/.wine), where an emulator under\n"
    "                          Wine keeps the port file\n"
    "\n"
    "PORT is a whole number from 100 to 65535 (for a word to 65534), decimal or\n"
    "&H hexadecimal.\n"
    "VALUE is one number as the panel reads a field: decimal (fraction and\n"
    "exponent allowed), &H hexadecimal or &O octal; blanks inside are ignored.\n"
    "Quote &H and &O numbers in double quotes, which cmd, PowerShell and a POSIX\n"
    "shell all take: torva-port write 110 \"&H7E\"\n"
    "Exit status: 0 done, 1 the port file (or the Wine prefix's temporary folder)\n"
    "could not be accessed or the output could not be written, 2 usage or range\n"
    "error. check: 0 every check passed, 1 a check failed, 2 a usage or scenario\n"
    "error (nothing written).\n";

using port_args::kLastPort;
using port_args::parse_port;
using port_args::RangeError;
using port_args::UsageError;
using Args = std::vector<std::string>;

// A scenario that does not read: its lines, each "FILE:LINE: message".
class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Standard output could not be written (a full disk, /dev/full).
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Everything printed must have reached standard output.
void check_output() {
    errno = 0;
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout);
    if (failed) throw OutputError(errno != 0 ? std::strerror(errno) : "write error");
}

// Standard output and error through the runtime, which gives a console
// the characters and anything else the UTF-8 bytes.
void out(const std::string& text) {
    if (!rt::os::write_text(rt::os::Stream::Output, text)) throw OutputError("write error");
}

void err(const std::string& text) { rt::os::write_text(rt::os::Stream::Error, text); }

std::string binary(std::uint8_t value) {
    std::string bits;
    for (int bit = 7; bit >= 0; --bit) bits += (value >> bit) & 1 ? '1' : '0';
    return bits;
}

int cmd_path(const Args&) {
    out(io::port_file_path() + '\n');
    return kExitOk;
}

int cmd_read(const Args& args) {
    out(std::to_string(io::read_io_byte_checked(parse_port(args[0]))) + '\n');
    return kExitOk;
}

int cmd_read_word(const Args& args) {
    out(std::to_string(io::read_io_word_checked(parse_port(args[0], kLastPort - 1))) + '\n');
    return kExitOk;
}

int cmd_write(const Args& args) {
    const io::Port port = parse_port(args[0]);
    const std::uint8_t value = port_args::parse_byte(args[1]);
    io::write_io_byte_checked(port, value);
    return kExitOk;
}

int cmd_write_word(const Args& args) {
    const io::Port port = parse_port(args[0], kLastPort - 1);
    const std::int16_t value = port_args::parse_word(args[1]);
    io::write_io_word_checked(port, value);
    return kExitOk;
}

// Every port asked for is listed, one past the end of the file as 0, as
// read gives it; without LAST the list runs to the end of the file, and
// at least FIRST is listed.
int cmd_dump(const Args& args) {
    const io::Port first = args.empty() ? io::kFirstPort : parse_port(args[0]);
    std::int64_t last = args.size() > 1 ? parse_port(args[1]) : 0;
    if (args.size() > 1 && last < first) throw UsageError("LAST is below FIRST");
    if (args.size() < 2) {
        const std::int64_t file_end = io::kFirstPort + std::int64_t(io::port_file_length()) - 1;
        last = args.empty() ? file_end : std::max<std::int64_t>(first, file_end);
    }
    if (last > kLastPort) last = kLastPort;
    for (std::int64_t port = first; port <= last; ++port) {
        const std::uint8_t value = io::read_io_byte_checked(static_cast<io::Port>(port));
        char line[80];
        std::snprintf(line, sizeof line, "%lld  %llXH  %3u  %02XH  %s\n", static_cast<long long>(port),
                      static_cast<long long>(port), unsigned{value}, unsigned{value}, binary(value).c_str());
        out(line);
        if (std::ferror(stdout)) check_output();  // stop at the first failed write
    }
    return kExitOk;
}

int cmd_watch(const Args& args) {
    std::vector<io::Port> ports;
    for (const auto& arg : args) ports.push_back(parse_port(arg));
    std::map<io::Port, int> shown;  // -1: nothing shown yet
    for (;;) {
        for (io::Port port : ports) {
            const int value = io::read_io_byte_checked(port);
            auto [place, fresh] = shown.try_emplace(port, -1);
            if (place->second == value) continue;
            place->second = value;
            out(std::to_string(port) + ' ' + std::to_string(value) + '\n');
            check_output();
        }
        std::this_thread::sleep_for(kWatchInterval);
    }
}

// What a teacher needs when the panel shows 0: where the port file is,
// whether something writes it, whether the panel's opens get through.
int cmd_diagnose(const Args&) {
    const std::string folder = rt::os::temp_directory(), path = io::port_file_path();
    const diagnose::FileFacts facts = rt::os::file_facts(path);
    std::vector<std::string> opens;
    if (facts.exists)
        for (auto access : {rt::os::Access::Read, rt::os::Access::ReadWrite})
            opens.push_back(diagnose::try_open(path, access));
    out(diagnose::report(diagnose::port_file_lines(folder, path, facts, opens), diagnose::system_lines(),
                         diagnose::window_lines(), diagnose::wine_prefixes(io::kPortFileName)));
    return kExitOk;
}

// The options of check, and its scenario files.
struct CheckOptions {
    scenario::Millis timeout = 2000;
    bool tap = false;
    std::string junit, trace;
    std::vector<std::string> files;
};

using Clock = std::chrono::steady_clock;

trace::Millis millis_since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// A file named on the command line, opened for writing before any port is.
std::ofstream output_file(const std::string& name) {
    std::ofstream file(scenario::path_of(name), std::ios::binary);
    if (!file) throw UsageError(name + ": cannot be written: " + std::strerror(errno));
    return file;
}

// A trace of the channels into a file, sampled when asked; the file is
// complete and closed when the trace ends, by an error too.
class Trace {
public:
    Trace(const std::string& file, trace::Format format, std::vector<trace::Channel> channels,
          Clock::time_point start)
        : name_(file),
          out_(output_file(file)),
          channels_(std::move(channels)),
          start_(start),
          writer_(trace::make_writer(format, out_, channels_, "torva-port " TORVA_VERSION)) {}
    // Completes the file when an error ends the command; the error is the one told.
    ~Trace() {
        try {
            finish();
        } catch (const OutputError&) {
        }
    }
    // Times count from now on.
    void restart() { start_ = Clock::now(); }
    // Each row is timed when its reads begin: on a busy machine the reads
    // themselves may take longer than a millisecond.
    void sample() {
        const trace::Millis at = millis_since(start_);
        std::vector<int> values;
        for (const trace::Channel& c : channels_)
            values.push_back(c.word ? int{io::read_io_word_checked(c.port)}
                                    : int{io::read_io_byte_checked(c.port)});
        writer_->sample(at, values);
    }
    void finish() {
        if (finished_) return;
        finished_ = true;
        writer_->finish(millis_since(start_));
        out_.close();
        if (!out_) throw OutputError(name_ + ": write error");
    }

private:
    std::string name_;
    std::ofstream out_;
    std::vector<trace::Channel> channels_;
    Clock::time_point start_;
    std::unique_ptr<trace::Writer> writer_;
    bool finished_ = false;
};

CheckOptions check_options(const Args& args) {
    CheckOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool valued = arg == "--timeout" || arg == "--junit" || arg == "--trace";
        if (valued && i + 1 == args.size()) throw UsageError(arg + " needs a value");
        if (arg == "--tap") options.tap = true;
        else if (arg == "--junit") options.junit = args[++i];
        else if (arg == "--trace") options.trace = args[++i];
        else if (arg == "--timeout") {
            const auto millis = scenario::parse_duration(args[++i]);
            if (!millis)
                throw UsageError("invalid duration '" + args[i] + "': a number with ms or s is expected");
            options.timeout = *millis;
        } else if (arg.starts_with("-") && arg.size() > 1) throw UsageError("unknown option '" + arg + "'");
        else options.files.push_back(arg);
    }
    if (options.files.empty()) throw UsageError("check needs a scenario file: check [OPTIONS] SCENARIO...");
    return options;
}

// Every port the scenarios name, bytes and words, in the order first named.
std::vector<trace::Channel> channels_of(const std::vector<scenario::Scenario>& scenarios) {
    std::vector<trace::Channel> channels;
    for (const scenario::Scenario& s : scenarios)
        for (const scenario::Case& c : s.cases)
            for (const scenario::Step& step : c.steps) {
                const bool word =
                    step.action == scenario::Action::WriteWord || step.action == scenario::Action::ExpectWord;
                const trace::Channel channel{step.port, word};
                if (step.action != scenario::Action::Sleep &&
                    std::find(channels.begin(), channels.end(), channel) == channels.end())
                    channels.push_back(channel);
            }
    return channels;
}

// The ports as check reaches them, through the routines of the commands;
// with a trace, sampled after each read and write and every few
// milliseconds of a wait.
check::World port_world(Clock::time_point start, Trace* trace) {
    const auto sample = [trace] {
        try {
            if (trace) trace->sample();
        } catch (const rt::Error&) {
            // the check in hand reports the port file's failure
        }
    };
    return {
        [sample](const scenario::Step& s) {
            const int value = s.action == scenario::Action::ExpectWord
                                  ? int{io::read_io_word_checked(s.port)}
                                  : int{io::read_io_byte_checked(s.port)};
            sample();
            return value;
        },
        [sample](const scenario::Step& s) {
            if (s.action == scenario::Action::WriteWord)
                io::write_io_word_checked(s.port, std::int16_t(s.value));
            else io::write_io_byte_checked(s.port, std::uint8_t(s.value));
            sample();
        },
        [start] { return millis_since(start); },
        [sample, trace](scenario::Millis millis) {
            const auto until = Clock::now() + std::chrono::milliseconds(millis);
            const auto slice = std::chrono::milliseconds(trace ? check::kPollMillis : millis);
            for (auto now = Clock::now(); now < until; now = Clock::now()) {
                std::this_thread::sleep_for(std::min<Clock::duration>(slice, until - now));
                sample();
            }
        },
    };
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

// Runs scenarios against the program in the emulator: every file is read
// before any port is written; 0 when every check passed, 1 when one failed.
int cmd_check(const Args& args) {
    const CheckOptions options = check_options(args);
    std::vector<scenario::Scenario> scenarios;
    std::string problems;
    for (const std::string& file : options.files) {
        scenario::Reading reading = scenario::read_file(file);
        problems += told(file, reading.problems);
        scenarios.push_back(std::move(reading.scenario));
    }
    if (!problems.empty()) throw ScenarioError(problems);
    // The JUnit file is written when the run ends; here only tried, so that
    // one that cannot be written stops the run before any port is written,
    // and an older one stays as it was if the trace file cannot be.
    const bool junit_existed =
        !options.junit.empty() && std::filesystem::exists(scenario::path_of(options.junit));
    if (!options.junit.empty() && !std::ofstream(scenario::path_of(options.junit), std::ios::app))
        throw UsageError(options.junit + ": cannot be written: " + std::strerror(errno));
    const auto start = Clock::now();
    std::optional<Trace> trace;
    try {
        if (!options.trace.empty())
            trace.emplace(options.trace, trace::format_of(options.trace), channels_of(scenarios), start);
    } catch (const UsageError&) {
        if (!options.junit.empty() && !junit_existed)
            std::filesystem::remove(scenario::path_of(options.junit));
        throw;
    }
    std::vector<check::ScenarioRun> runs;
    const check::World world = port_world(start, trace ? &*trace : nullptr);
    for (const scenario::Scenario& s : scenarios) runs.push_back(check::run(s, world, options.timeout));
    if (trace) trace->finish();
    // Colour on a terminal, unless NO_COLOR is set to anything (no-color.org).
    const char* no_colour = std::getenv("NO_COLOR");
    const bool colour = rt::os::is_colour_terminal(rt::os::Stream::Output) && !(no_colour && *no_colour);
    out(options.tap ? check::tap_report(runs) : check::text_report(runs, colour));
    if (!options.junit.empty() && !(output_file(options.junit) << check::junit_report(runs) << std::flush))
        throw OutputError(options.junit + ": write error");
    return check::count(runs).failed > 0 ? kExitFailed : kExitOk;
}

// A trace of the ports until --for has passed or an interrupt comes.
int cmd_record(const Args& args) {
    std::vector<trace::Channel> channels;
    std::string file;
    trace::Format format = trace::Format::Csv;
    std::optional<scenario::Millis> until;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool valued = args[i] == "--csv" || args[i] == "--vcd" || args[i] == "--for";
        if (valued && i + 1 == args.size()) throw UsageError(args[i] + " needs a value");
        if (args[i] == "--for") {
            until = scenario::parse_duration(args[++i]);
            if (!until)
                throw UsageError("invalid duration '" + args[i] + "': a number with ms or s is expected");
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
    Trace trace(file, format, channels, Clock::now());
    trace.restart();
    const auto begun = Clock::now();
    for (auto tick = begun; !rt::os::interrupted() && !(until && millis_since(begun) >= *until);) {
        trace.sample();
        tick += kWatchInterval;
        while (Clock::now() < tick && !rt::os::interrupted())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    trace.finish();
    return kExitOk;
}

struct Command {
    std::string_view name;
    std::size_t min_args;
    std::size_t max_args;
    int (*run)(const Args&);
};

constexpr std::size_t kMany = std::numeric_limits<std::size_t>::max();

constexpr Command kCommands[] = {
    {"path", 0, 0, cmd_path},
    {"read", 1, 1, cmd_read},
    {"read-word", 1, 1, cmd_read_word},
    {"write", 2, 2, cmd_write},
    {"write-word", 2, 2, cmd_write_word},
    {"dump", 0, 2, cmd_dump},
    {"watch", 1, kMany, cmd_watch},
    {"diagnose", 0, 0, cmd_diagnose},
    {"check", 0, kMany, cmd_check},
    {"record", 1, kMany, cmd_record},
};

int dispatch(const Args& words) {
    if (words.empty()) throw UsageError("no command given");
    if (words[0] == "--help" || words[0] == "-h") {
        out(kUsage);
        return kExitOk;
    }
    if (words[0] == "--version") {
        out("torva-port " TORVA_VERSION "\n");
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (words[0] != command.name) continue;
        const Args args(words.begin() + 1, words.end());
        const std::string wrong_count = "wrong number of arguments for '" + words[0] + "'";
        // A shell (cmd too) ends the command at an unquoted &: "write 110
        // &H7E" arrives as "write 110". Only commands that take numbers
        // can get too few.
        if (args.size() < command.min_args) throw UsageError(wrong_count + " (quote &H values: \"&H7E\")");
        if (args.size() > command.max_args)
            throw UsageError(port_args::too_many(args.size() - command.max_args) + " for '" + words[0] + "'");
        return command.run(args);
    }
    throw UsageError("unknown command '" + words[0] + "'");
}

// Names the port file in an access error, when its path can be found at all.
std::string access_subject() {
    try {
        return io::port_file_path() + ": ";
    } catch (const rt::Error&) {
        return "";  // the error itself names the temporary directory
    }
}

int run(const Args& words) {
    const int status = dispatch(words);
    check_output();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    rt::os::Arguments arguments(argc, argv);  // UTF-8, on Windows from UTF-16
    argc = arguments.argc();
    argv = arguments.argv();
    // Under a file-size limit a write then fails and is reported with
    // status 1, rather than the process dying silently half-way into a word.
    rt::os::ignore_file_size_signal();
    const auto say = [](const std::string& line) { err(line + '\n'); };
    if (const auto status = rt::wine::use_prefix_from_arguments("torva-port", argc, argv, say))
        return *status;
    try {
        return run(Args(argv + 1, argv + argc));
    } catch (const ScenarioError& error) {
        err(error.what());
        return kExitUsage;
    } catch (const RangeError& error) {
        err(std::string("torva-port: ") + error.what() + '\n');
        return kExitUsage;
    } catch (const UsageError& error) {
        err(std::string("torva-port: ") + error.what() + "\n(torva-port --help lists the commands)\n");
        return kExitUsage;
    } catch (const rt::Error& error) {
        err("torva-port: " + access_subject() + error.description() + '\n');
        return kExitAccess;
    } catch (const OutputError& error) {
        err(std::string("torva-port: standard output: ") + error.what() + '\n');
        return kExitAccess;
    }
}
