// The face the Win32 window sets each of the panel's fonts in, on the
// systems its users have: faces as each lists them, with their character
// sets and whether each is a raster font.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "runtime/ui/win32/win32.h"

namespace {

using rt::win32::InstalledFace;

constexpr BYTE kWestern = ANSI_CHARSET, kHebrew = HEBREW_CHARSET;
const std::vector<BYTE> kWithHebrew = {kWestern, EASTEUROPE_CHARSET, RUSSIAN_CHARSET, GREEK_CHARSET, kHebrew};

// The raster "MS Sans Serif" has Western letters only on a Western Windows.
const std::vector<InstalledFace> kWestern7 = {{"MS Sans Serif", {kWestern}, true},
                                              {"Microsoft Sans Serif", kWithHebrew},
                                              {"Tahoma", kWithHebrew},
                                              {"Arial", kWithHebrew}};
const std::vector<InstalledFace> kHebrew10 = {{"MS Sans Serif", {kWestern, kHebrew}, true},
                                              {"Microsoft Sans Serif", kWithHebrew},
                                              {"Tahoma", kWithHebrew},
                                              {"Arial", kWithHebrew}};
// As Wine 8 on Debian lists them: fontconfig's faces, none of Windows's.
const std::vector<InstalledFace> kWinePrefix = {{"DejaVu Sans Mono", {kWestern, RUSSIAN_CHARSET}},
                                                {"DejaVu Sans", kWithHebrew},
                                                {"Liberation Sans", kWithHebrew},
                                                {"Nimbus Sans", {kWestern, GREEK_CHARSET}}};
// A Windows stripped of its outline faces, to show a raster face is the last resort.
const std::vector<InstalledFace> kRasterOnly = {{"MS Sans Serif", {kWestern, kHebrew}, true}};

TEST(Fonts, EachFaceIsRealisedInTheFirstOutlineFaceWithItsCharacterSet) {
    const struct {
        const char* system;
        const std::vector<InstalledFace>& installed;
        const char* face;
        BYTE charset;
        const char* expected;
    } cases[] = {
        {"Western 7", kWestern7, "MS Sans Serif", kWestern, "Microsoft Sans Serif"},
        {"Western 7", kWestern7, "MS Sans Serif", kHebrew, "Microsoft Sans Serif"},
        {"Western 7", kWestern7, "Arial", kWestern, "Arial"},
        {"Hebrew 10", kHebrew10, "MS Sans Serif", kHebrew, "Microsoft Sans Serif"},
        {"Hebrew 10", kHebrew10, "Arial", kWestern, "Arial"},
        {"Hebrew 10", kHebrew10, "Lucida Console", kHebrew, "Tahoma"},
        {"Wine", kWinePrefix, "MS Sans Serif", kHebrew, "Liberation Sans"},
        {"Wine", kWinePrefix, "MS Sans Serif", kWestern, "Liberation Sans"},
        {"Wine", kWinePrefix, "Arial", kWestern, "Liberation Sans"},
        {"Wine", kWinePrefix, "DejaVu Sans Mono", kWestern, "DejaVu Sans Mono"},
        {"Wine", kWinePrefix, "DejaVu Sans Mono", kHebrew, "Liberation Sans"},
        {"raster only", kRasterOnly, "MS Sans Serif", kHebrew, "MS Sans Serif"},
        {"nothing listed", {}, "MS Sans Serif", kHebrew, "MS Sans Serif"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::win32::choose_face(c.face, c.charset, c.installed), c.expected)
            << c.system << ": " << c.face << " in character set " << int(c.charset);
}

// The faces as this system lists them: Wine's prefix has none of Windows's.
TEST(Fonts, UnderWineThePanelsFontsAreSetInTheLinuxSubstitute) {
    using rt::ui::Charset;
    for (const rt::ui::Font& font :
         {rt::ui::Font{"MS Sans Serif", 8.25, true, false, Charset::Hebrew},
          rt::ui::Font{"MS Sans Serif", 8.25, false, false}, rt::ui::Font{"Arial", 9, false, false}})
        EXPECT_EQ(rt::win32::face_for(font), "Liberation Sans") << font.face;
}

// Each face once per character set, as the system walks them (CALLBACK:
// the 32-bit system calls it as stdcall).
int CALLBACK note_every(const LOGFONTW* logical, const TEXTMETRICW*, DWORD type, LPARAM faces) {
    reinterpret_cast<std::vector<InstalledFace>*>(faces)->push_back(
        {rt::win32::narrow(logical->lfFaceName, wcslen(logical->lfFaceName)),
         {logical->lfCharSet},
         (type & RASTER_FONTTYPE) != 0});
    return 1;
}

// Asking for the candidates by name lists each as walking every family
// would: the same character sets, the same raster flag.
TEST(Fonts, TheCandidatesAskedByNameAreListedAsInTheWholeList) {
    std::vector<InstalledFace> every;
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &all, note_every, reinterpret_cast<LPARAM>(&every), 0);
    ReleaseDC(nullptr, dc);
    const auto summary = [](const std::vector<InstalledFace>& faces, const std::string& name) {
        std::set<std::pair<int, bool>> found;
        for (const InstalledFace& f : faces)
            if (f.name == name)
                for (BYTE charset : f.charsets) found.insert({charset, f.raster});
        return found;
    };
    const std::vector<std::string> names = rt::win32::candidates("MS Sans Serif");
    const std::vector<InstalledFace> listed = rt::win32::listed_faces(names);
    for (const std::string& name : names) EXPECT_EQ(summary(listed, name), summary(every, name)) << name;
    EXPECT_FALSE(listed.empty());
}

}  // namespace
