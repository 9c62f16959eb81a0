#include "ui/about/picture.h"

#include <algorithm>

namespace norvane {
namespace {
// Four storage blocks, bytes on top and gigabytes at the bottom, each with a face, a lit top, a
// shaded side and a small light; drawn at 48 x 48 for the About window.
// clang-format off
constexpr rt::PaletteEntry kPalette[] = {
    {'.', 0x00000000}, {'k', 0xFF000000}, {'w', 0xFFFFFFFF},  // clear, outline, light
    {'g', 0xFF2EA043}, {'G', 0xFF7ED98C}, {'1', 0xFF1B6B2A},  // bytes: face, top, side
    {'y', 0xFFE8C21A}, {'Y', 0xFFF7E27A}, {'2', 0xFF9C820F},  // kilobytes
    {'o', 0xFFE8731A}, {'O', 0xFFF6B27A}, {'3', 0xFF9C4A0F},  // megabytes
    {'b', 0xFF2F6BD8}, {'B', 0xFF86AEF2}, {'4', 0xFF1B3F86},  // gigabytes
};
// clang-format on

constexpr int kSize = 48;

constexpr std::string_view kRows[] = {
    "................................................",
    "................................................",
    "................................................",
    "................................................",
    "...................kkkkkkkkkkkk.................",
    "..................kGGGGGGGGGGkk.................",
    ".................kGGGGGGGGGGk1k.................",
    "................kkkkkkkkkkkk11k.................",
    "................kggggggggggk11k.................",
    "................kggggggggggk11k.................",
    "................kggggggggggk11k.................",
    "................kggggggggggk11k.................",
    "................kgggggggwwgk11k.................",
    "...............kkggggggggggk11kkkkk.............",
    "..............kYkggggggggggk1kYYYkk.............",
    ".............kYYkggggggggggkkYYYk2k.............",
    "............kkkkkkkkkkkkkkkkkkkk22k.............",
    "............kyyyyyyyyyyyyyyyyyyk22k.............",
    "............kyyyyyyyyyyyyyyyyyyk22k.............",
    "............kyyyyyyyyyyyyyyyyyyk22k.............",
    "............kyyyyyyyyyyyyyyyyyyk22k.............",
    "............kyyyyyyyyyyyyyyywwyk22k.............",
    "...........kkyyyyyyyyyyyyyyyyyyk22kkkkk.........",
    "..........kOkyyyyyyyyyyyyyyyyyyk2kOOOkk.........",
    ".........kOOkyyyyyyyyyyyyyyyyyykkOOOk3k.........",
    "........kkkkkkkkkkkkkkkkkkkkkkkkkkkk33k.........",
    "........kooooooooooooooooooooooooook33k.........",
    "........kooooooooooooooooooooooooook33k.........",
    "........kooooooooooooooooooooooooook33k.........",
    "........kooooooooooooooooooooooooook33k.........",
    "........kooooooooooooooooooooooowwok33k.........",
    ".......kkooooooooooooooooooooooooook33kkkkk.....",
    "......kBkooooooooooooooooooooooooook3kBBBkk.....",
    ".....kBBkooooooooooooooooooooooooookkBBBk4k.....",
    "....kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk44k.....",
    "....kbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbk44k.....",
    "....kbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbk44k.....",
    "....kbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbk44k.....",
    "....kbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbk44k.....",
    "....kbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbwwbk44k.....",
    "....kbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbk44k.....",
    "....kbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbk4k......",
    "....kbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbkk.......",
    "....kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk........",
    "................................................",
    "................................................",
    "................................................",
    "................................................",
};

constexpr bool WellFormed() {
  return std::size(kRows) == kSize && std::ranges::all_of(kRows, [](std::string_view row) {
           return row.size() == kSize && std::ranges::all_of(row, [](char key) {
                    return std::ranges::find(kPalette, key, &rt::PaletteEntry::key) !=
                           std::end(kPalette);
                  });
         });
}
static_assert(WellFormed(), "every row must have 48 keys, each in the palette");
}  // namespace

const rt::Picture kAboutPicture{kSize, kSize, kPalette, kRows};

}  // namespace norvane
