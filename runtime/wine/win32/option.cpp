// --wine in the Windows programs, which run inside a prefix already.
#include "runtime/wine/option.h"

namespace rt::wine {

bool beside_prefixes() { return false; }

// A Windows program, under Wine too, already looks in the temporary folder
// of the system it runs on, which is where the emulator beside it keeps the
// port file: the option is said to be needless, and the program goes on.
void use_prefix(const char* command, const std::string&, const Say& say) {
    say(std::string(command) +
        ": --wine is ignored: a Windows program finds the port file in the "
        "temporary folder (%TEMP%) of the system it runs on");
}

}  // namespace rt::wine
