// The reader of `torva-port check`'s scenarios.
#include "tools/scenario.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "runtime/text.h"
#include "tools/port_args.h"
#include "tools/text_file.h"

namespace scenario {
namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

// A scenario is a page or two of steps; a larger file is not one.
constexpr std::size_t kLargestFile = 1 << 20;

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string> words(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::vector<std::string> found;
    for (std::string word; in >> word;) found.push_back(word);
    return found;
}

struct Form {
    std::string_view word;
    Action action;
    const char* usage;
};

constexpr Form kForms[] = {
    {"write", Action::Write, "write PORT VALUE"},
    {"write-word", Action::WriteWord, "write-word PORT VALUE"},
    {"expect", Action::Expect, "expect PORT VALUE [within DURATION]"},
    {"expect-word", Action::ExpectWord, "expect-word PORT VALUE [within DURATION]"},
    {"sleep", Action::Sleep, "sleep DURATION"},
};

Millis duration_of(const std::string& text) {
    if (const auto millis = parse_duration(text)) return *millis;
    throw port_args::UsageError(invalid_duration(text));
}

// The step a line's words make; raises UsageError saying what is wrong.
Step step_of(const Form& form, const std::vector<std::string>& args, int line) {
    Step step{form.action, line, 0, 0, std::nullopt, 0};
    const std::size_t wanted = form.action == Action::Sleep ? 1 : 2;
    const bool within = is_expect(form.action) && args.size() == 4 && args[2] == "within";
    if (args.size() > wanted && !is_expect(form.action))
        throw port_args::UsageError(port_args::too_many(args.size() - wanted) + ": " + form.usage);
    if (args.size() != wanted && !within) throw port_args::UsageError(std::string("expected ") + form.usage);
    if (form.action == Action::Sleep) {
        step.duration = duration_of(args[0]);
        return step;
    }
    const io::Port highest = port_args::kLastPort - (is_word(form.action) ? 1 : 0);
    step.port = port_args::parse_port(args[0], highest);
    const bool whole = is_expect(form.action);
    step.value = is_word(form.action) ? int{port_args::parse_word(args[1], whole)}
                                      : int{port_args::parse_byte(args[1], whole)};
    if (within) step.within = duration_of(args[3]);
    return step;
}

}  // namespace

std::optional<Millis> parse_duration(std::string_view text) {
    Millis unit = 0;
    if (text.ends_with("ms")) unit = 1, text.remove_suffix(2);
    else if (text.ends_with("s")) unit = 1000, text.remove_suffix(1);
    if (unit == 0 || text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos ||
        text.find('.') != text.rfind('.') || text == ".")
        return std::nullopt;
    const double millis = std::strtod(std::string(text).c_str(), nullptr) * double(unit);
    if (!(millis <= double(kLongestMillis))) return std::nullopt;
    return static_cast<Millis>(std::llround(millis));
}

std::string invalid_duration(const std::string& text) {
    return "invalid duration '" + text + "': a number with ms or s is expected (250ms, 1.5s), up to a day";
}

std::filesystem::path path_of(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

Reading read_file(const std::string& file) {
    const auto refused = [&](const std::string& why) { return Reading{{file, {}}, {{0, why}}}; };
    std::error_code error;
    if (std::filesystem::is_directory(path_of(file), error)) return refused("a folder, not a scenario file");
    std::ifstream in(path_of(file), std::ios::binary);
    if (!in) return refused(std::string("cannot be read: ") + std::strerror(errno));
    std::string bytes(kLargestFile + 1, '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    if (in.bad()) return refused(std::string("cannot be read: ") + std::strerror(errno));
    bytes.resize(std::size_t(in.gcount()));
    if (bytes.size() > kLargestFile) return refused("too large for a scenario (over 1 MB)");
    return read(file, bytes);
}

Reading read(const std::string& file, std::string_view bytes) {
    Reading reading{{file, {}}, {}};
    const text_file::Decoded decoded = text_file::decode(bytes);
    if (!decoded.refusal.empty()) return {{file, {}}, {{0, decoded.refusal}}};
    const std::string_view text = decoded.text;
    std::vector<Case>& cases = reading.scenario.cases;
    int line = 0;
    for (std::size_t start = 0; start <= text.size(); ++line) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view content = text.substr(start, end - start);
        start = end + 1;
        content = trimmed(content.substr(0, content.find('#')));
        if (content.empty()) continue;
        const std::vector<std::string> found = words(content);
        if (found[0] == "case") {
            const std::string_view name = trimmed(content.substr(4));
            if (name.empty()) reading.problems.push_back({line + 1, "a case needs a name: case NAME"});
            cases.push_back({std::string(name), {}});
            continue;
        }
        const Form* form = nullptr;
        for (const Form& candidate : kForms)
            if (candidate.word == found[0]) form = &candidate;
        try {
            if (!form) throw port_args::UsageError("unknown step '" + rt::shortened(found[0], 40) + "'");
            const Step step = step_of(*form, {found.begin() + 1, found.end()}, line + 1);
            if (cases.empty()) cases.push_back({file, {}});
            cases.back().steps.push_back(step);
        } catch (const port_args::UsageError& error) {
            reading.problems.push_back({line + 1, error.what()});
        }
    }
    // An empty file, or one of comments, is a mistake rather than a pass.
    const bool any = std::any_of(cases.begin(), cases.end(), [](const Case& c) { return !c.steps.empty(); });
    if (!any && reading.problems.empty()) reading.problems.push_back({0, "has no steps"});
    return reading;
}

}  // namespace scenario
