// The reports of `torva-port check`.
#include "tools/check_report.h"

#include <algorithm>
#include <cstdio>
#include <pugixml.hpp>
#include <sstream>

namespace check {
namespace {

using Result = Outcome::Result;

using scenario::is_word;

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
            const bool read = scenario::is_expect(step);
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
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node suites = document.append_child("testsuites");
    for (const ScenarioRun& run : runs) {
        pugi::xml_node suite = suites.append_child("testsuite");
        suite.append_attribute("name") = run.scenario->file.c_str();
        int failures = 0, errors = 0;
        Millis total = 0;
        for (const CaseRun& c : run.cases) {
            total += c.millis;
            pugi::xml_node test = suite.append_child("testcase");
            test.append_attribute("name") = c.case_->name.c_str();
            test.append_attribute("classname") = run.scenario->file.c_str();
            test.append_attribute("time") = seconds(c.millis).c_str();
            // A case's one failure or error: the step that ended it.
            const auto ended = std::find_if(c.outcomes.begin(), c.outcomes.end(), [](const Outcome& o) {
                return o.result == Result::Failed || o.result == Result::Error;
            });
            if (ended == c.outcomes.end()) continue;
            const bool error = ended->result == Result::Error;
            ++(error ? errors : failures);
            test.append_child(error ? "error" : "failure").append_attribute("message") =
                what_came(run, *ended).c_str();
        }
        // The counts before the cases, where readers look for them.
        suite.insert_attribute_after("tests", suite.attribute("name")) = int(run.cases.size());
        suite.insert_attribute_after("failures", suite.attribute("tests")) = failures;
        suite.insert_attribute_after("errors", suite.attribute("failures")) = errors;
        suite.insert_attribute_after("time", suite.attribute("errors")) = seconds(total).c_str();
    }
    std::ostringstream text;
    document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
    return text.str();
}

}  // namespace check
