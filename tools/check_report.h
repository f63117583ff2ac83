// What `torva-port check` says of a run: for a person (a line per check
// and a count), as TAP version 13, and as JUnit XML.
#pragma once

#include <string>
#include <vector>

#include "tools/check.h"

namespace check {

// A line per check (under a heading per file when there are several) and
// a count, "N passed, N failed" (", N errors" and the reason in a last
// line when the check could not be made); `colour` marks them for a terminal.
std::string text_report(const std::vector<ScenarioRun>& runs, bool colour);

// TAP version 13: a test point per check, a YAML block for each failure
// and error, skipped checks as # SKIP; "Bail out!" after an error, which
// ends the run.
std::string tap_report(const std::vector<ScenarioRun>& runs);

// JUnit XML: a testsuite per scenario file, a testcase per case, with a
// failure or an error (the check could not be made) as what ended it.
std::string junit_report(const std::vector<ScenarioRun>& runs);

}  // namespace check
