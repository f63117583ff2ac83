#include "runtime/wine_option.h"

namespace rt::wine {

std::optional<int> use_prefix_from_arguments(const char*, int&, char**) { return std::nullopt; }

}  // namespace rt::wine
