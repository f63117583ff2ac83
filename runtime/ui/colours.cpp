// The colours each control is painted in, from its table's colours and the
// desktop's: named colours taken from a light set where the desktop's are
// dark, and the user's own throughout where high contrast is on.
#include <algorithm>
#include <cmath>

#include "runtime/ui/shared.h"

namespace rt::ui {
namespace {

double linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

bool reads_light_on_dark(std::uint32_t text, std::uint32_t back) { return luminance(text) > luminance(back); }

std::uint32_t named(Colour::Role role, const SystemColours& colours) {
    switch (role) {
    case Colour::Role::ButtonFace: return colours.button_face;
    case Colour::Role::ButtonText: return colours.button_text;
    case Colour::Role::WindowBackground: return colours.window;
    case Colour::Role::WindowText: return colours.window_text;
    case Colour::Role::Rgb: break;
    }
    return 0;
}

std::uint32_t as_given(const Colour& colour, const SystemColours& colours) {
    return colour.role == Colour::Role::Rgb ? colour.rgb : named(colour.role, colours);
}

// High contrast: button text on button face where the control asks for
// the face behind it, window text on the window everywhere else; a line
// is drawn in the text's colour.
Paint high_contrast(const Control& control, const SystemColours& colours) {
    if (control.kind == Kind::Line) return {colours.window_text, colours.window_text};
    if (control.background.role == Colour::Role::ButtonFace)
        return {colours.button_text, colours.button_face};
    return {colours.window_text, colours.window};
}

}  // namespace

double luminance(std::uint32_t rgb) {
    return 0.2126 * linear(red(rgb)) + 0.7152 * linear(green(rgb)) + 0.0722 * linear(blue(rgb));
}

double contrast(std::uint32_t a, std::uint32_t b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool is_dark(const SystemColours& colours) {
    return reads_light_on_dark(colours.window_text, colours.window) ||
           reads_light_on_dark(colours.button_text, colours.button_face);
}

const SystemColours& named_colours(const Scheme& scheme) {
    return !scheme.high_contrast && is_dark(scheme.colours) ? kLightColours : scheme.colours;
}

Paint paint(const Control& control, const Scheme& scheme) {
    if (scheme.high_contrast) return high_contrast(control, scheme.colours);
    const SystemColours& colours = named_colours(scheme);
    return {as_given(control.foreground, colours), as_given(control.background, colours)};
}

std::uint32_t window_colour(const Window& window, const Scheme& scheme) {
    return scheme.high_contrast ? scheme.colours.window : as_given(window.background, named_colours(scheme));
}

}  // namespace rt::ui
