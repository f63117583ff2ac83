// The run of `torva-port check`.
#include "tools/check.h"

#include <algorithm>

#include "runtime/errors.h"

namespace check {
namespace {

using scenario::Action;
using Result = Outcome::Result;

Outcome expect(const scenario::Step& step, const World& world, Millis default_within,
               const std::function<void(const scenario::Step&, int)>& seen) {
    const Millis limit = step.within.value_or(default_within);
    const Millis start = world.now();
    Outcome outcome{&step, Result::Failed, 0, 0, {}};
    for (;;) {
        outcome.got = world.read(step);
        if (seen) seen(step, outcome.got);
        outcome.waited = world.now() - start;
        if (outcome.got == step.value) {
            outcome.result = Result::Passed;
            return outcome;
        }
        if (outcome.waited >= limit) return outcome;
        world.sleep(std::min(kPollMillis, limit - outcome.waited));
    }
}

// The outcome of one step, or none for a step that is not a check and went well.
std::optional<Outcome> perform(const scenario::Step& step, const World& world, Millis default_within,
                               const std::function<void(const scenario::Step&, int)>& seen) {
    const Millis start = world.now();
    try {
        switch (step.action) {
        case Action::Expect:
        case Action::ExpectWord: return expect(step, world, default_within, seen);
        case Action::Write:
        case Action::WriteWord: world.write(step); return std::nullopt;
        case Action::Sleep: world.sleep(step.duration); return std::nullopt;
        }
    } catch (const rt::Error& error) {
        return Outcome{&step, Result::Failed, 0, world.now() - start, error.description()};
    }
    return std::nullopt;
}

bool is_expect(const scenario::Step& step) {
    return step.action == Action::Expect || step.action == Action::ExpectWord;
}

}  // namespace

ScenarioRun run(const scenario::Scenario& scenario, const World& world, Millis default_within,
                const std::function<void(const scenario::Step&, int value)>& seen) {
    ScenarioRun result{&scenario, {}};
    for (const scenario::Case& c : scenario.cases) {
        CaseRun& case_run = result.cases.emplace_back(CaseRun{&c, {}});
        const Millis start = world.now();
        bool failed = false;
        for (const scenario::Step& step : c.steps) {
            if (failed) {
                if (is_expect(step)) case_run.outcomes.push_back({&step, Result::Skipped, 0, 0, {}});
                continue;
            }
            if (auto outcome = perform(step, world, default_within, seen)) {
                failed = outcome->result == Result::Failed;
                case_run.outcomes.push_back(*outcome);
            }
        }
        case_run.millis = world.now() - start;
    }
    return result;
}

Counts count(const std::vector<ScenarioRun>& runs) {
    Counts counts;
    for (const ScenarioRun& run : runs)
        for (const CaseRun& c : run.cases)
            for (const Outcome& outcome : c.outcomes)
                ++(outcome.result == Result::Passed   ? counts.passed
                   : outcome.result == Result::Failed ? counts.failed
                                                      : counts.skipped);
    return counts;
}

}  // namespace check
