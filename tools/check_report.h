// What `torva-port check` says of a run: for a person (a line per check
// and a count), as TAP version 13, and as JUnit XML.
#pragma once

#include <string>
#include <vector>

#include "tools/check.h"

namespace check {

// A line per check and a last line "N passed, N failed"; `colour` marks
// ok and FAIL for a terminal.
std::string text_report(const std::vector<ScenarioRun>& runs, bool colour);

// TAP version 13: a test point per check, a YAML block for each failure,
// skipped checks as # SKIP.
std::string tap_report(const std::vector<ScenarioRun>& runs);

// JUnit XML: a testsuite per scenario file, a testcase per case.
std::string junit_report(const std::vector<ScenarioRun>& runs);

}  // namespace check
