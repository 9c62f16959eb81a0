// A window as data: the rows of its layout table, in twips, as the
// designer drew it. Each runtime back end turns a FormLayout into real
// controls; nothing here knows a toolkit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace norvane::rt {

enum class ControlKind { TextBox, Frame, CommandButton, OptionButton, Label, PictureBox };

enum class Alignment { Left, Right, Center };

enum class BorderStyle { Sizable, FixedDialog };

struct Rgb {
  std::uint8_t red, green, blue;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct FontSpec {
  std::string_view name;
  double points;
  int weight;  // 400 regular, 700 bold
  bool italic, underline, strikeout;
  int charset;
};

// A small image kept as reviewable text: one character per pixel, looked up
// in the palette. A palette entry with alpha 0 is transparent.
struct PaletteEntry {
  char key;
  std::uint32_t argb;
};

struct Picture {
  int width, height;
  std::span<const PaletteEntry> palette;
  std::span<const std::string_view> rows;  // `height` rows of `width` keys
};

inline constexpr int kNoIndex = -1;  // a control that is not part of a control array

// One row of a window's layout table. Left and Top are relative to the
// container: the window's client area (container empty) or a frame.
struct ControlSpec {
  std::string_view name;
  int index;  // its Index within a control array, or kNoIndex
  ControlKind kind;
  std::string_view container;
  std::string_view text;  // Text of a text box, Caption of anything else; "&" marks an access key
  int left, top, width, height;
  int tabIndex;
  const FontSpec* font = nullptr;  // nullptr: the window's default font
  std::optional<Rgb> foreColor = std::nullopt;
  std::string_view toolTip = {};  // also what a screen reader reads as its description
  bool locked = false;            // a text box the user can select and copy from, but not edit
  Alignment alignment = Alignment::Left;
  const Picture* picture = nullptr;  // a picture box's picture
  // What a screen reader calls a control whose own text does not say what it is for: the words
  // of the label that stands for it.
  std::string_view accessibleName = {};
};

// The name every back end gives the control: its accessibleName, else its caption as shown,
// without the access-key marks ("&&" shows "&"). A text box's text is no name.
inline std::string AccessibleName(const ControlSpec& row) {
  if (!row.accessibleName.empty()) return std::string(row.accessibleName);
  if (row.kind == ControlKind::TextBox || row.kind == ControlKind::PictureBox) return {};
  std::string name;
  for (std::size_t i = 0; i < row.text.size(); ++i) {
    if (row.text[i] == '&' && ++i == row.text.size()) break;
    name += row.text[i];
  }
  return name;
}

// A line drawn on the window's surface, in twips of its client area.
struct LineSpec {
  std::string_view name;
  int index;
  int x1, y1, x2, y2;
  Rgb color;
  int widthPixels;
};

// A menu title (level 0, on the menu bar) or an entry of the last title above it (level 1).
struct MenuSpec {
  std::string_view name;
  std::string_view caption;
  int level;
};

struct FormLayout {
  std::string_view name;
  std::string_view caption;
  int clientWidth, clientHeight;  // twips
  BorderStyle border;
  const Picture* icon;
  std::span<const ControlSpec> controls;  // in increasing tabIndex
  std::span<const MenuSpec> menus = {};
  std::span<const LineSpec> lines = {};
  std::string_view defaultButton = {};  // pressed by Enter wherever the focus is
  std::string_view cancelButton = {};   // pressed by Esc

  // The row of a control, or nullptr.
  constexpr const ControlSpec* Find(std::string_view control, int index = kNoIndex) const {
    for (const ControlSpec& c : controls) {
      if (c.name == control && c.index == index) return &c;
    }
    return nullptr;
  }
  constexpr const MenuSpec* FindMenu(std::string_view menu) const {
    for (const MenuSpec& m : menus) {
      if (m.name == menu) return &m;
    }
    return nullptr;
  }
};

inline constexpr int kTwipsPerPixel = 15;  // at 96 dots per inch

}  // namespace norvane::rt
