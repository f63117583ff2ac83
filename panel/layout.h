// Everything about the window that is not behaviour: the frame and each
// control's kind, place, size, text, font, colours and tab position.
// Places and sizes are in twips, as the panel was designed; 15 twips make
// one logical pixel.
#pragma once

#include <QRgb>

namespace panel {

constexpr int twips_to_pixels(int twips) { return twips / 15; }

// Colours: a fixed RGB value or one of the window system's named colours.
struct Colour {
    enum class Role { Rgb, ButtonFace, ButtonText, WindowBackground, WindowText };
    Role role;
    QRgb rgb = 0;
};

constexpr Colour rgb(int r, int g, int b) { return {Colour::Role::Rgb, qRgb(r, g, b)}; }
constexpr Colour kButtonFace{Colour::Role::ButtonFace};
constexpr Colour kButtonText{Colour::Role::ButtonText};
constexpr Colour kWindowBackground{Colour::Role::WindowBackground};
constexpr Colour kWindowText{Colour::Role::WindowText};
constexpr Colour kPanelYellow = rgb(255, 255, 192);

// A font face and, for systems without it, faces of like metrics that
// carry Hebrew letters.
struct Font {
    const char* face;  // nullptr: the panel's default font
    double points;
    bool bold;
    bool underline;
};

constexpr Font kPanelFont{"MS Sans Serif", 8.25, false, false};
constexpr Font kDefaultFont{nullptr, 0, false, false};
constexpr const char* kSubstituteFaces[] = {"Liberation Sans", "DejaVu Sans"};

enum class Kind { Label, TextBox, PictureBox, Line };
enum class Align { Left, Centre };

constexpr int kNoTab = -1;

struct Control {
    const char* name;
    Kind kind;
    int left, top, width, height;  // a line: from (left, top) to (width, height)
    int tab;
    const char* text;  // as stored ("&&" shows "&"); a picture's image resource
    Font font;
    Colour foreground, background;
    Align align = Align::Left;
    bool border = false;
    bool enabled = true;
};

struct Window {
    const char* caption;
    int left, top, width, height;  // client area
    Colour background;
    const char* icon;
};

inline constexpr Window kForm1{"  TORVA_InOut - TORVA_קלט_פלט", 1545, 540, 5895, 4350,
                               kPanelYellow, ":/images/torva.ico"};

inline constexpr int kTimer1IntervalMs = 100;

constexpr Font kHeading{"MS Sans Serif", 13.5, true, true};
constexpr Font kRowLabel{"MS Sans Serif", 8.25, true, false};
constexpr Font kEntry{"Arial", 9, false, false};
constexpr Font kShown{"Arial", 9, true, false};
constexpr Colour kDarkGreen = rgb(0, 64, 0), kGreen = rgb(0, 128, 0);
constexpr Colour kMaroon = rgb(128, 0, 0), kDarkRed = rgb(64, 0, 0), kBlue = rgb(0, 0, 255);

// Top to bottom as the window reads; later controls lie in front.
inline constexpr Control kControls[] = {
    {"Label6", Kind::Label, 720, 480, 2895, 375, 10, "Input Port - שער קלט", kHeading, kDarkGreen, kPanelYellow, Align::Centre},
    {"Picture1", Kind::PictureBox, 3960, 120, 1815, 735, 12, ":/images/keyboard.bmp", kDefaultFont, kWindowText, kPanelYellow},
    {"Label3", Kind::Label, 225, 1050, 3885, 195, 5, "Read UNSIGNED BYTE from port 110 (6EH): ", kRowLabel, kGreen, kButtonFace},
    {"txtOUT_B110", Kind::TextBox, 4455, 975, 1065, 330, 4, "", kEntry, kWindowText, kWindowBackground},
    {"Label2", Kind::Label, 225, 1545, 3705, 195, 2, "Read SIGNED WORD from port 112 (70H): ", kRowLabel, kGreen, kButtonFace},
    {"txtOUT_W112", Kind::TextBox, 4455, 1455, 1065, 330, 3, "", kEntry, kWindowText, kWindowBackground},
    {"Label7", Kind::Label, 3000, 1920, 2760, 225, 9, "To enter HEX digits, use  [ &&H ] prefix.", kDefaultFont, kButtonText, kPanelYellow},
    {"Line1", Kind::Line, 0, 2280, 5880, 2280, kNoTab, "", kDefaultFont, kBlue, kBlue},
    {"Label8", Kind::Label, 600, 2400, 3135, 375, 11, "Output Port - שער פלט", kHeading, kMaroon, kPanelYellow, Align::Centre},
    {"Picture2", Kind::PictureBox, 3960, 2640, 1815, 1575, 13, ":/images/screen.svg", kDefaultFont, kWindowText, kPanelYellow},
    {"Label1", Kind::Label, 225, 2985, 3630, 195, 0, "Write UNSIGNED BYTE to Port 115 (73H):", kRowLabel, kMaroon, kButtonFace},
    {"txtIN_B115", Kind::TextBox, 4200, 2895, 1320, 330, 1, "", kShown, kDarkRed, kWindowBackground, Align::Left, false, false},
    {"Label4", Kind::Label, 225, 3405, 3465, 195, 7, "Write SIGNED WORD to Port 117 (75H):", kRowLabel, kMaroon, kButtonFace},
    {"txtIN_W117", Kind::TextBox, 4200, 3315, 1320, 330, 6, "", kShown, kDarkRed, kWindowBackground, Align::Left, false, false},
    {"Label5", Kind::Label, 360, 3990, 2400, 225, 8, " Updating every 100 milliseconds ", kDefaultFont, kWindowText, kWindowBackground, Align::Left, true},
};

// Each field with the label on its row, which names it for screen readers.
struct Row {
    const char* label;
    const char* field;
};

inline constexpr Row kRows[] = {
    {"Label3", "txtOUT_B110"},
    {"Label2", "txtOUT_W112"},
    {"Label1", "txtIN_B115"},
    {"Label4", "txtIN_W117"},
};

}  // namespace panel
