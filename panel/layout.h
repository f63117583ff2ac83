// Everything about the window that is not behaviour: the frame and each
// control's kind, place, size, text, font, colours and tab position.
// Places and sizes are in twips, as the panel was designed.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

#include "runtime/ui/window.h"

namespace panel {

using rt::ui::Align;
using rt::ui::Charset;
using rt::ui::Colour;
using rt::ui::Control;
using rt::ui::Font;
using rt::ui::kButtonFace;
using rt::ui::kButtonText;
using rt::ui::Kind;
using rt::ui::kNoTab;
using rt::ui::kWindowBackground;
using rt::ui::kWindowText;
using rt::ui::rgb;
using rt::ui::Window;

constexpr Colour kPanelYellow = rgb(255, 255, 192);

constexpr Font kPanelFont{"MS Sans Serif", 8.25, false, false};
constexpr Font kDefaultFont{nullptr, 0, false, false};

inline constexpr Window kForm1{
    "Form1", "  TORVA_InOut - TORVA_קלט_פלט", 1545, 540, 5895, 4350, kPanelYellow, kPanelFont, "torva.ico"};

inline constexpr const char* kTimer1 = "Timer1";
inline constexpr int kTimer1IntervalMs = 100;

constexpr Font kHeading{"MS Sans Serif", 13.5, true, true, Charset::Hebrew};
constexpr Font kRowLabel{"MS Sans Serif", 8.25, true, false, Charset::Hebrew};
constexpr Font kEntry{"Arial", 9, false, false, Charset::Western};
constexpr Font kShown{"Arial", 9, true, false, Charset::Western};
constexpr Colour kDarkGreen = rgb(0, 64, 0), kGreen = rgb(0, 128, 0);
constexpr Colour kMaroon = rgb(128, 0, 0), kDarkRed = rgb(64, 0, 0), kBlue = rgb(0, 0, 255);

// Top to bottom as the window reads; later controls lie in front.
// clang-format off
inline constexpr Control kControls[] = {
    {"Label6", Kind::Label, 720, 480, 2895, 375, 10, "Input Port - שער קלט", kHeading, kDarkGreen, kPanelYellow, Align::Centre},
    {"Picture1", Kind::PictureBox, 3960, 120, 1815, 735, 12, "keyboard.bmp", kDefaultFont, kWindowText, kPanelYellow},
    {"Label3", Kind::Label, 225, 1050, 3885, 195, 5, "Read UNSIGNED BYTE from port 110 (6EH): ", kRowLabel, kGreen, kButtonFace},
    {"txtOUT_B110", Kind::TextBox, 4455, 975, 1065, 330, 4, "", kEntry, kWindowText, kWindowBackground},
    {"Label2", Kind::Label, 225, 1545, 3705, 195, 2, "Read SIGNED WORD from port 112 (70H): ", kRowLabel, kGreen, kButtonFace},
    {"txtOUT_W112", Kind::TextBox, 4455, 1455, 1065, 330, 3, "", kEntry, kWindowText, kWindowBackground},
    {"Label7", Kind::Label, 3000, 1920, 2760, 225, 9, "To enter HEX digits, use  [ &&H ] prefix.", kDefaultFont, kButtonText, kPanelYellow},
    {"Line1", Kind::Line, 0, 2280, 5880, 2280, kNoTab, "", kDefaultFont, kBlue, kBlue},
    {"Label8", Kind::Label, 600, 2400, 3135, 375, 11, "Output Port - שער פלט", kHeading, kMaroon, kPanelYellow, Align::Centre},
    {"Picture2", Kind::PictureBox, 3960, 2640, 1815, 1575, 13, "screen.svg", kDefaultFont, kWindowText, kPanelYellow},
    {"Label1", Kind::Label, 225, 2985, 3630, 195, 0, "Write UNSIGNED BYTE to Port 115 (73H):", kRowLabel, kMaroon, kButtonFace},
    {"txtIN_B115", Kind::TextBox, 4200, 2895, 1320, 330, 1, "", kShown, kDarkRed, kWindowBackground, Align::Left, false, false},
    {"Label4", Kind::Label, 225, 3405, 3465, 195, 7, "Write SIGNED WORD to Port 117 (75H):", kRowLabel, kMaroon, kButtonFace},
    {"txtIN_W117", Kind::TextBox, 4200, 3315, 1320, 330, 6, "", kShown, kDarkRed, kWindowBackground, Align::Left, false, false},
    {"Label5", Kind::Label, 360, 3990, 2400, 225, 8, " Updating every 100 milliseconds ", kDefaultFont, kWindowText, kWindowBackground, Align::Left, true},
};
// clang-format on

// The control's index in the table; a name not in it fails to compile
// where it is used in a constant expression.
consteval std::size_t control(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kControls); ++i)
        if (kControls[i].name == name) return i;
    throw "no such control";
}

inline constexpr std::size_t kNoHint = std::size(kControls);

// Each field with the label on its row, which names it for screen readers,
// and the hint that the typed fields are described with.
struct Row {
    std::size_t label;
    std::size_t field;
    std::size_t hint = kNoHint;
};

inline constexpr Row kRows[] = {
    {control("Label3"), control("txtOUT_B110"), control("Label7")},
    {control("Label2"), control("txtOUT_W112"), control("Label7")},
    {control("Label1"), control("txtIN_B115")},
    {control("Label4"), control("txtIN_W117")},
};

}  // namespace panel
