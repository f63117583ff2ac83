// What torva-port's commands share: their arguments, exit statuses,
// errors and output.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

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

int cmd_check(const Args& args);
int cmd_record(const Args& args);

}  // namespace command
