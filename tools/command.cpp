// What torva-port's commands share.
#include "tools/command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "runtime/os/os.h"

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

}  // namespace command
