// The icon files as the build writes them from the application icon.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/icon.h"
#include "tests/app/bytes.h"

namespace {

using namespace norvane::test;

// black, dark red, dark green, dark yellow, dark blue, dark magenta, dark cyan, dark grey,
// light grey, red, green, yellow, blue, magenta, cyan, white
constexpr std::array<std::uint32_t, 16> kStandard = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
    0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
constexpr int kBlack = 0, kDarkCyan = 6, kLightGrey = 8, kYellow = 11, kCyan = 14;

class IconFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ico = ReadFile(NORVANE_ICON_DIR "/Norvane.ico");
    ASSERT_EQ(ico.size(), 6u + 16u + 744u);
    image = Bytes(ico.begin() + 22, ico.end());
  }
  // Palette index and transparency of pixel (x, y), y counted from the top.
  int Index(int x, int y) const {
    const std::uint8_t pair = image.at(40 + 64 + (31 - y) * 16 + x / 2);
    return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
  }
  bool Transparent(int x, int y) const {
    return image.at(40 + 64 + 512 + (31 - y) * 4 + x / 8) & (0x80 >> (x % 8));
  }
  Bytes ico, image;
};

TEST_F(IconFile, DirectoryHoldsOne32x32SixteenColourImage) {
  EXPECT_EQ(U16(ico, 0), 0u);
  EXPECT_EQ(U16(ico, 2), 1u);  // icon, not cursor
  EXPECT_EQ(U16(ico, 4), 1u);
  EXPECT_EQ(ico[6], 32);
  EXPECT_EQ(ico[7], 32);
  EXPECT_EQ(ico[8], 16);
  EXPECT_EQ(ico[9], 0);
  EXPECT_EQ(U16(ico, 10), 1u);
  EXPECT_EQ(U16(ico, 12), 4u);
  EXPECT_EQ(U32(ico, 14), 744u);
  EXPECT_EQ(U32(ico, 18), 22u);
}

TEST_F(IconFile, BitmapHeaderCoversColourAndMaskHalves) {
  EXPECT_EQ(U32(image, 0), 40u);
  EXPECT_EQ(U32(image, 4), 32u);
  EXPECT_EQ(U32(image, 8), 64u);
  EXPECT_EQ(U16(image, 12), 1u);
  EXPECT_EQ(U16(image, 14), 4u);
  EXPECT_EQ(U32(image, 16), 0u);  // uncompressed
}

TEST_F(IconFile, PaletteIsTheStandardSixteenInOrder) {
  for (std::size_t i = 0; i < kStandard.size(); ++i) {
    const std::size_t at = 40 + 4 * i;
    const std::uint32_t rgb = image[at + 2] << 16 | image[at + 1] << 8 | image[at];
    EXPECT_EQ(rgb, kStandard[i]) << "entry " << i;
    EXPECT_EQ(image[at + 3], 0) << "entry " << i;
  }
}

TEST_F(IconFile, PixelsMatchTheDrawnPicture) {
  const norvane::rt::Picture& icon = norvane::kApplicationIcon;
  ASSERT_EQ(icon.width, 32);
  ASSERT_EQ(icon.height, 32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const char key = icon.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
      std::uint32_t argb = 0;
      for (const auto& entry : icon.palette) {
        if (entry.key == key) argb = entry.argb;
      }
      const bool clear = (argb >> 24) == 0;
      EXPECT_EQ(Transparent(x, y), clear) << x << "," << y;
      EXPECT_EQ(kStandard.at(static_cast<std::size_t>(Index(x, y))), clear ? 0u : argb & 0xFFFFFF)
          << x << "," << y;
    }
  }
}

TEST_F(IconFile, FiveColumnsEachSideAreTransparent) {
  for (int y = 0; y < 32; ++y) {
    for (int x : {0, 1, 2, 3, 4, 27, 28, 29, 30, 31}) {
      EXPECT_TRUE(Transparent(x, y)) << x << "," << y;
      EXPECT_EQ(Index(x, y), 0) << x << "," << y;
    }
    // The body's outline stands right next to them (its corners rounded off).
    if (y > 0 && y < 31) {
      EXPECT_EQ(Index(5, y), kBlack) << y;
      EXPECT_EQ(Index(26, y), kBlack) << y;
    }
  }
}

TEST_F(IconFile, ShowsACyanCalculatorWithYellowDisplayAndGreyKeys) {
  std::set<int> colours;
  for (int y = 0; y < 32; ++y) {
    for (int x = 5; x < 27; ++x) {
      if (!Transparent(x, y)) colours.insert(Index(x, y));
    }
  }
  EXPECT_EQ(colours, (std::set<int>{kBlack, kDarkCyan, kLightGrey, kYellow, kCyan}));
  EXPECT_EQ(Index(6, 16), kCyan);        // body
  EXPECT_EQ(Index(15, 5), kYellow);      // display strip near the top
  EXPECT_EQ(Index(9, 13), kLightGrey);   // a key
  EXPECT_EQ(Index(11, 13), kBlack);      // a key border
  EXPECT_EQ(Index(11, 25), kLightGrey);  // the wide key bottom left spans two columns
  EXPECT_EQ(Index(21, 23), kLightGrey);  // the tall key spans the last two rows
}

TEST(IconGroup, NamesTheImageById30001) {
  const Bytes group = ReadFile(NORVANE_ICON_DIR "/norvane-icon-group.bin");
  const Bytes ico = ReadFile(NORVANE_ICON_DIR "/Norvane.ico");
  ASSERT_EQ(group.size(), 20u);
  ASSERT_GE(ico.size(), 22u);
  // The group entry repeats the .ico entry but ends in the image's id, not its offset.
  EXPECT_TRUE(std::equal(group.begin(), group.begin() + 18, ico.begin()));
  EXPECT_EQ(U16(group, 18), 30001u);
  EXPECT_EQ(ReadFile(NORVANE_ICON_DIR "/norvane-icon-image.bin"),
            Bytes(ico.begin() + 22, ico.end()));
}

}  // namespace
