// The option --wine[=PREFIX], taken out of the arguments on every system.
#include "runtime/wine/option.h"

#include "runtime/errors.h"
#include "runtime/wine/prefix.h"

namespace rt::wine {
namespace {

constexpr int kExitNoPrefix = 1;

}  // namespace

std::optional<int> use_prefix_from_arguments(const char* command, int& argc, char** argv, const Say& say) {
    try {
        if (const std::optional<std::string> given = take_option(argc, argv))
            use_prefix(command, *given, say);
        return std::nullopt;
    } catch (const Error& error) {
        say(std::string(command) + ": --wine: " + error.description());
        return kExitNoPrefix;
    }
}

}  // namespace rt::wine
