// What both floor programs show: one window with the main window's menus and its nineteen
// controls, of the same kinds, texts and places (pixels at 96 dots per inch), and nothing
// behind them. Neither toolkit's header: each floor turns these rows into its own widgets.
#pragma once

namespace bare {

enum class Kind { Entry, Frame, Button, Option, Label };

struct Control {
  Kind kind;
  const char* text;
  int x, y, width, height;
  bool boxFont;  // the text boxes' face, "MS Sans Serif" 9.75 pt; else the toolkit's dialog font
};

inline constexpr int kClientWidth = 416;
inline constexpr int kClientHeight = 290;

// In Tab order, which is also the order of creation.
inline constexpr Control kControls[] = {
    {Kind::Entry, "", 160, 32, 105, 19, true},
    {Kind::Frame, "Entry Criteria", 288, 16, 97, 121, false},
    {Kind::Button, "C&alculate", 176, 88, 81, 49, false},
    {Kind::Button, "&Print Form", 296, 208, 81, 25, false},
    {Kind::Button, "&Close", 296, 240, 81, 33, false},
    {Kind::Option, "Bytes", 296, 32, 73, 17, false},
    {Kind::Option, "Kilobytes", 296, 56, 73, 17, false},
    {Kind::Option, "Megabytes", 296, 80, 73, 17, false},
    {Kind::Option, "Gigabytes", 296, 104, 73, 17, false},
    {Kind::Entry, "", 32, 176, 113, 24, true},
    {Kind::Entry, "", 32, 224, 113, 24, true},
    {Kind::Entry, "", 32, 248, 113, 24, true},
    {Kind::Label, "Enter Number to Convert", 32, 32, 129, 19, false},
    {Kind::Label, "Results", 32, 152, 113, 17, false},
    {Kind::Entry, "", 32, 200, 113, 24, true},
    {Kind::Label, "Kilobytes", 152, 208, 49, 19, false},
    {Kind::Label, "Gigabytes", 152, 256, 49, 19, false},
    {Kind::Label, "Megabytes", 152, 232, 49, 19, false},
    {Kind::Label, "Bytes", 152, 184, 49, 19, false},
};

// Each menu: its title, then its entries.
inline constexpr const char* kFileMenu[] = {"&File", "C&alculate", "&Print Form", "&Exit"};
inline constexpr const char* kHelpMenu[] = {"&Help", "&Instructions", "A&bout"};

}  // namespace bare
