// The temporary folder of a Wine prefix, as a program running in that
// prefix finds it: the TMP or TEMP value of the user's environment in the
// prefix's registry, expanded and mapped through its drive letters onto
// this system's files. Standard C++ only.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/errors.h"

namespace rt::wine {

// A prefix or a folder in it that is not there; one line that says which.
class PrefixError : public Error {
public:
    using Error::Error;
};

// Compares names as Windows does, without regard to (ASCII) case.
struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};
using Values = std::map<std::string, std::string, NoCaseLess>;

// The text values (REG_SZ and REG_EXPAND_SZ) of one key of a registry file
// as Wine writes it (user.reg, system.reg), names and text unescaped into
// UTF-8. The key is written with single backslashes ("Software\\Wine").
Values read_key(std::string_view file, std::string_view key);

// The text with each %NAME% replaced by its value, itself expanded; a name
// without a value stays as written, as Windows leaves it.
std::string expand(std::string_view text, const Values& values);

// The file on this system that a Windows path ("C:\users\me\Temp") names
// in the prefix: its drive through dosdevices, then each part matched
// without regard to case, as Wine matches it.
std::filesystem::path host_path(const std::filesystem::path& prefix, std::string_view windows_path);

// The prefix's temporary folder for the given user: TMP, else TEMP, of the
// user's environment; without either, drive_c/users/USER/AppData/Local/Temp
// where it exists (newer Wine), else drive_c/users/USER/Temp. Raises
// PrefixError when the prefix or the folder does not exist.
std::filesystem::path temp_directory(const std::filesystem::path& prefix, const std::string& user);

// The prefix named on the command line, else $WINEPREFIX, else ~/.wine
// (the environment values are passed in; null when unset).
std::filesystem::path choose_prefix(const std::optional<std::string>& given, const char* wineprefix,
                                    const char* home);

// The Wine prefixes in the places where Wine and the tools around it keep
// them, without searching further: $WINEPREFIX (named even when missing),
// ~/.wine, and each prefix in the folders of winetricks, PlayOnLinux,
// Bottles (also as a Flatpak) and CrossOver. Each once, in that order.
std::vector<std::filesystem::path> known_prefixes(const char* wineprefix, const char* home);
inline constexpr const char* kKnownPrefixPlaces =
    "looked in $WINEPREFIX, ~/.wine, ~/.local/share/wineprefixes, ~/.PlayOnLinux/wineprefix, "
    "~/.local/share/bottles/bottles, ~/.var/app/com.usebottles.bottles/data/bottles/bottles and ~/.cxoffice";

// Takes every --wine and --wine=PREFIX out of the arguments (argc shrinks,
// the others keep their order); the last one counts. Nothing when none
// was given; an empty text for a bare --wine.
std::optional<std::string> take_option(int& argc, char** argv);

}  // namespace rt::wine
