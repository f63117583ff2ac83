// The option --wine[=PREFIX]: the program uses the temporary folder of a
// Wine prefix, where an emulator running under Wine keeps its port file.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace rt::wine {

// Whether the programs run beside Wine prefixes (POSIX: --wine points them
// at one) rather than inside one (Windows). posix/ and win32/ say.
bool beside_prefixes();

// Where a line for the user goes (without its line end).
using Say = std::function<void(const std::string& line)>;

// Takes --wine[=PREFIX] out of the arguments and points the temporary
// directory of this process at the prefix's. Nothing to do without the
// option; an exit status after one line, naming the command, when the
// option names no prefix or the prefix or its temporary folder is not
// there. On Windows the programs are in the prefix already: the option is
// said to be needless and the program goes on.
std::optional<int> use_prefix_from_arguments(const char* command, int& argc, char** argv, const Say& say);

// What the option does on this system with the prefix it names (empty: the
// default one). Raises Error when the prefix cannot be used.
void use_prefix(const char* command, const std::string& given, const Say& say);

}  // namespace rt::wine
