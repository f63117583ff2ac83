// The reading of a Wine prefix: its registry files, the user's temporary
// folder in it, and the prefixes in the usual places.
#include "runtime/wine/prefix.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <utility>

#include "runtime/number.h"

namespace rt::wine {

namespace fs = std::filesystem;

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The escapes of Wine's registry files: \\ \" and the like, C's letters,
// up to three octal digits, and \x with up to four hex digits for one
// UTF-16 unit (two of them for a character beyond the first plane).
constexpr std::pair<char, char> kLetterEscapes[] = {
    {'a', '\a'}, {'b', '\b'}, {'e', '\x1b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'v', '\v'},
};

// Reads an escaped text from `pos` up to the unescaped `end`; pos is left
// after it. Nothing when the end is never reached.
std::optional<std::string> unescape(std::string_view line, std::size_t& pos, char end) {
    std::string out;
    char32_t high = 0;  // a UTF-16 high surrogate waiting for its low half
    auto put = [&](char32_t unit) {
        if (unit >= 0xD800 && unit < 0xDC00) {
            high = unit;
            return;
        }
        if (unit >= 0xDC00 && unit < 0xE000 && high)
            unit = 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00);
        high = 0;
        append_utf8(out, unit);
    };
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == end) return out;
        if (c != '\\' || pos == line.size()) {
            high = 0;
            out += c;
            continue;
        }
        const char e = line[pos++];
        const unsigned radix = e == 'x' ? 16 : digit_value(e, 8) >= 0 ? 8 : 0;
        if (radix == 0) {
            const auto* letter = std::find_if(std::begin(kLetterEscapes), std::end(kLetterEscapes),
                                              [e](auto pair) { return pair.first == e; });
            high = 0;
            out += letter != std::end(kLetterEscapes) ? letter->second : e;
            continue;
        }
        if (radix == 8) --pos;
        char32_t unit = 0;
        const std::size_t most = radix == 16 ? 4 : 3;
        std::size_t n = 0;
        for (; n < most && pos < line.size() && digit_value(line[pos], radix) >= 0; ++n)
            unit = unit * radix + static_cast<char32_t>(digit_value(line[pos++], radix));
        if (n == 0) {
            out += e;
            continue;
        }  // a lone \x
        put(unit);
    }
    return std::nullopt;
}

// The text of a value's data when it is a string: "..." or str(2):"...".
std::optional<std::string> string_data(std::string_view line, std::size_t pos) {
    for (std::string_view type : {"\"", "str:\"", "str(1):\"", "str(2):\""}) {
        if (line.substr(pos, type.size()) != type) continue;
        pos += type.size();
        return unescape(line, pos, '"');
    }
    return std::nullopt;
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a process of the prefix finds in its environment before the
// registry's own values: Wine's defaults, each in terms of the others.
Values defaults(const std::string& user) {
    return {
        {"SystemDrive", "C:"},
        {"SystemRoot", "%SystemDrive%\\windows"},
        {"windir", "%SystemRoot%"},
        {"ProgramData", "%SystemDrive%\\ProgramData"},
        {"ALLUSERSPROFILE", "%ProgramData%"},
        {"PUBLIC", "%SystemDrive%\\users\\Public"},
        {"USERNAME", user},
        {"USERPROFILE", "%SystemDrive%\\users\\" + user},
        {"HOMEDRIVE", "%SystemDrive%"},
        {"HOMEPATH", "\\users\\" + user},
        {"APPDATA", "%USERPROFILE%\\AppData\\Roaming"},
        {"LOCALAPPDATA", "%USERPROFILE%\\AppData\\Local"},
    };
}

// Later sources win: the system's environment, the user's volatile one
// (where Wine keeps USERPROFILE), the user's own.
Values environment(const std::string& system_reg, const std::string& user_reg, const std::string& user) {
    Values values = defaults(user);
    const std::pair<const std::string*, std::string_view> sources[] = {
        {&system_reg, "System\\CurrentControlSet\\Control\\Session Manager\\Environment"},
        {&user_reg, "Volatile Environment"},
        {&user_reg, "Environment"},
    };
    for (const auto& [file, key] : sources)
        for (auto& [name, value] : read_key(*file, key)) values.insert_or_assign(name, value);
    return values;
}

std::string expand_within(std::string_view text, const Values& values, int depth) {
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t open = text.find('%', pos);
        const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, open - pos));
        const auto found = values.find(text.substr(open + 1, close - open - 1));
        if (found == values.end() || depth == 0) {
            // Not a name: the first % stays, the second may open one.
            out += '%';
            pos = open + 1;
            continue;
        }
        out += expand_within(found->second, values, depth - 1);
        pos = close + 1;
    }
    return out;
}

// The entry of the folder whose name matches without regard to case; the
// name itself when none does.
fs::path entry(const fs::path& folder, const std::string& name) {
    std::error_code error;
    if (fs::exists(folder / name, error)) return folder / name;
    for (const auto& candidate : fs::directory_iterator(folder, error))
        if (same_name(candidate.path().filename().string(), name)) return candidate.path();
    return folder / name;
}

}  // namespace

bool NoCaseLess::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lower(x) < lower(y); });
}

Values read_key(std::string_view file, std::string_view key) {
    Values values;
    bool inside = false;
    std::istringstream lines{std::string(file)};
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t pos = 1;
        if (line.starts_with('[')) {
            const auto name = unescape(line, pos, ']');
            inside = name && same_name(*name, key);
            continue;
        }
        if (!inside) continue;
        std::optional<std::string> name;
        if (line.starts_with('"')) name = unescape(line, pos, '"');
        else if (line.starts_with("@")) name = "";
        if (!name || pos >= line.size() || line[pos] != '=') continue;
        if (auto data = string_data(line, pos + 1)) values.insert_or_assign(*name, *data);
    }
    return values;
}

std::string expand(std::string_view text, const Values& values) { return expand_within(text, values, 8); }

fs::path host_path(const fs::path& prefix, std::string_view windows_path) {
    const bool on_drive = windows_path.size() >= 2 && windows_path[1] == ':' &&
                          lower(windows_path[0]) >= 'a' && lower(windows_path[0]) <= 'z';
    if (!on_drive)
        throw PrefixError("the temporary folder \"" + std::string(windows_path) +
                          "\" is not a path on a drive");
    const fs::path drive = prefix / "dosdevices" / std::string{lower(windows_path[0]), ':'};
    std::error_code error;
    fs::path path = fs::canonical(drive, error);
    if (error)
        throw PrefixError("drive " + std::string{static_cast<char>(windows_path[0] & ~0x20), ':'} +
                          " of the temporary folder \"" + std::string(windows_path) + "\" is not in " +
                          drive.parent_path().string());
    std::string part;
    std::istringstream parts{std::string(windows_path.substr(2))};
    while (std::getline(parts, part, '\\')) {
        std::istringstream pieces(part);
        for (std::string piece; std::getline(pieces, piece, '/');) {
            if (piece.empty() || piece == ".") continue;
            path = piece == ".." ? path.parent_path() : entry(path, piece);
        }
    }
    return path;
}

fs::path temp_directory(const fs::path& prefix, const std::string& user) {
    std::error_code error;
    if (!fs::is_directory(prefix, error)) throw PrefixError("no Wine prefix at " + prefix.string());
    if (!fs::is_directory(prefix / "drive_c", error) && !fs::is_directory(prefix / "dosdevices", error))
        throw PrefixError(prefix.string() + " is not a Wine prefix (it has neither drive_c nor dosdevices)");
    const std::string user_reg = read_file(prefix / "user.reg");
    const Values own = read_key(user_reg, "Environment");
    // Without TMP or TEMP, where Wine puts the profile's temporary folder:
    // AppData\Local\Temp in newer Wine (10, say), Temp in older (8).
    const fs::path profile = prefix / "drive_c" / "users" / user;
    fs::path folder = fs::is_directory(profile / "AppData" / "Local" / "Temp", error)
                          ? profile / "AppData" / "Local" / "Temp"
                          : profile / "Temp";
    // The order in which Windows' GetTempPath looks.
    for (const char* name : {"TMP", "TEMP"}) {
        const auto found = own.find(name);
        if (found == own.end()) continue;
        const Values values = environment(read_file(prefix / "system.reg"), user_reg, user);
        folder = host_path(prefix, expand(found->second, values));
        break;
    }
    if (!fs::is_directory(folder, error))
        throw PrefixError("the temporary folder of the Wine prefix, " + folder.string() + ", does not exist");
    return folder;
}

fs::path choose_prefix(const std::optional<std::string>& given, const char* wineprefix, const char* home) {
    if (given && !given->empty()) return fs::absolute(*given);
    if (wineprefix && *wineprefix) return fs::absolute(wineprefix);
    if (!home || !*home) throw PrefixError("no prefix given, and neither WINEPREFIX nor HOME is set");
    return fs::path(home) / ".wine";
}

std::vector<fs::path> known_prefixes(const char* wineprefix, const char* home) {
    std::vector<fs::path> found;
    std::error_code error;
    const auto add = [&](const fs::path& prefix) {
        const fs::path same = fs::weakly_canonical(prefix, error);
        for (const fs::path& known : found)
            if (fs::weakly_canonical(known, error) == same) return;
        found.push_back(prefix);
    };
    if (wineprefix && *wineprefix) add(fs::absolute(wineprefix, error));
    if (!home || !*home) return found;
    const fs::path own = fs::path(home);
    const auto is_prefix = [](const fs::path& folder) {
        std::error_code missing;
        return fs::is_directory(folder / "drive_c", missing);
    };
    if (is_prefix(own / ".wine")) add(own / ".wine");
    for (const char* place :
         {".local/share/wineprefixes", ".PlayOnLinux/wineprefix", ".local/share/bottles/bottles",
          ".var/app/com.usebottles.bottles/data/bottles/bottles", ".cxoffice"}) {
        std::vector<fs::path> inside;
        for (fs::directory_iterator it(own / place, error), end; !error && it != end; it.increment(error))
            if (is_prefix(it->path())) inside.push_back(it->path());
        error.clear();
        std::sort(inside.begin(), inside.end());
        for (const fs::path& prefix : inside) add(prefix);
    }
    return found;
}

std::optional<std::string> take_option(int& argc, char** argv) {
    constexpr std::string_view kOption = "--wine";
    std::optional<std::string> prefix;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == kOption) {
            prefix = "";
        } else if (arg.starts_with(kOption) && arg[kOption.size()] == '=') {
            prefix = std::string(arg.substr(kOption.size() + 1));
            if (prefix->empty()) throw PrefixError("--wine= names no prefix");
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return prefix;
}

}  // namespace rt::wine
