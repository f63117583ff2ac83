#!/usr/bin/env python3
"""Names the tests of a ctest run that failed because Wine never started
their program: wine_not_started.py JUNIT.xml

Now and then Wine fails to start a program at all; the test program then
prints nothing of its own. A GoogleTest program's first lines are its own
("Running main() from", "Note: Google Test filter", "[==========]"), so
a failed GoogleTest test (named SUITE.TEST) whose output has none of them
never ran. Such a test is named, one a line, with
the reason; every other failure is the project's and is not named. The
exit status is 0 when every failure was of that kind, else 1.
"""
import re
import sys
import xml.etree.ElementTree as ElementTree


# What a GoogleTest program prints first, whatever its main.
GOOGLETEST_MARKS = ("Running main() from", "Note: Google Test filter", "[==========]", "[ RUN      ]")


def is_googletest(name):
    """Whether a test is one of a GoogleTest program's, SUITE.TEST (e2e_* are scripts)."""
    return re.fullmatch(r"[A-Za-z]\w*\.\w+(/\w+)*", name) is not None and not name.startswith("e2e_")


def failures(junit_file):
    """The (name, reason) of each failed test; the reason is None for the project's own."""
    found = []
    for case in ElementTree.parse(junit_file).getroot().iter("testcase"):
        name = case.get("name", "")
        if case.find("failure") is None and case.get("status") != "fail":
            continue
        output = "".join(part.text or "" for part in case.iter("system-out"))
        reason = None
        if is_googletest(name) and not any(mark in output for mark in GOOGLETEST_MARKS):
            reason = "the test program printed nothing of its own: Wine did not start it"
        found.append((name, reason))
    return found


def main():
    if len(sys.argv) != 2:
        print("usage: wine_not_started.py JUNIT.xml", file=sys.stderr)
        return 2
    found = failures(sys.argv[1])
    for name, reason in found:
        if reason:
            print(f"{name}\t{reason}")
    return 0 if all(reason for _, reason in found) else 1


if __name__ == "__main__":
    sys.exit(main())
