// The colours the panel's texts are painted in, over the desktops' palettes.
#include <gtest/gtest.h>

#include "panel/layout.h"
#include "runtime/ui/shared.h"

namespace {

using rt::ui::Kind;
using rt::ui::paint;
using rt::ui::Scheme;
using rt::ui::SystemColours;

// WCAG AA: 4.5:1 for text, 3:1 for large text (the two 13.5-point bold headings).
double least_contrast(const rt::ui::Control& control) { return control.font.points >= 13.5 ? 3.0 : 4.5; }

bool has_text(const rt::ui::Control& control) {
    return control.kind == Kind::Label || control.kind == Kind::TextBox;
}

TEST(Colours, EveryTextLegibleInEveryDesktopAndLightDesktopsKeptAsTheyAre) {
    struct Case {
        const char* desktop;
        Scheme scheme;
        bool as_desktop;  // a light desktop: its own colours, the pixels as they were
    };
    const Case cases[] = {
        {"Qt's Fusion, light", {{0xFFEFEFEF, 0xFF000000, 0xFFFFFFFF, 0xFF000000}}, true},
        {"Windows 7 and Wine, light", {{0xFFF0F0F0, 0xFF000000, 0xFFFFFFFF, 0xFF000000}}, true},
        {"qt6ct's darker", {{0xFF424245, 0xFFFFFFFF, 0xFF3D3D3D, 0xFFFFFFFF}}, false},
        {"Breeze Dark", {{0xFF31363B, 0xFFFCFCFC, 0xFF1B1E20, 0xFFFCFCFC}}, false},
        {"dark fields on a light face", {{0xFFEFEFEF, 0xFF000000, 0xFF202020, 0xFFFFFFFF}}, false},
        {"high-contrast colours, the switch off", {{0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}}, false},
        {"Windows high contrast black", {{0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}, true}, false},
        {"Windows high contrast white", {{0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFF000000}, true}, false},
        {"Windows high contrast #1", {{0xFF000000, 0xFFFFFF00, 0xFF000000, 0xFFFFFF00}, true}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(&rt::ui::named_colours(c.scheme) == &c.scheme.colours,
                  c.as_desktop || c.scheme.high_contrast)
            << c.desktop;
        for (const rt::ui::Control& control : panel::kControls) {
            if (!has_text(control)) continue;
            const rt::ui::Paint p = paint(control, c.scheme);
            if (!c.as_desktop) {
                EXPECT_GE(rt::ui::contrast(p.text, p.back), least_contrast(control))
                    << c.desktop << ", " << control.name;
            }
            if (c.scheme.high_contrast) {
                EXPECT_TRUE(p.back == c.scheme.colours.window || p.back == c.scheme.colours.button_face)
                    << c.desktop << ", " << control.name;
            }
        }
        const std::uint32_t window = rt::ui::window_colour(panel::kForm1, c.scheme);
        EXPECT_EQ(window, c.scheme.high_contrast ? c.scheme.colours.window : panel::kForm1.background.rgb)
            << c.desktop;
    }
}

// The figures the choice rests on, as WCAG gives them.
TEST(Colours, ContrastAsWcagComputesIt) {
    struct Case {
        std::uint32_t a, b;
        double ratio;
    };
    const Case cases[] = {
        {0xFF000000, 0xFFFFFFFF, 21.0},
        {0xFF008000, 0xFFEFEFEF, 4.47},
        {0xFF008000, 0xFFF0F0F0, 4.51},
        {0xFFFFFFFF, 0xFFFFFFC0, 1.03},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(rt::ui::contrast(c.a, c.b), c.ratio, 0.005) << std::hex << c.a << " " << c.b;
}

}  // namespace
