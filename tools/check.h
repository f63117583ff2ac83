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
    std::function<void(Millis)> sleep;
};

// Each expect (and each write the port file refused) with what came of it.
struct Outcome {
    enum class Result { Passed, Failed, Skipped };
    const scenario::Step* step;
    Result result;
    int got = 0;          // the last value read
    Millis waited = 0;    // from the expect's start to its end
    std::string problem;  // the system's reason when the port file failed
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

// Runs every case; a failure ends its case, whose later expects are skipped.
// `default_within` is the limit of an expect that names none; `seen` is
// told every value read (for a trace).
ScenarioRun run(const scenario::Scenario& scenario, const World& world, Millis default_within,
                const std::function<void(const scenario::Step&, int value)>& seen = {});

struct Counts {
    int passed = 0, failed = 0, skipped = 0;
};
Counts count(const std::vector<ScenarioRun>& runs);

}  // namespace check
