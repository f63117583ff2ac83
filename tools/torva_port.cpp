// torva-port: read and write the emulator's ports from a shell, through the
// same port routines as the panel.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>

#include "io/io.h"
#include "runtime/errors.h"
#include "runtime/number.h"
#include "runtime/os/os.h"
#include "runtime/wine/option.h"
#include "tools/command.h"
#include "tools/diagnose.h"
#include "tools/port_args.h"
#include "tools/report_file.h"

#ifndef TORVA_VERSION
#define TORVA_VERSION "unknown"
#endif

namespace {

using namespace command;

constexpr auto kWatchInterval = std::chrono::milliseconds(100);

using port_args::kLastPort;
using port_args::parse_port;
using port_args::RangeError;
using port_args::UsageError;

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

struct Command {
    std::string_view name;
    std::size_t min_args;
    std::size_t max_args;
    Runner (*declare)(CLI::App&);  // its options, and what runs it
    const char* synopsis;          // after the name; a line of its own after "\n"
    const char* summary;           // lines of at most 54 characters
};

// A command without options.
template <int (*run)(const Args&)>
Runner plain(CLI::App&) {
    return run;
}

constexpr std::size_t kMany = std::numeric_limits<std::size_t>::max();

constexpr Command kCommands[] = {
    {"path", 0, 0, plain<cmd_path>, "", "full path of the port file"},
    {"read", 1, 1, plain<cmd_read>, "PORT", "the byte at PORT, decimal"},
    {"read-word", 1, 1, plain<cmd_read_word>, "PORT", "the signed word at PORT (low) and PORT+1 (high)"},
    {"write", 2, 2, plain<cmd_write>, "PORT VALUE", "write VALUE as an unsigned byte (0 to 255)"},
    {"write-word", 2, 2, plain<cmd_write_word>, "PORT VALUE",
     "write VALUE as a signed word (-32768 to 32767), low\nbyte first"},
    {"dump", 0, 2, plain<cmd_dump>, "[FIRST [LAST]]", "port, port in hex, value in decimal, hex and binary"},
    {"watch", 1, kMany, plain<cmd_watch>, "PORT...", "each port's value, then a line each time one changes"},
    {"diagnose", 0, 0, plain<cmd_diagnose>, "",
     "where the port file is, whether something writes it,\nwhether the panel can open it (and the Wine "
     "prefixes\nwith one), for when the panel shows 0"},
    {"check", 0, kMany, check_command,
     "[--timeout D] [--limit D] [--tap] [--junit FILE]\n        [--trace FILE] SCENARIO...",
     "run each scenario against the program in the\nemulator: set the ports it expects to 0, write ports,\n"
     "wait for the values expected (--limit: the whole\nrun's time; --trace FILE.vcd or FILE.csv keeps the\n"
     "ports' trace)"},
    {"record", 0, kMany, record_command, "PORT... (--csv FILE | --vcd FILE) [--for D]",
     "a trace of the ports (a word as 117/118) until D has\npassed or Ctrl+C"},
};

// "  NAME SYNOPSIS" and its summary beside it, or under it when it is long.
std::string usage_entry(const std::string& head, std::string_view summary) {
    constexpr std::size_t kColumn = 26;
    std::string text = "  " + head;
    std::size_t at = 0;
    for (bool first = true; at <= summary.size(); first = false) {
        const std::size_t end = std::min(summary.find('\n', at), summary.size());
        const bool under = !first || head.find('\n') != std::string::npos || text.size() >= kColumn;
        if (under) text += "\n" + std::string(kColumn, ' ');
        else text += std::string(kColumn - text.size(), ' ');
        text += summary.substr(at, end - at);
        at = end + 1;
    }
    return text + "\n";
}

std::string usage() {
    std::string text = "usage: torva-port [--wine[=PREFIX]] COMMAND [ARGS]\n\n";
    for (const Command& c : kCommands) {
        const std::string head = std::string(c.name) + (*c.synopsis ? " " : "") + c.synopsis;
        text += usage_entry(head, c.summary);
    }
    return text + "  --help | --version\n" +
           usage_entry("--wine[=PREFIX]",
                       "use the temporary folder of the Wine prefix (else\n$WINEPREFIX, else ~/.wine), where "
                       "an emulator under\nWine keeps the port file") +
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
           "error (nothing written), 3 the check could not be made (the port file\n"
           "cannot be used, no program answered, the check was stopped or its limit\n"
           "reached).\n";
}

int dispatch(const Args& words) {
    if (words.empty()) throw UsageError("no command given");
    if (words[0] == "--help" || words[0] == "-h") {
        out(usage());
        return kExitOk;
    }
    if (words[0] == "--version") {
        out("torva-port " TORVA_VERSION "\n");
        return kExitOk;
    }
    // The commands as CLI11's subcommands, each with the options it
    // declares; what is not an option is an operand, counted here.
    CLI::App app{"torva-port"};
    app.set_help_flag();
    app.allow_extras();
    app.require_subcommand(0, 1);
    std::vector<std::pair<CLI::App*, Runner>> commands;
    for (const Command& command : kCommands) {
        CLI::App* sub = app.add_subcommand(std::string(command.name));
        sub->set_help_flag();
        sub->allow_extras();
        commands.emplace_back(sub, command.declare(*sub));
    }
    std::vector<std::string> reversed(words.rbegin(), words.rend());  // as CLI11 takes them
    try {
        app.parse(reversed);
    } catch (const CLI::ArgumentMismatch& error) {
        const std::string what = error.what();
        if (what.find("missing") == std::string::npos) throw UsageError(what);
        throw UsageError(what.substr(0, what.find(':')) + " needs a value");
    } catch (const CLI::ParseError& error) {
        throw UsageError(error.what());
    }
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const auto& [sub, runner] = commands[i];
        if (!sub->parsed()) continue;
        Args args = sub->remaining();
        const Args after = app.remaining();  // after "--"
        args.insert(args.end(), after.begin(), after.end());
        // A shell (cmd too) ends the command at an unquoted &: "write 110
        // &H7E" arrives as "write 110". Only commands that take numbers
        // can get too few.
        if (args.size() < kCommands[i].min_args)
            throw UsageError("wrong number of arguments for '" + words[0] + "' (quote &H values: \"&H7E\")");
        if (args.size() > kCommands[i].max_args)
            throw UsageError(port_args::too_many(args.size() - kCommands[i].max_args) + " for '" + words[0] +
                             "'");
        return runner(args);
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
    } catch (const report_file::WriteError& error) {
        err(std::string("torva-port: ") + error.what() + '\n');
        return kExitAccess;
    }
}
