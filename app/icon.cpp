#include "app/icon.h"

namespace norvane {
namespace {
// The standard 16-colour palette in its usual order, keyed by its index in
// hex; '.' is transparent (index 0 under a set mask bit in the .ico).
constexpr rt::PaletteEntry kPalette[] = {
    {'0', 0xFF000000}, {'1', 0xFF800000}, {'2', 0xFF008000}, {'3', 0xFF808000}, {'4', 0xFF000080},
    {'5', 0xFF800080}, {'6', 0xFF008080}, {'7', 0xFF808080}, {'8', 0xFFC0C0C0}, {'9', 0xFFFF0000},
    {'a', 0xFF00FF00}, {'b', 0xFFFFFF00}, {'c', 0xFF0000FF}, {'d', 0xFFFF00FF}, {'e', 0xFF00FFFF},
    {'f', 0xFFFFFFFF}, {'.', 0x00000000},
};

// A pocket calculator: cyan body outlined in black with a dark cyan shadow,
// yellow display, 4 x 4 light-grey keys with a wide key bottom left and a
// tall key bottom right.
constexpr std::string_view kRows[] = {
    "......00000000000000000000......", ".....0eeeeeeeeeeeeeeeeeee60.....",
    ".....0e00000000000000000e60.....", ".....0e0bbbbbbbbbbbbbbb0e60.....",
    ".....0e0bbbbbbbbbbbbbbb0e60.....", ".....0e0bbbbbbbbbbbbbbb0e60.....",
    ".....0e0bbbbbbbbbbbbbbb0e60.....", ".....0e0bbbbbbbbbbbbbbb0e60.....",
    ".....0e00000000000000000e60.....", ".....0eeeeeeeeeeeeeeeeeee60.....",
    ".....0eeeeeeeeeeeeeeeeeee60.....", ".....0e00000000000000000e60.....",
    ".....0e08880888088808880e60.....", ".....0e08880888088808880e60.....",
    ".....0e08880888088808880e60.....", ".....0e00000000000000000e60.....",
    ".....0e08880888088808880e60.....", ".....0e08880888088808880e60.....",
    ".....0e08880888088808880e60.....", ".....0e00000000000000000e60.....",
    ".....0e08880888088808880e60.....", ".....0e08880888088808880e60.....",
    ".....0e08880888088808880e60.....", ".....0e00000000000008880e60.....",
    ".....0e08888888088808880e60.....", ".....0e08888888088808880e60.....",
    ".....0e08888888088808880e60.....", ".....0e00000000000000000e60.....",
    ".....0eeeeeeeeeeeeeeeeeee60.....", ".....0eeeeeeeeeeeeeeeeeee60.....",
    ".....0666666666666666666660.....", "......00000000000000000000......",
};
}  // namespace

const rt::Picture kApplicationIcon{32, 32, kPalette, kRows};

}  // namespace norvane
