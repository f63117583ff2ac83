// The start routine with the window system this build realises the window
// layer with; kept apart from startup.cpp, which the start routine's tests
// run over a window system of their own.
#include "runtime/platform.h"
#include "runtime/startup.h"

namespace rt::ui {

int start(const Application& application, int argc, char** argv,
          const std::function<std::unique_ptr<Program>()>& load) {
    platform::Arguments arguments(argc, argv);
    return startup::run(application, arguments.argc(), arguments.argv(), load, startup::begin_window_system);
}

}  // namespace rt::ui
