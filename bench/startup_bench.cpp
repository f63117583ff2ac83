// Start-up time of the panel against the bare window: from exec to the
// window mapped on the X server, interleaved runs, medians and their ratio.
// startup_bench PANEL BARE [RUNS [TARGET]]; DISPLAY must name a running X
// server; TARGET is the ratio aimed at (1.20 unless given).
#include <X11/Xlib.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPatienceMs = 20000;

// Waits for the next X event; false when none comes within the patience.
bool next_event(Display* display, XEvent& event) {
    if (XPending(display) == 0) {
        pollfd x{ConnectionNumber(display), POLLIN, 0};
        if (::poll(&x, 1, kPatienceMs) <= 0) return false;
    }
    XNextEvent(display, &event);
    return true;
}

// Milliseconds from fork+exec until a top-level window of the program is
// mapped; negative when it never is.
double time_to_map(Display* display, const char* program) {
    XSync(display, True);  // drop what earlier runs left
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl(program, program, static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    double elapsed = -1;
    for (XEvent event; elapsed < 0 && next_event(display, event);)
        if (event.type == MapNotify && !event.xmap.override_redirect)
            elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    return elapsed;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench PANEL BARE [RUNS [TARGET]]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 7;
    const double target = argc > 4 ? std::atof(argv[4]) : 1.20;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startup_bench: no X display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    const char* programs[] = {argv[1], argv[2]};
    for (const char* program : programs) time_to_map(display, program);  // warm the caches
    std::vector<double> times[2];
    for (int run = 0; run < runs; ++run)
        for (int which = 0; which < 2; ++which) {
            // Alternate which program goes first, so neither always follows the other.
            const int index = (run % 2) ? 1 - which : which;
            const double ms = time_to_map(display, programs[index]);
            if (ms < 0) {
                std::fprintf(stderr, "startup_bench: %s showed no window\n", programs[index]);
                return 1;
            }
            times[index].push_back(ms);
        }
    const double panel = median(times[0]), bare = median(times[1]);
    std::printf("start-up to window mapped, median of %d runs: panel %.1f ms, bare window %.1f ms\n", runs,
                panel, bare);
    std::printf("panel / bare window: %.2fx  (target: at most %.2fx)\n", panel / bare, target);
    XCloseDisplay(display);
    return 0;
}
