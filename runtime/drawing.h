// A vector drawing made of filled polygons, read from the simple SVG that
// our image script and hand write: a viewBox and <polygon points fill>
// elements. Window systems without an SVG renderer paint it from this.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace rt::ui {

struct Point {
    double x, y;
};

struct Polygon {
    std::uint32_t rgb;  // 0xRRGGBB
    std::vector<Point> points;
};

struct Drawing {
    double width = 0, height = 0;   // of the viewBox
    std::vector<Polygon> polygons;  // in painting order
};

// Elements other than polygons, and comments, are passed over; a polygon
// without a "#rrggbb" fill is black.
Drawing read_drawing(std::string_view svg);

}  // namespace rt::ui
