// torva-inout: the device panel.
#include <memory>

#include "panel/application.h"
#include "panel/form1.h"
#include "runtime/ui/start.h"

int main(int argc, char** argv) {
    return rt::ui::start(panel::kApplication, argc, argv, [] { return std::make_unique<panel::Form1>(); });
}
