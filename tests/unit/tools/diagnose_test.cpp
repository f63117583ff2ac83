// The report's layout for a teacher, from facts given here.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tools/diagnose.h"

namespace {

using diagnose::FileFacts;
using diagnose::Lines;

TEST(Diagnosis, SaysHowLongAgo) {
    const std::pair<std::int64_t, std::string> cases[] = {
        {0, "0 s ago"},
        {59, "59 s ago"},
        {60, "1 min ago"},
        {250, "4 min 10 s ago"},
        {7200, "2 h ago"},
        {7500, "2 h 5 min ago"},
        {2 * 86400 + 5, "2 days ago"},
        {-90, "1 min 30 s ahead of this computer's clock"},
    };
    for (const auto& [seconds, text] : cases) EXPECT_EQ(diagnose::ago(seconds), text) << seconds;
}

TEST(Diagnosis, DescribesThePortFile) {
    FileFacts written;
    written.exists = true;
    written.size = 19;
    written.owner = "pupil";
    written.changed = "2026-12-09 08:15:00";
    written.seconds_since = 3;
    FileFacts empty = written;
    empty.size = 0;
    empty.owner.clear();
    empty.seconds_since.reset();
    FileFacts unreadable;
    unreadable.problem = "Permission denied";
    struct Case {
        std::string folder;
        FileFacts facts;
        std::vector<std::string> opens;
        Lines tail;  // after the folder and the path
    };
    const Case cases[] = {
        {"/t", FileFacts{}, {}, {{"exists", "no (the panel creates it empty at its first tick)"}}},
        {"/t",
         written,
         {"ok", "failed: Sharing violation"},
         {{"exists", "yes"},
          {"size", "19 bytes (ports 100 to 118)"},
          {"owner", "pupil"},
          {"last change", "2026-12-09 08:15:00 (3 s ago)"},
          {"open for reading", "ok"},
          {"open for reading and writing", "failed: Sharing violation"}}},
        {"/t", empty, {}, {{"exists", "yes"}, {"size", "0 bytes (nothing written yet; every port reads 0)"}}},
        {"/t", unreadable, {}, {{"exists", "cannot tell: Permission denied"}}},
        {"", FileFacts{}, {}, {{"exists", "no (the panel creates it empty at its first tick)"}}},
    };
    for (const Case& c : cases) {
        Lines expected = {{"temporary folder", c.folder.empty() ? "none (the system names none; the file is "
                                                                  "looked for in the current folder)"
                                                                : c.folder},
                          {"port file", "P"}};
        expected.insert(expected.end(), c.tail.begin(), c.tail.end());
        EXPECT_EQ(diagnose::port_file_lines(c.folder, "P", c.facts, c.opens), expected)
            << c.tail.front().value;
    }
}

TEST(Diagnosis, LeavesOutSectionsWithoutLines) {
    EXPECT_EQ(diagnose::report({{"port file", "P"}}, {{"system", "S"}}, {}, {{"/w", "none"}}),
              "Port file\n  port file: P\nSystem\n  system: S\nWine prefixes\n  /w: none\n");
    EXPECT_EQ(diagnose::report({}, {}, {{"DPI path", "Windows 10"}, {"face", "Tahoma"}}, {}),
              "Window\n  DPI path: Windows 10\n  face: Tahoma\n");
}

}  // namespace
