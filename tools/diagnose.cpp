// The report of `torva-port diagnose`: its sources and its layout.
#include "tools/diagnose.h"

#include <cstdlib>

#include "panel/layout.h"  // the panel's fonts, a table of constants
#include "runtime/errors.h"
#include "runtime/ui/window.h"
#include "runtime/wine/option.h"
#include "runtime/wine/prefix.h"

namespace diagnose {

namespace os = rt::os;
namespace wine = rt::wine;
using rt::Error;
using rt::os::file_facts;

namespace {

std::string age(std::int64_t seconds) {
    constexpr std::int64_t kMinute = 60, kHour = 60 * kMinute, kDay = 24 * kHour;
    const auto count = [](std::int64_t n, const char* unit) { return std::to_string(n) + " " + unit; };
    if (seconds < kMinute) return count(seconds, "s");
    if (seconds < kHour) {
        const std::string minutes = count(seconds / kMinute, "min");
        return seconds % kMinute ? minutes + " " + count(seconds % kMinute, "s") : minutes;
    }
    if (seconds < 2 * kDay) {
        const std::string hours = count(seconds / kHour, "h");
        return seconds % kHour >= kMinute ? hours + " " + count(seconds % kHour / kMinute, "min") : hours;
    }
    return count(seconds / kDay, "days");
}

std::string bytes(std::uint64_t size) { return std::to_string(size) + (size == 1 ? " byte" : " bytes"); }

}  // namespace

std::string ago(std::int64_t seconds) {
    return seconds < 0 ? age(-seconds) + " ahead of this computer's clock" : age(seconds) + " ago";
}

std::string try_open(const std::string& path, os::Access access) {
    try {
        os::close(os::open_file(path, access));
        return "ok";
    } catch (const Error& error) {
        return "failed: " + error.description();
    }
}

Lines port_file_lines(const std::string& folder, const std::string& path, const FileFacts& facts,
                      const std::vector<std::string>& opens) {
    Lines lines = {
        {"temporary folder", folder.empty() ? "none (the system names none; the file is looked for "
                                              "in the current folder)"
                                            : folder},
        {"port file", path}};
    if (!facts.problem.empty()) {
        lines.push_back({"exists", "cannot tell: " + facts.problem});
        return lines;
    }
    if (!facts.exists) {
        lines.push_back({"exists", "no (the panel creates it empty at its first tick)"});
        return lines;
    }
    lines.push_back({"exists", "yes"});
    const std::string size = bytes(facts.size);
    lines.push_back({"size", facts.size == 0
                                 ? size + " (nothing written yet; every port reads 0)"
                                 : size + " (ports 100 to " + std::to_string(99 + facts.size) + ")"});
    if (!facts.owner.empty()) lines.push_back({"owner", facts.owner});
    if (facts.seconds_since)
        lines.push_back({"last change", facts.changed + " (" + ago(*facts.seconds_since) + ")"});
    const char* const names[] = {"open for reading", "open for reading and writing"};
    for (std::size_t i = 0; i < opens.size() && i < std::size(names); ++i)
        lines.push_back({names[i], opens[i]});
    return lines;
}

Lines wine_prefix_lines(const std::string& file_name, const char* wineprefix, const char* home,
                        const std::string& user) {
    Lines lines;
    for (const std::filesystem::path& prefix : wine::known_prefixes(wineprefix, home)) {
        std::string value;
        try {
            const std::filesystem::path folder = wine::temp_directory(prefix, user);
            const FileFacts facts = file_facts((folder / file_name).string());
            value = !facts.exists ? "no " + file_name + " in " + folder.string()
                                  : (folder / file_name).string() + ", " + bytes(facts.size) +
                                        (facts.seconds_since ? ", changed " + ago(*facts.seconds_since) : "");
        } catch (const Error& error) {
            value = error.description();
        }
        lines.push_back({prefix.string(), value});
    }
    if (lines.empty()) lines.push_back({"none found", wine::kKnownPrefixPlaces});
    return lines;
}

std::string layout(const std::vector<Section>& sections) {
    std::string text;
    for (const Section& section : sections) {
        if (section.lines.empty()) continue;
        text += section.heading + "\n";
        for (const Line& line : section.lines) text += "  " + line.name + ": " + line.value + "\n";
    }
    return text;
}

Lines system_lines() { return os::system_facts(); }

Lines window_lines() { return rt::ui::window_facts(panel::kForm1, panel::kControls); }

Lines wine_prefixes(const std::string& file_name) {
    if (!wine::beside_prefixes()) return {};
    return wine_prefix_lines(file_name, std::getenv("WINEPREFIX"), std::getenv("HOME"), os::login_name());
}

std::string report(const Lines& port_file, const Lines& system, const Lines& window, const Lines& wine) {
    return layout(
        {{"Port file", port_file}, {"System", system}, {"Window", window}, {"Wine prefixes", wine}});
}

}  // namespace diagnose
