// torva-inout: the device panel.
#include <memory>

#include "panel/form1.h"

int main(int argc, char** argv) {
    return rt::ui::start(argc, argv, [] { return std::make_unique<panel::Form1>(); });
}
