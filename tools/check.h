// The run of `torva-port check`: each case's steps in order against the
// ports, each expect waiting for its value, what came of each check.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/scenario.h"

namespace check {

using scenario::Millis;

// How often an expect reads its port: a value the program holds for 20 ms
// is seen at least three times.
inline constexpr Millis kPollMillis = 5;

// What the run reaches the world through, so that tests can stand in.
struct World {
    std::function<int(const scenario::Step&)> read;    // the byte or signed word; raises rt::Error
    std::function<void(const scenario::Step&)> write;  // raises rt::Error
    std::function<Millis()> now;                       // a steady clock
    std::function<void(Millis)> sleep;                 // may end early when the run must stop
    // Why the run must stop now (an interrupt, the run's limit), else empty.
    std::function<std::string()> stop = [] { return std::string(); };
};

// What a run that no program answered is told.
inline constexpr const char* kNoAnswer = "no program answered: nothing but this check wrote the port file";

// Each expect (and each write the port file refused) with what came of it.
// An error is a check that could not be made: the port file could not be
// used, no program answered, the run was stopped before it.
struct Outcome {
    enum class Result { Passed, Failed, Skipped, Error };
    const scenario::Step* step;
    Result result;
    int got = 0;               // the last value read
    Millis waited = 0;         // from the expect's start to its end
    std::string problem = {};  // an error's reason: the system's, or the run's
    bool not_run = false;      // an error before the check began
    bool port_file = false;    // an error of the port file itself (`problem` the system's reason)
};

struct CaseRun {
    const scenario::Case* case_;
    std::vector<Outcome> outcomes;
    Millis millis = 0;
};

struct ScenarioRun {
    const scenario::Scenario* scenario;
    std::vector<CaseRun> cases;
};

// Runs every scenario's cases in turn; a failure ends its case, whose
// later expects are skipped. Before the first case every port an expect
// reads is set to 0, as a device finds its ports when a program starts;
// a run in which no expected port ever held a value that the check did
// not put there had no program answering, and each of its checks is an
// error (kNoAnswer). An error of the port file, or a stop, ends the run:
// the checks not reached are errors, not run. `default_within` is the
// limit of an expect that names none. The runs point into `scenarios`.
std::vector<ScenarioRun> run(const std::vector<scenario::Scenario>& scenarios, const World& world,
                             Millis default_within);

struct Counts {
    int passed = 0, failed = 0, skipped = 0, errors = 0;
};
Counts count(const std::vector<ScenarioRun>& runs);

// Why the run could not be made whole, for its reports' last word: the
// first error's reason, else empty.
std::string run_error(const std::vector<ScenarioRun>& runs);

}  // namespace check
