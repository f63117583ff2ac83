// torva-inout: the device panel.
#include <memory>

#include "panel/application.h"
#include "panel/form1.h"
#include "runtime/wine_option.h"

int main(int argc, char** argv) {
    if (const auto status = rt::wine::use_prefix_from_arguments(panel::kApplication.command, argc, argv))
        return *status;
    return rt::ui::start(panel::kApplication, argc, argv, [] { return std::make_unique<panel::Form1>(); });
}
