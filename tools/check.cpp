// The run of `torva-port check`.
#include "tools/check.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>

#include "runtime/errors.h"

namespace check {
namespace {

using scenario::Action;
using Result = Outcome::Result;

using scenario::is_expect;
using scenario::is_word;

// Why the run ends at an error of the port file.
std::string port_file_reason(const std::string& description) {
    return "the port file cannot be used: " + description;
}

// The run in hand: the world, the bytes the check itself put in the port
// file, whether a program answered, why the run ended early.
class Runner {
public:
    Runner(const World& world, Millis default_within) : world_(world), default_within_(default_within) {}

    // Every port an expect reads set to 0; a refusal of the port file ends the run.
    void clear_expected_ports(const std::vector<scenario::Scenario>& scenarios) {
        std::vector<scenario::Step> zeros;
        for (const scenario::Scenario& s : scenarios)
            for (const scenario::Case& c : s.cases)
                for (const scenario::Step& step : c.steps)
                    if (is_expect(step))
                        zeros.push_back({is_word(step) ? Action::WriteWord : Action::Write,
                                         step.line,
                                         step.port,
                                         0,
                                         {},
                                         0});
        for (const scenario::Step& zero : zeros) {
            if (!ended_.empty()) return;
            try {
                write(zero);
            } catch (const rt::Error& error) {
                ended_ = port_file_reason(error.description());
            }
        }
    }

    ScenarioRun run(const scenario::Scenario& scenario) {
        ScenarioRun result{&scenario, {}};
        for (const scenario::Case& c : scenario.cases) {
            CaseRun& case_run = result.cases.emplace_back(CaseRun{&c, {}});
            const Millis start = world_.now();
            bool failed = false;
            for (const scenario::Step& step : c.steps) {
                if (ended_.empty()) ended_ = world_.stop();
                if (!ended_.empty() || failed) {
                    if (is_expect(step)) case_run.outcomes.push_back(not_reached(step, failed));
                    continue;
                }
                if (auto outcome = perform(step)) {
                    failed = outcome->result != Result::Passed;
                    case_run.outcomes.push_back(*outcome);
                }
            }
            case_run.millis = world_.now() - start;
        }
        return result;
    }

    bool answered() const { return answered_; }

private:
    Outcome not_reached(const scenario::Step& step, bool failed) const {
        if (ended_.empty() && failed) return {.step = &step, .result = Result::Skipped};
        return {.step = &step, .result = Result::Error, .problem = ended_, .not_run = true};
    }

    void write(const scenario::Step& step) {
        world_.write(step);
        bytes_[step.port] = std::uint8_t(step.value);
        if (is_word(step)) bytes_[step.port + 1] = std::uint8_t(std::uint16_t(step.value) >> 8);
    }

    // What the check itself last put at the step's port.
    int own_value(const scenario::Step& step) const {
        const auto byte = [this](int port) {
            const auto found = bytes_.find(port);
            return found == bytes_.end() ? -1 : int{found->second};
        };
        if (!is_word(step)) return byte(step.port);
        const int low = byte(step.port), high = byte(step.port + 1);
        return low < 0 || high < 0 ? -1 : int{std::int16_t(std::uint16_t(low | high << 8))};
    }

    Outcome expect(const scenario::Step& step) {
        const Millis limit = step.within.value_or(default_within_);
        const Millis start = world_.now();
        Outcome outcome{.step = &step, .result = Result::Failed};
        for (;;) {
            outcome.got = world_.read(step);
            answered_ = answered_ || outcome.got != own_value(step);
            outcome.waited = world_.now() - start;
            if (outcome.got == step.value) {
                outcome.result = Result::Passed;
                return outcome;
            }
            if (outcome.waited >= limit) return outcome;
            if (ended_ = world_.stop(); !ended_.empty()) {
                outcome.result = Result::Error;
                outcome.problem = ended_;
                return outcome;
            }
            world_.sleep(std::min(kPollMillis, limit - outcome.waited));
        }
    }

    // The outcome of one step, or none for a step that is not a check and went well.
    std::optional<Outcome> perform(const scenario::Step& step) {
        const Millis start = world_.now();
        try {
            switch (step.action) {
            case Action::Expect:
            case Action::ExpectWord: return expect(step);
            case Action::Write:
            case Action::WriteWord: write(step); return std::nullopt;
            case Action::Sleep: world_.sleep(step.duration); return std::nullopt;
            }
        } catch (const rt::Error& error) {
            ended_ = port_file_reason(error.description());
            return Outcome{.step = &step,
                           .result = Result::Error,
                           .waited = world_.now() - start,
                           .problem = error.description(),
                           .port_file = true};
        }
        return std::nullopt;
    }

    const World& world_;
    Millis default_within_;
    std::map<int, std::uint8_t> bytes_;
    bool answered_ = false;
    std::string ended_;
};

}  // namespace

std::vector<ScenarioRun> run(const std::vector<scenario::Scenario>& scenarios, const World& world,
                             Millis default_within) {
    Runner runner(world, default_within);
    runner.clear_expected_ports(scenarios);
    std::vector<ScenarioRun> runs;
    for (const scenario::Scenario& s : scenarios) runs.push_back(runner.run(s));
    if (runner.answered()) return runs;
    // Nothing but the check wrote the port file: no check tells of a
    // program, a pass no more than a failure.
    for (ScenarioRun& r : runs)
        for (CaseRun& c : r.cases)
            for (Outcome& outcome : c.outcomes)
                if (outcome.result != Result::Error)
                    outcome = {.step = outcome.step,
                               .result = Result::Error,
                               .waited = outcome.waited,
                               .problem = kNoAnswer,
                               .not_run = true};
    return runs;
}

Counts count(const std::vector<ScenarioRun>& runs) {
    Counts counts;
    for (const ScenarioRun& run : runs)
        for (const CaseRun& c : run.cases)
            for (const Outcome& outcome : c.outcomes) {
                switch (outcome.result) {
                case Result::Passed: ++counts.passed; break;
                case Result::Failed: ++counts.failed; break;
                case Result::Skipped: ++counts.skipped; break;
                case Result::Error: ++counts.errors; break;
                }
            }
    return counts;
}

std::string run_error(const std::vector<ScenarioRun>& runs) {
    for (const ScenarioRun& run : runs)
        for (const CaseRun& c : run.cases)
            for (const Outcome& outcome : c.outcomes)
                if (outcome.result == Result::Error)
                    return outcome.port_file ? port_file_reason(outcome.problem) : outcome.problem;
    return "";
}

}  // namespace check
