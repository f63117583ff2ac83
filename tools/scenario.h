// A scenario for `torva-port check`: a text file, one step a line, read
// whole before anything runs, each mistake reported with its line.
//
//   case NAME                        starts a case (NAME: the rest of the line)
//   write PORT VALUE                 a byte, as `torva-port write`
//   write-word PORT VALUE            a signed word, as `torva-port write-word`
//   expect PORT VALUE [within D]     waits until the byte at PORT reads VALUE
//   expect-word PORT VALUE [within D]  the same for the signed word
//   sleep D                          waits
//
// `#` starts a comment; blank lines are passed over; steps before the
// first `case` form a case named after the file. A duration D is a number
// with ms or s (250ms, 1.5s).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/io.h"

namespace scenario {

using Millis = std::int64_t;

// The longest duration a scenario may name: a day.
inline constexpr Millis kLongestMillis = 24 * 60 * 60 * 1000;

enum class Action { Write, WriteWord, Expect, ExpectWord, Sleep };

// A step on a signed word (PORT and PORT+1) rather than a byte; one that
// waits for a value rather than writing one.
constexpr bool is_word(Action action) { return action == Action::WriteWord || action == Action::ExpectWord; }
constexpr bool is_expect(Action action) { return action == Action::Expect || action == Action::ExpectWord; }

struct Step {
    Action action;
    int line;                      // in the file, from 1
    io::Port port = 0;             // not for sleep
    int value = 0;                 // a byte 0 to 255, or a word -32768 to 32767
    std::optional<Millis> within;  // expect: its own limit, else the run's
    Millis duration = 0;           // sleep
};

inline bool is_word(const Step& step) { return is_word(step.action); }
inline bool is_expect(const Step& step) { return is_expect(step.action); }

struct Case {
    std::string name;
    std::vector<Step> steps;
};

struct Scenario {
    std::string file;  // as named on the command line
    std::vector<Case> cases;
};

// A mistake in a file, "FILE:LINE: message".
struct Problem {
    int line;
    std::string message;
};

struct Reading {
    Scenario scenario;
    std::vector<Problem> problems;  // none when the whole file reads
};

// A scenario from the bytes of its file: UTF-8 (with or without the mark
// Notepad writes) or UTF-16 with its mark; bytes that are not text are
// one problem at line 0.
Reading read(const std::string& file, std::string_view bytes);

// The scenario file named (UTF-8), read whole and read as a scenario; a
// file that cannot be read, a folder or a file over 1 MB is one problem
// at line 0.
Reading read_file(const std::string& file);

// A path from its UTF-8 name, on every system.
std::filesystem::path path_of(const std::string& name);

// "250ms", "1.5s", "0s"; none for anything else or over kLongestMillis.
std::optional<Millis> parse_duration(std::string_view text);

// What is said of a duration that parse_duration() refuses.
std::string invalid_duration(const std::string& text);

}  // namespace scenario
