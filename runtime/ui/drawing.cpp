// The drawing reader: the polygons of a simple SVG.
#include "runtime/ui/shared.h"

#include <cstdlib>
#include <string>

namespace rt::ui {
namespace {

// The value of attribute `name` in the tag, empty when it is missing.
std::string_view attribute(std::string_view tag, std::string_view name) {
    for (std::size_t at = tag.find(name); at != std::string_view::npos; at = tag.find(name, at + 1)) {
        const bool starts_word = at > 0 && (tag[at - 1] == ' ' || tag[at - 1] == '\n' || tag[at - 1] == '\t');
        std::size_t quote = at + name.size();
        if (!starts_word || tag.substr(quote, 2) != "=\"") continue;
        quote += 2;
        const std::size_t end = tag.find('"', quote);
        if (end == std::string_view::npos) return {};
        return tag.substr(quote, end - quote);
    }
    return {};
}

// The numbers of a list separated by blanks and commas.
std::vector<double> numbers(std::string_view list) {
    const std::string text(list);
    std::vector<double> result;
    const char* at = text.c_str();
    for (;;) {
        while (*at == ' ' || *at == ',' || *at == '\n' || *at == '\t' || *at == '\r') ++at;
        char* end = nullptr;
        const double value = std::strtod(at, &end);
        if (end == at) return result;
        result.push_back(value);
        at = end;
    }
}

std::uint32_t colour(std::string_view fill) {
    if (fill.size() != 7 || fill[0] != '#') return 0;
    return static_cast<std::uint32_t>(std::strtoul(std::string(fill.substr(1)).c_str(), nullptr, 16));
}

}  // namespace

Drawing read_drawing(std::string_view svg) {
    Drawing drawing;
    for (std::size_t at = svg.find('<'); at != std::string_view::npos; at = svg.find('<', at + 1)) {
        if (svg.substr(at, 4) == "<!--") {
            at = svg.find("-->", at);
            if (at == std::string_view::npos) break;
            continue;
        }
        const std::size_t end = svg.find('>', at);
        if (end == std::string_view::npos) break;
        const std::string_view tag = svg.substr(at, end - at);
        if (tag.substr(0, 5) == "<svg ") {
            const std::vector<double> box = numbers(attribute(tag, "viewBox"));
            if (box.size() == 4) drawing.width = box[2], drawing.height = box[3];
        } else if (tag.substr(0, 9) == "<polygon ") {
            const std::vector<double> xy = numbers(attribute(tag, "points"));
            Polygon polygon{colour(attribute(tag, "fill")), {}};
            for (std::size_t i = 0; i + 1 < xy.size(); i += 2) polygon.points.push_back({xy[i], xy[i + 1]});
            drawing.polygons.push_back(std::move(polygon));
        }
        at = end;
    }
    return drawing;
}

}  // namespace rt::ui
