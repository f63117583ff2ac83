// The window layer: one top-level window built from a table of controls,
// with the services its event handlers need (field text, change
// notifications, a timer, message boxes, the event loop). Standard C++
// only; each window system realises it in a folder of its own (qt/ with
// Qt Widgets, win32/ with plain Win32), which the build picks. What the
// realisations share among themselves is in shared.h, not here; the start
// routine is in start.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "runtime/os/os.h"

namespace rt::ui {

// Places and sizes are in twips: 1440 to the inch, 15 to a pixel at 96 DPI.
inline constexpr int kTwipsPerInch = 1440;
constexpr int twips_to_pixels(int twips) { return twips / 15; }

// A fixed RGB value (0xAARRGGBB, opaque) or one of the system's named colours.
struct Colour {
    enum class Role { Rgb, ButtonFace, ButtonText, WindowBackground, WindowText };
    Role role;
    std::uint32_t rgb = 0;
};

constexpr Colour rgb(int r, int g, int b) {
    return {Colour::Role::Rgb, 0xFF000000u | (std::uint32_t(r & 0xFF) << 16) |
                                   (std::uint32_t(g & 0xFF) << 8) | std::uint32_t(b & 0xFF)};
}
constexpr int red(std::uint32_t rgb) { return (rgb >> 16) & 0xFF; }
constexpr int green(std::uint32_t rgb) { return (rgb >> 8) & 0xFF; }
constexpr int blue(std::uint32_t rgb) { return rgb & 0xFF; }

inline constexpr Colour kButtonFace{Colour::Role::ButtonFace};
inline constexpr Colour kButtonText{Colour::Role::ButtonText};
inline constexpr Colour kWindowBackground{Colour::Role::WindowBackground};
inline constexpr Colour kWindowText{Colour::Role::WindowText};

// Character sets a font asks for, as the Windows font mapper numbers them.
enum class Charset : std::uint8_t { Western = 0, Hebrew = 177 };

struct Font {
    const char* face;  // nullptr: the window's own font
    double points;
    bool bold;
    bool underline;
    Charset charset = Charset::Western;
};

enum class Kind { Label, TextBox, PictureBox, Line };
enum class Align { Left, Centre };

inline constexpr int kNoTab = -1;

// One control of the window. Later controls lie in front of earlier ones.
struct Control {
    const char* name;
    Kind kind;
    int left, top, width, height;  // a line: from (left, top) to (width, height)
    int tab;                       // tab position, kNoTab for none
    const char* text;              // as stored ("&&" shows "&"); a picture's image name
    Font font;
    Colour foreground, background;
    Align align = Align::Left;
    bool border = false;
    // A text box that is not enabled shows values only: it takes no focus
    // and no typing, and screen readers read it as a read-only value.
    bool enabled = true;
};

// The top-level window: a fixed frame with caption, system menu, minimise
// and close; the client area's place and size in twips.
struct Window {
    const char* name;     // the form's name, for the window system and its tests
    const char* caption;  // UTF-8
    int left, top, width, height;
    Colour background;
    Font font;         // used by controls whose font has no face
    const char* icon;  // image name
};

using Handler = std::function<void()>;

// The window built from its table. Controls are named by their index in
// the table. Keyboard focus starts in the first control that can take it in
// rising tab position, and Tab visits them in that order.
// The field functions (text, set_text, on_change) take a text box; given
// any other control they raise std::invalid_argument and change nothing.
class Form {
public:
    virtual ~Form() = default;

    // A field's text, UTF-8.
    virtual std::string text(std::size_t control) const = 0;
    // Setting a different text runs the field's change handler before it returns.
    virtual void set_text(std::size_t control, const std::string& text) = 0;
    // Runs the handler after every change of the field's text. A field has
    // one change handler: a later call replaces the earlier one.
    virtual void on_change(std::size_t control, Handler handler) = 0;
    // Names a field after the label on its row, for screen readers.
    virtual void name_after(std::size_t field, std::size_t label) = 0;
    // Gives a field the label's caption as its description, which screen
    // readers speak after its name.
    virtual void describe_with(std::size_t field, std::size_t label) = 0;
    // A periodic timer whose ticks arrive on the window's thread, also
    // while a message box waits for the user.
    virtual void start_timer(const char* name, int interval_ms, Handler tick) = 0;
    virtual void show() = 0;
};

// Builds the window and its controls; the window system must be started.
std::unique_ptr<Form> create_form(const Window& window, std::span<const Control> controls);

// Whatever owns the start-up form and its handlers.
class Program {
public:
    virtual ~Program() = default;
    virtual Form& form() = 0;
};

// What the runtime says of the program it runs, given by the program.
struct Application {
    const char* command;       // the program file's name, at the start of its own lines
    const char* title;         // the application's name: the message boxes' title
    const char* version;       // shown by --version
    const char* usage;         // shown by --help
    const char* desktop_file;  // the desktop entry's name without ".desktop"
};

// What the window system chooses for itself on this machine when it builds
// the window, for a report: on Windows the DPI path taken and the face each
// of the window's fonts is set in; none where it leaves that to others (Qt
// takes its faces from fontconfig).
std::vector<os::Fact> window_facts(const Window& window, std::span<const Control> controls);

}  // namespace rt::ui
