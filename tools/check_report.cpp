// The reports of `torva-port check`.
#include "tools/check_report.h"

#include <cstdio>

namespace check {
namespace {

using Result = Outcome::Result;

bool is_word(const scenario::Step& step) { return scenario::is_word(step.action); }

// "port 115", or "port 117/118" for a word.
std::string port_of(const scenario::Step& step) {
    return "port " + std::to_string(step.port) + (is_word(step) ? "/" + std::to_string(step.port + 1) : "");
}

std::string at(const ScenarioRun& run, const scenario::Step& step) {
    return run.scenario->file + ":" + std::to_string(step.line);
}

// What came of the check, after its case's name.
std::string what_came(const ScenarioRun& run, const Outcome& outcome) {
    const scenario::Step& step = *outcome.step;
    const std::string expected = std::to_string(step.value);
    switch (outcome.result) {
    case Result::Passed:
        return port_of(step) + " = " + expected + " after " + std::to_string(outcome.waited) + " ms";
    case Result::Skipped: return port_of(step) + " = " + expected + " (an earlier step of the case failed)";
    case Result::Failed: break;
    case Result::Error:
        if (outcome.port_file) {
            const bool read = scenario::is_expect(step.action);
            return port_of(step) + (read ? " could not be read: " : " could not be written: ") +
                   outcome.problem + " at " + at(run, step);
        }
        if (outcome.not_run) return port_of(step) + " = " + expected + " not checked: " + outcome.problem;
        return port_of(step) + " = " + expected + " not checked: " + outcome.problem + " (it read " +
               std::to_string(outcome.got) + " after " + std::to_string(outcome.waited) + " ms) at " +
               at(run, step);
    }
    return port_of(step) + " is " + std::to_string(outcome.got) + ", expected " + expected + " (waited " +
           std::to_string(outcome.waited) + " ms) at " + at(run, step);
}

template <class Each>
void each_outcome(const std::vector<ScenarioRun>& runs, Each each) {
    for (const ScenarioRun& run : runs)
        for (const CaseRun& c : run.cases)
            for (const Outcome& outcome : c.outcomes) each(run, c, outcome);
}

std::string seconds(Millis millis) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", double(millis) / 1000.0);
    return text;
}

// Text for XML: the five markup characters as entities, the control
// characters that XML 1.0 does not allow left out.
std::string xml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out += c;
        }
    }
    return out;
}

// A TAP description may not hold an unescaped '#', which starts a directive.
std::string tap_text(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '#' ? std::string("\\#") : std::string(1, c);
    return out;
}

// A YAML scalar in single quotes, in which a quote is doubled.
std::string yaml(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

}  // namespace

std::string text_report(const std::vector<ScenarioRun>& runs, bool colour) {
    static constexpr const char* kMarks[][2] = {{"ok  ", "\x1b[32mok\x1b[0m  "},
                                                {"FAIL ", "\x1b[31mFAIL\x1b[0m "},
                                                {"skip ", "\x1b[33mskip\x1b[0m "},
                                                {"ERROR ", "\x1b[1;31mERROR\x1b[0m "}};
    std::string text;
    const ScenarioRun* heading = nullptr;
    each_outcome(runs, [&](const ScenarioRun& run, const CaseRun& c, const Outcome& outcome) {
        if (runs.size() > 1 && heading != &run) text += (heading ? "\n" : "") + run.scenario->file + ":\n";
        heading = &run;
        text += kMarks[static_cast<int>(outcome.result)][colour ? 1 : 0] + c.case_->name + ": " +
                what_came(run, outcome) + "\n";
    });
    const Counts counts = count(runs);
    text += std::to_string(counts.passed) + " passed, " + std::to_string(counts.failed) + " failed";
    if (counts.errors == 0) return text + "\n";
    text += ", " + std::to_string(counts.errors) + (counts.errors == 1 ? " error" : " errors") + "\n";
    const std::string why = run_error(runs);
    return text + "ERROR the check could not be made" + (why.empty() ? "" : ": " + why) + "\n";
}

std::string tap_report(const std::vector<ScenarioRun>& runs) {
    const Counts counts = count(runs);
    std::string text = "TAP version 13\n1.." +
                       std::to_string(counts.passed + counts.failed + counts.skipped + counts.errors) + "\n";
    int number = 0;
    bool bailed = false;
    each_outcome(runs, [&](const ScenarioRun& run, const CaseRun& c, const Outcome& outcome) {
        if (bailed) return;
        const bool passed = outcome.result == Result::Passed || outcome.result == Result::Skipped;
        const std::string file = runs.size() > 1 ? run.scenario->file + ": " : "";
        text += std::string(passed ? "ok " : "not ok ") + std::to_string(++number) + " - " +
                tap_text(file + c.case_->name + ": " + port_of(*outcome.step) + " = " +
                         std::to_string(outcome.step->value));
        if (outcome.result == Result::Skipped) text += " # SKIP an earlier step of the case failed";
        text += "\n";
        if (passed) return;
        text += "  ---\n  expected: " + std::to_string(outcome.step->value) + "\n";
        if (outcome.result == Result::Failed) text += "  got: " + std::to_string(outcome.got) + "\n";
        else text += "  error: " + yaml(outcome.problem) + "\n";
        text += "  waited_ms: " + std::to_string(outcome.waited) + "\n  at: " + yaml(at(run, *outcome.step)) +
                "\n  ...\n";
        // An error ends the run: the harness is told, and reads no further.
        if (outcome.result == Result::Error) {
            text += "Bail out! the check could not be made: " + run_error(runs) + "\n";
            bailed = true;
        }
    });
    return text;
}

std::string junit_report(const std::vector<ScenarioRun>& runs) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n";
    for (const ScenarioRun& run : runs) {
        std::string cases;
        int failures = 0, errors = 0;
        Millis total = 0;
        for (const CaseRun& c : run.cases) {
            total += c.millis;
            cases += "    <testcase name=\"" + xml(c.case_->name) + "\" classname=\"" +
                     xml(run.scenario->file) + "\" time=\"" + seconds(c.millis) + "\"";
            // A case's one failure or error: the step that ended it.
            std::string element;
            for (const Outcome& outcome : c.outcomes) {
                if (!element.empty() || outcome.result == Result::Passed || outcome.result == Result::Skipped)
                    continue;
                const bool error = outcome.result == Result::Error;
                element = std::string("      <") + (error ? "error" : "failure") + " message=\"" +
                          xml(what_came(run, outcome)) + "\"/>\n";
                ++(error ? errors : failures);
            }
            cases += element.empty() ? "/>\n" : ">\n" + element + "    </testcase>\n";
        }
        text += "  <testsuite name=\"" + xml(run.scenario->file) + "\" tests=\"" +
                std::to_string(run.cases.size()) + "\" failures=\"" + std::to_string(failures) +
                "\" errors=\"" + std::to_string(errors) + "\" time=\"" + seconds(total) + "\">\n" + cases +
                "  </testsuite>\n";
    }
    return text + "</testsuites>\n";
}

}  // namespace check
