#include <gtest/gtest.h>

#include <string>

#include "app/display.h"

namespace norvane::rt {
namespace {

struct PasteRow {
  const char* name;
  std::string pasted;
  std::string kept;
};

class Paste : public testing::TestWithParam<PasteRow> {};

TEST_P(Paste, KeepsTheLineItHolds) {
  EXPECT_EQ(PastedEntryText(GetParam().pasted), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Entry, Paste,
                         testing::Values(PasteRow{"SpreadsheetCell", "12\n", "12"},
                                         PasteRow{"WindowsLine", "7\r\n", "7"},
                                         PasteRow{"OldMacLine", "7\r", "7"},
                                         PasteRow{"BreaksBothEnds", "\r\n\n-3.5\r\n\r\n", "-3.5"},
                                         PasteRow{"BreakInsideKeptWhole", "1\n2", "1\n2"},
                                         PasteRow{"BreakInsideAndAtEnd", "1\r\n2\r\n", "1\r\n2"},
                                         PasteRow{"BlanksAreTheReadersToJudge", " 5 \n", " 5 "},
                                         PasteRow{"TabKept", "\t5\n", "\t5"},
                                         PasteRow{"OnlyBreaks", "\r\n\r\n", ""},
                                         PasteRow{"Empty", "", ""},
                                         PasteRow{"NonAsciiUntouched",
                                                  "\xC2\xA0"
                                                  "5\n",
                                                  "\xC2\xA0"
                                                  "5"}),
                         [](const auto& info) { return std::string(info.param.name); });

constexpr Rgb kBlue{0, 0, 255}, kWhite{255, 255, 255}, kBlack{0, 0, 0};

TEST(Contrast, KnownRatios) {
  EXPECT_NEAR(ContrastRatio(kBlack, kWhite), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(kWhite, kBlack), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(kBlue, kBlue), 1.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(kBlue, kWhite), 8.59, 0.01);
  // The dark window colour of a common dark style: pure blue all but vanishes.
  EXPECT_LT(ContrastRatio(kBlue, Rgb{53, 53, 53}), 2.0);
}

struct BackgroundRow {
  const char* name;
  Rgb background;
  bool keepsPureBlue;
};

class Readable : public testing::TestWithParam<BackgroundRow> {};

TEST_P(Readable, ReachesTheContrastWithTheLeastChange) {
  const auto& row = GetParam();
  const Rgb shown = ReadableOn(kBlue, row.background);
  EXPECT_GE(ContrastRatio(shown, row.background), kReadableContrast);
  EXPECT_EQ(shown == kBlue, row.keepsPureBlue);
  // Still blue: the blue channel leads.
  EXPECT_GE(shown.blue, shown.red);
  EXPECT_EQ(shown.red, shown.green);
  if (row.keepsPureBlue) return;
  // One step less towards the end colour would not be readable: the nearest blue that is.
  const bool towardsWhite = shown.blue == 255;
  const Rgb lessChanged = towardsWhite ? Rgb{static_cast<std::uint8_t>(shown.red - 1),
                                             static_cast<std::uint8_t>(shown.green - 1), 255}
                                       : Rgb{0, 0, static_cast<std::uint8_t>(shown.blue + 1)};
  EXPECT_LT(ContrastRatio(lessChanged, row.background), kReadableContrast);
}

INSTANTIATE_TEST_SUITE_P(Palettes, Readable,
                         testing::Values(BackgroundRow{"White", kWhite, true},
                                         BackgroundRow{"LightGrey", Rgb{239, 239, 239}, true},
                                         BackgroundRow{"Black", kBlack, false},
                                         BackgroundRow{"DarkGrey", Rgb{53, 53, 53}, false},
                                         BackgroundRow{"NightBlue", Rgb{0, 0, 64}, false},
                                         BackgroundRow{"MidGrey", Rgb{128, 128, 128}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace norvane::rt
