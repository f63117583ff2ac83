// What torva-port's commands share: their arguments, exit statuses,
// errors and output.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace command {

using Args = std::vector<std::string>;

inline constexpr int kExitOk = 0;
inline constexpr int kExitAccess = 1;   // the port file, or the output, could not be used
inline constexpr int kExitFailed = 1;   // check: a check failed
inline constexpr int kExitUsage = 2;    // usage, range or scenario error: nothing written
inline constexpr int kExitNotMade = 3;  // check: the check could not be made

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

// Standard output and error through the runtime, which gives a console
// the characters and anything else the UTF-8 bytes; `out` raises OutputError.
void out(const std::string& text);
void err(const std::string& text);

// Everything printed must have reached standard output; raises OutputError.
void check_output();

// What runs a command, given its operands: the words that are not its
// options (CLI11 reads those).
using Runner = std::function<int(const Args& operands)>;

// check and record declare their options on their subcommand, and give
// back what runs them with the values read.
Runner check_command(CLI::App& command);
Runner record_command(CLI::App& command);

// Whether an option was given, with a value that is not empty; raises
// port_args::UsageError ("--junit needs a value") for an empty one.
bool given(const CLI::App& command, const std::string& option, const std::string& value);

// Raises port_args::UsageError for an operand that is an option no
// command knows ("-t").
void refuse_unknown_options(const Args& operands);

}  // namespace command
