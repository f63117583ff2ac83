// A stand-in for a student's program running in the emulator, over the
// port file: stand_in_emulator RIGHT|WRONG DELAY_MS SECONDS. The right one
// doubles the byte at port 110 into 115 and negates the word at 112 into
// 117; the wrong one adds one to the byte and copies the word. Each answer
// comes DELAY_MS after the input is read. It says "running" once, and
// stops after SECONDS.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "io/io.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: stand_in_emulator right|wrong DELAY_MS SECONDS\n");
        return 2;
    }
    const bool right = std::strcmp(argv[1], "right") == 0;
    const auto delay = std::chrono::milliseconds(std::atoi(argv[2]));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[3]));
    std::printf("running\n");
    std::fflush(stdout);
    while (std::chrono::steady_clock::now() < end) {
        const int byte = io::READ_IO_BYTE(110);
        const int word = io::READ_IO_WORD(112);
        std::this_thread::sleep_for(delay);
        io::WRITE_IO_BYTE(115, static_cast<std::uint8_t>(right ? byte * 2 : byte + 1));
        io::WRITE_IO_WORD(117, static_cast<std::int16_t>(right ? -word : word));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return 0;
}
