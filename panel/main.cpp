// torva-inout: the device panel.
#include <memory>

#include "panel/form1.h"
#include "runtime/wine_option.h"

int main(int argc, char** argv) {
    if (const auto status = rt::wine::use_prefix_from_arguments("torva-inout", argc, argv)) return *status;
    return rt::ui::start(argc, argv, [] { return std::make_unique<panel::Form1>(); });
}
