// The option --wine[=PREFIX]: the program uses the temporary folder of a
// Wine prefix, where an emulator running under Wine keeps its port file.
#pragma once

#include <optional>

namespace rt::wine {

// Takes --wine[=PREFIX] out of the arguments and points the temporary
// directory of this process at the prefix's. Nothing to do without the
// option; an exit status after one line on standard error, naming the
// command, when the prefix or its temporary folder is not there. On
// Windows the programs are in the prefix already and leave the arguments
// as they are.
std::optional<int> use_prefix_from_arguments(const char* command, int& argc, char** argv);

}  // namespace rt::wine
