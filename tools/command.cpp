// What torva-port's commands share.
#include "tools/command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <CLI/CLI.hpp>

#include "runtime/os/os.h"
#include "tools/port_args.h"

namespace command {

void out(const std::string& text) {
    if (!rt::os::write_text(rt::os::Stream::Output, text)) throw OutputError("write error");
}

void err(const std::string& text) { rt::os::write_text(rt::os::Stream::Error, text); }

void check_output() {
    errno = 0;
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout);
    if (failed) throw OutputError(errno != 0 ? std::strerror(errno) : "write error");
}

bool given(const CLI::App& command, const std::string& option, const std::string& value) {
    if (command.count(option) == 0) return false;
    if (value.empty()) throw port_args::UsageError(option + " needs a value");
    return true;
}

void refuse_unknown_options(const Args& operands) {
    for (const std::string& operand : operands)
        if (operand.starts_with("-") && operand.size() > 1)
            throw port_args::UsageError("unknown option '" + operand + "'");
}

}  // namespace command
