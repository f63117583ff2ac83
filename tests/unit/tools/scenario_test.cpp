// The scenarios of torva-port check: what each line reads as, each
// mistake with its line, and the run against ports that a test plays.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "runtime/errors.h"
#include "tools/check.h"
#include "tools/check_report.h"
#include "tools/scenario.h"

namespace {

using scenario::Action;

// A reading told in one line: each case's name and steps, or the problems.
std::string told(const scenario::Reading& reading) {
    std::string text;
    for (const scenario::Problem& p : reading.problems)
        text += std::to_string(p.line) + ": " + p.message + "\n";
    if (!text.empty()) return text;
    static const char* const kNames[] = {"write", "write-word", "expect", "expect-word", "sleep"};
    for (const scenario::Case& c : reading.scenario.cases) {
        text += "[" + c.name + "]";
        for (const scenario::Step& s : c.steps) {
            text += std::string(" ") + kNames[static_cast<int>(s.action)] + "@" + std::to_string(s.line);
            text += s.action == Action::Sleep ? " " + std::to_string(s.duration)
                                              : " " + std::to_string(s.port) + "=" + std::to_string(s.value);
            if (s.within) text += "/" + std::to_string(*s.within);
        }
    }
    return text;
}

TEST(Scenario, ReadsEveryStepAndEveryMistakeWithItsLine) {
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        {"write 110 21\nexpect 115 42\n", "[lab.txt] write@1 110=21 expect@2 115=42"},
        {"\xEF\xBB\xBF# a comment\n\ncase doubles a byte  \nwrite 110 &H15 # hex\nexpect 115 &O52 within "
         "250ms\n",
         "[doubles a byte] write@4 110=21 expect@5 115=42/250"},
        {"write-word 112 -1000\r\nexpect-word 117 1000 within 1.5s\r\nsleep 0.5s\n",
         "[lab.txt] write-word@1 112=-1000 expect-word@2 117=1000/1500 sleep@3 500"},
        {"write 110 1\ncase a\ncase b\nsleep 0ms", "[lab.txt] write@1 110=1[a][b] sleep@4 0"},
        {"wirte 110 1\n", "1: unknown step 'wirte'\n"},
        {"case\n", "1: a case needs a name: case NAME\n"},
        {"write 99 1\nexpect 115 300\nwrite-word 112 40000\nwrite 10000100 1\nexpect-word 65535 1\n",
         "1: invalid port '99': a whole number from 100 to 65535 is expected\n2: 300 is not a byte (0 to "
         "255)\n"
         "3: 40000 is not a word (-32768 to 32767)\n"
         "4: invalid port '10000100': a whole number from 100 to 65535 is expected\n"
         "5: invalid port '65535': a whole number from 100 to 65534 is expected (a word takes PORT and "
         "PORT+1)\n"},
        {"write 110 1 2\nexpect 115 2.5\nwrite 110 2.5\n",
         "1: one value too many: write PORT VALUE\n"
         "2: invalid value '2.5': a value expected is a whole number\n"},
        {"expect 115\nexpect 115 1 within\nexpect 115 1 after 2s\n",
         "1: expected expect PORT VALUE [within DURATION]\n2: expected expect PORT VALUE [within DURATION]\n"
         "3: expected expect PORT VALUE [within DURATION]\n"},
        {"sleep 5\nsleep 1.5.0s\nsleep -1s\nsleep 25h\nsleep 86401s\n",
         "1: invalid duration '5': a number with ms or s is expected (250ms, 1.5s), up to a day\n"
         "2: invalid duration '1.5.0s': a number with ms or s is expected (250ms, 1.5s), up to a day\n"
         "3: invalid duration '-1s': a number with ms or s is expected (250ms, 1.5s), up to a day\n"
         "4: invalid duration '25h': a number with ms or s is expected (250ms, 1.5s), up to a day\n"
         "5: invalid duration '86401s': a number with ms or s is expected (250ms, 1.5s), up to a day\n"},
        {"write 110 0x7F\n",
         "1: invalid value '0x7F': one number is expected (decimal, &H hexadecimal or &O octal)\n"},
        {"# nothing yet\ncase empty\n", "0: has no steps\n"},
        // Notepad's "Unicode" (UTF-16 after its mark); names shown safe to
        // print and to put in XML: escapes escaped, Latin-1 as U+FFFD.
        {"\xFF\xFE"
         "c\0a\0s\0e\0 \0\xD7\x05\n\0s\0l\0e\0e\0p\0 \0"
         "1\0s\0"s,
         "[\u05d7] sleep@2 1000"},
        {"w\0r\0i\0t\0e\0 \0"s, "0: UTF-16 without its byte order mark: save it as UTF-8\n"},
        {"\x7F"
         "ELF\x02\x01\x01\0\0\0"s,
         "0: not a text file\n"},
        {"case \x1B[2Jred\ncase caf\xE9\nsleep 1s\n", "[\\x1B[2Jred][caf\uFFFD] sleep@3 1000"},
        {"\x1B]0;owned\x07 110 1\n", "1: unknown step '\\x1B]0;owned\\x07'\n"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(told(scenario::read("lab.txt", text)), expected) << text;
}

// Ports a test plays: each port's value from a given time on, else what
// the check last wrote there.
struct PlayedPorts {
    std::map<int, std::vector<std::pair<check::Millis, int>>> changes;  // port: (from, value)
    std::map<int, std::string> broken;                                  // port: the system's reason
    check::Millis clock = 0;
    check::Millis limit = 1'000'000;  // the run's
    std::map<int, int> written;

    check::World world() {
        return {[this](const scenario::Step& s) {
                    if (broken.count(s.port)) throw rt::FileError(broken[s.port]);
                    int value = written[s.port];
                    for (const auto& [from, v] : changes[s.port])
                        if (from <= clock) value = v;
                    return value;
                },
                [this](const scenario::Step& s) {
                    if (broken.count(s.port)) throw rt::FileError(broken[s.port]);
                    written[s.port] = s.value;
                },
                [this] { return clock; }, [this](check::Millis m) { clock += m; },
                [this] { return clock >= limit ? std::string("stopped") : std::string(); }};
    }
};

// What a run tells of a right, a wrong, a stopped and a missing program,
// and of a port file that fails.
TEST(Check, WaitsForEachValueAndTellsAFailureFromACheckNotMade) {
    constexpr const char* kLab =
        "case doubles a byte\nwrite 110 21\nexpect 115 42 within 300ms\nexpect 116 1\n"
        "case negates a word\nwrite-word 112 1000\nexpect-word 117 -1000\n"
        "case broken\nwrite 120 1\nexpect 121 1\n";
    const std::string no_answer =
        std::string("no program answered: nothing but this check wrote the port file");
    struct Row {
        std::function<void(PlayedPorts&)> program;
        std::string report;
    } rows[] = {
        {[](PlayedPorts& p) {
             p.changes[115] = {{0, 41}, {230, 42}};  // the program answers after 230 ms
             p.broken[120] = "Permission denied";
         },
         "ok  doubles a byte: port 115 = 42 after 230 ms\n"
         "FAIL doubles a byte: port 116 is 0, expected 1 (waited 2000 ms) at lab3.txt:4\n"
         "FAIL negates a word: port 117/118 is 0, expected -1000 (waited 2000 ms) at lab3.txt:7\n"
         "ERROR broken: port 120 could not be written: Permission denied at lab3.txt:9\n"
         "ERROR broken: port 121 = 1 not checked: the port file cannot be used: Permission denied\n"
         "1 passed, 2 failed, 2 errors\n"
         "ERROR the check could not be made: the port file cannot be used: Permission denied\n"},
        {[](PlayedPorts& p) {
             // Answers left behind by a program that ended: cleared, and never given again.
             p.written = {{115, 42}, {116, 1}, {117, -1000}, {121, 1}};
         },
         "ERROR doubles a byte: port 115 = 42 not checked: " + no_answer + "\n" +
             "ERROR doubles a byte: port 116 = 1 not checked: " + no_answer + "\n" +
             "ERROR negates a word: port 117/118 = -1000 not checked: " + no_answer + "\n" +
             "ERROR broken: port 121 = 1 not checked: " + no_answer + "\n" +
             "0 passed, 0 failed, 4 errors\nERROR the check could not be made: " + no_answer + "\n"},
        {[](PlayedPorts& p) {
             p.changes[115] = {{0, 42}};
             p.limit = 1000;
         },
         "ok  doubles a byte: port 115 = 42 after 0 ms\n"
         "ERROR doubles a byte: port 116 = 1 not checked: stopped (it read 0 after 1000 ms) at lab3.txt:4\n"
         "ERROR negates a word: port 117/118 = -1000 not checked: stopped\n"
         "ERROR broken: port 121 = 1 not checked: stopped\n"
         "1 passed, 0 failed, 3 errors\nERROR the check could not be made: stopped\n"},
        {[](PlayedPorts& p) { p.broken[115] = "Is a directory"; },
         "ERROR doubles a byte: port 115 = 42 not checked: the port file cannot be used: Is a directory\n"
         "ERROR doubles a byte: port 116 = 1 not checked: the port file cannot be used: Is a directory\n"
         "ERROR negates a word: port 117/118 = -1000 not checked: the port file cannot be used: Is a "
         "directory\n"
         "ERROR broken: port 121 = 1 not checked: the port file cannot be used: Is a directory\n"
         "0 passed, 0 failed, 4 errors\n"
         "ERROR the check could not be made: the port file cannot be used: Is a directory\n"},
    };
    const auto reading = scenario::read("lab3.txt", kLab);
    ASSERT_TRUE(reading.problems.empty());
    const std::vector<scenario::Scenario> scenarios = {reading.scenario};  // the runs point into it
    for (const Row& row : rows) {
        PlayedPorts ports;
        row.program(ports);
        const auto runs = check::run(scenarios, ports.world(), 2000);
        EXPECT_EQ(check::text_report(runs, false), row.report);
    }
}

}  // namespace
