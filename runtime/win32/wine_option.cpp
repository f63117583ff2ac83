#include <iostream>

#include "runtime/wine_option.h"
#include "runtime/wine_prefix.h"

namespace rt::wine {

// A Windows program, under Wine too, already looks in the temporary folder
// of the system it runs on, which is where the emulator beside it keeps the
// port file: the option is taken out, said to be needless, and the program
// goes on.
std::optional<int> use_prefix_from_arguments(const char* command, int& argc, char** argv) {
    if (!take_option(argc, argv)) return std::nullopt;
    std::cerr << command
              << ": --wine is ignored: a Windows program finds the port file in the "
                 "temporary folder (%TEMP%) of the system it runs on\n";
    return std::nullopt;
}

}  // namespace rt::wine
