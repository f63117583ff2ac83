// The polygons that a window system without an SVG renderer paints.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "runtime/ui/shared.h"

namespace {

using rt::ui::read_drawing;

TEST(Drawing, ReadsTheViewBoxAndFilledPolygonsInOrder) {
    struct Case {
        const char* svg;
        double width, height;
        std::size_t polygons;
        std::uint32_t first_fill;
        std::size_t first_points;
    };
    const Case cases[] = {
        {R"(<svg width="9" viewBox="0 0 96 48"><polygon points="1,1 95,1 95,47" fill="#8c8c8c"/></svg>)", 96,
         48, 1, 0x8c8c8c, 3},
        {R"(<svg viewBox="0 0 10 10"><!-- <polygon points="0,0 1,1" fill="#ffffff"/> --><polygon fill="#00ff00" points="0 0 10 0 10 10 0 10"/><rect/><polygon points="1,1 2,2 3,1"/></svg>)",
         10, 10, 2, 0x00ff00, 4},
        {R"(<svg viewBox="0 0 10"></svg>)", 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const rt::ui::Drawing drawing = read_drawing(c.svg);
        EXPECT_EQ(drawing.width, c.width) << c.svg;
        EXPECT_EQ(drawing.height, c.height) << c.svg;
        ASSERT_EQ(drawing.polygons.size(), c.polygons) << c.svg;
        if (c.polygons == 0) continue;
        EXPECT_EQ(drawing.polygons[0].rgb, c.first_fill) << c.svg;
        EXPECT_EQ(drawing.polygons[0].points.size(), c.first_points) << c.svg;
    }
}

// The panel's screen drawing is wholly made of what the reader takes.
TEST(Drawing, TakesEveryPolygonOfThePanelsScreen) {
    std::ifstream in(TORVA_SCREEN_SVG);
    const std::string svg{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::size_t elements = 0;
    for (std::size_t at = svg.find("<polygon "); at != std::string::npos; at = svg.find("<polygon ", at + 1))
        ++elements;
    const rt::ui::Drawing drawing = read_drawing(svg);
    EXPECT_EQ(drawing.width, 96);
    EXPECT_EQ(drawing.height, 96);
    ASSERT_GT(elements, 0u);
    EXPECT_EQ(drawing.polygons.size(), elements);
    for (const auto& polygon : drawing.polygons) EXPECT_GE(polygon.points.size(), 3u);
}

}  // namespace
