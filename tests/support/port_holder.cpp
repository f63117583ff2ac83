// A stand-in for an emulator that holds the port file open for short
// stretches with a given share mode: port_holder PATH SHARE ON_MS OFF_MS
// BOUND_MS, SHARE one of read, none, read-write. It says "holding" once it
// first holds the file, and runs until PATH.stop exists; then it prints
// how many accesses its over-long stretches could have shut out: for each
// stretch that lasted BOUND_MS or more (a busy machine stretches a sleep),
// one plus one per further BOUND_MS.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

DWORD share_mode(const char* name) {
    if (std::strcmp(name, "read") == 0) return FILE_SHARE_READ;
    if (std::strcmp(name, "read-write") == 0) return FILE_SHARE_READ | FILE_SHARE_WRITE;
    return 0;
}

double now_ms() {
    LARGE_INTEGER frequency{}, count{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return 1000.0 * double(count.QuadPart) / double(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) return 2;
    const std::string path = argv[1], stop = path + ".stop";
    const DWORD share = share_mode(argv[2]);
    const DWORD on = DWORD(std::atoi(argv[3])), off = DWORD(std::atoi(argv[4]));
    const double bound = std::atof(argv[5]);
    long shut_out = 0, stretches = 0;
    for (bool said = false; GetFileAttributesA(stop.c_str()) == INVALID_FILE_ATTRIBUTES; Sleep(off)) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        const double start = now_ms();
        Sleep(on);
        CloseHandle(file);
        const double held = now_ms() - start;
        ++stretches;
        if (held >= bound) shut_out += 1 + long(held / bound);
        if (!said) std::printf("holding\n");
        said = true;
        std::fflush(stdout);
    }
    std::printf("stretches %ld could shut out %ld\n", stretches, shut_out);
    return 0;
}
