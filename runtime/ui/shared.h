// What the realisations of the window layer (qt/, win32/) share among
// themselves and with their tests, kept out of window.h, which is the
// contract with the programs alone. Each block names the file that
// implements it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/ui/window.h"

namespace rt::ui {

// ---- shared.cpp

// The application the runtime serves: what start() was given, empty texts before.
const Application& application();
void set_application(const Application& application);

// Substitute faces, in order, where a face is missing; they carry Hebrew.
inline constexpr const char* kSubstituteFaces[] = {"Liberation Sans", "DejaVu Sans"};

// Narrowest letter width, in percent, that a substitute face may be set to
// so that a caption fits its box.
inline constexpr int kNarrowestStretch = 80;

// Least width of a message box's text, in pixels at 96 DPI: room for the
// whole title even beside a short message.
inline constexpr int kMessageBoxLeastWidth = 200;

// The control's font; one without a face has the window's.
const Font& font_of(const Control& control, const Window& window);

// Whether Tab stops at the control: an enabled text box with a tab position.
bool takes_focus(const Control& control);

// The controls' indices in rising tab position, those without one last,
// the table's order kept among equals.
std::vector<std::size_t> tab_order(std::span<const Control> controls);

// The stored caption as shown: "&&" shows as "&", a lone "&" marks a
// mnemonic and does not show.
std::string shown_caption(const char* stored);

// The letter width, in percent, at which a caption is set in its box: 100
// when its natural width fits the room, else the widest below 100 at
// which it fits, and never narrower than kNarrowestStretch. `width_at`
// measures the caption at a stretch (100: the font as it is); the natural
// width gives the first guess, so that few are measured.
int fitting_stretch(double room, const std::function<double(int stretch)>& width_at);

// Raises std::invalid_argument unless the control is a text box of the
// table, for the field functions of Form.
void check_field(std::span<const Control> controls, std::size_t control);

// Runs an event handler so that no exception crosses the event loop: what
// leaves it is reported in a message box, and the program goes on.
void invoke(const Handler& handler) noexcept;

// ---- colours.cpp: the colours each control is painted in.

// The four colours the window system names, as 0xAARRGGBB.
struct SystemColours {
    std::uint32_t button_face, button_text, window, window_text;
};

// What the desktop asks for: its named colours, and whether the user has
// high contrast on, in which case every colour of the window is theirs.
struct Scheme {
    SystemColours colours;
    bool high_contrast = false;
};

// The named colours where the desktop's are dark (light text on dark
// ground), so that the table's fixed colours, chosen for a light desktop,
// stay legible: black on white fields and Windows' grey face, #F0F0F0, on
// which the row labels' green reads at 4.5:1.
inline constexpr SystemColours kLightColours{0xFFF0F0F0, 0xFF000000, 0xFFFFFFFF, 0xFF000000};

// A text's colour and the colour behind it, 0xAARRGGBB.
struct Paint {
    std::uint32_t text, back;
};

// Relative luminance as WCAG 2 defines it, 0 for black to 1 for white, and
// the contrast ratio of two colours, 1 to 21.
double luminance(std::uint32_t rgb);
double contrast(std::uint32_t a, std::uint32_t b);

// Whether the desktop's texts are lighter than what they stand on.
bool is_dark(const SystemColours& colours);

// The named colours the window takes in the scheme: the desktop's own, or
// kLightColours where those are dark and high contrast is off.
const SystemColours& named_colours(const Scheme& scheme);

// The colours of a control's text and background in the scheme: the
// table's fixed colours as they stand and the named ones from
// named_colours(); in high contrast the user's colours throughout, button
// text on button face where the table puts the face behind the control,
// window text on the window elsewhere, and a line in the window text's.
Paint paint(const Control& control, const Scheme& scheme);

// The window's background in the scheme; in high contrast the user's window colour.
std::uint32_t window_colour(const Window& window, const Scheme& scheme);

// ---- drawing.cpp: a vector drawing made of filled polygons, read from the
// simple SVG that our image script and hand write: a viewBox and <polygon
// points fill> elements. Window systems without an SVG renderer paint it
// from this.

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
