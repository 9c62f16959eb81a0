#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/conversion.h"

namespace norvane {
namespace {

constexpr double kMax = std::numeric_limits<double>::max();

std::string UnitName(Unit unit) {
  constexpr std::array<const char*, 4> kNames = {"Bytes", "Kilobytes", "Megabytes", "Gigabytes"};
  return kNames[static_cast<std::size_t>(unit)];
}

std::string ShortestText(double x) {
  std::array<char, 32> buffer{};
  return std::string(buffer.data(),
                     std::to_chars(buffer.data(), buffer.data() + buffer.size(), x).ptr);
}

struct Row {
  const char* name;
  const char* entry;
  Unit unit;
  ResultTexts texts;
  char separator = '.';
};

class CalculateTable : public testing::TestWithParam<Row> {};

TEST_P(CalculateTable, GivesTheFourTexts) {
  const Row& row = GetParam();
  ASSERT_TRUE(IsNumericAmount(row.entry, row.separator));
  EXPECT_EQ(CalculateResults(row.entry, row.unit, row.separator), row.texts);
}

// The design's table of edge cases, then the same with a comma, then a few more.
const Row kRows[] = {
    {"e100_Megabytes", "100", Unit::Megabytes, {"104857600", "102400", "100", "0.09766"}},
    {"e1_Kilobytes", "1", Unit::Kilobytes, {"1024", "1", "0.00098", "0"}},
    {"e1_Bytes", "1", Unit::Bytes, {"1", "0.00098", "0", "0"}},
    {"e1_Gigabytes", "1", Unit::Gigabytes, {"1073741824", "1048576", "1024", "1"}},
    {"e1_5_Gigabytes", "1.5", Unit::Gigabytes, {"1610612736", "1572864", "1536", "1.5"}},
    {"e0_5_Kilobytes", "0.5", Unit::Kilobytes, {"512", "0.5", "0.00049", "0"}},
    {"e0_Bytes", "0", Unit::Bytes, {"0", "0", "0", "0"}},
    {"e0_Kilobytes", "0", Unit::Kilobytes, {"0", "0", "0", "0"}},
    {"e0_Megabytes", "0", Unit::Megabytes, {"0", "0", "0", "0"}},
    {"e0_Gigabytes", "0", Unit::Gigabytes, {"0", "0", "0", "0"}},
    {"minus3_Megabytes", "-3", Unit::Megabytes, {"-3145728", "-3072", "-3", "-0.00293"}},
    {"e16_Megabytes", "16", Unit::Megabytes, {"16777216", "16384", "16", "0.01562"}},
    {"e48_Megabytes", "48", Unit::Megabytes, {"50331648", "49152", "48", "0.04688"}},
    {"e2048_Bytes", "2048", Unit::Bytes, {"2048", "2", "0.00195", "0"}},
    {"e123456789_Bytes",
     "123456789",
     Unit::Bytes,
     {"123456789", "120563.27051", "117.73757", "0.11498"}},
    {"e1000_Gigabytes",
     "1000",
     Unit::Gigabytes,
     {"1073741824000", "1048576000", "1024000", "1000"}},
    {"e1234567890_12345_Kilobytes",
     "1234567890.12345",
     Unit::Kilobytes,
     {"1264197519486.41", "1234567890.12345", "1205632.7052", "1177.37569"}},
    {"minus2_Kilobytes", "-2", Unit::Kilobytes, {"-2048", "-2", "-0.00195", "0"}},
    {"minus0_Gigabytes", "-0", Unit::Gigabytes, {"0", "0", "0", "0"}},
    {"comma_1_5_Gigabytes", "1,5", Unit::Gigabytes, {"1610612736", "1572864", "1536", "1,5"}, ','},
    {"comma_100_Megabytes", "100", Unit::Megabytes, {"104857600", "102400", "100", "0,09766"}, ','},
    {"comma_1234567890_12345_Kilobytes",
     "1234567890,12345",
     Unit::Kilobytes,
     {"1264197519486,41", "1234567890,12345", "1205632,7052", "1177,37569"},
     ','},
    {"comma_minus3_Megabytes", "-3", Unit::Megabytes, {"-3145728", "-3072", "-3", "-0,00293"}, ','},
    {"exponent_1E300_Bytes",
     "1E300",
     Unit::Bytes,
     {"1E+300", "9.765625E+296", "9.5367431640625E+293", "9.31322574615479E+290"}},
    {"tiny_1e_minus400_Gigabytes", "1e-400", Unit::Gigabytes, {"0", "0", "0", "0"}},
    {"blanks_plus_Kilobytes", " +2.5e1\t", Unit::Kilobytes, {"25600", "25", "0.02441", "0.00002"}},
};

INSTANTIATE_TEST_SUITE_P(Entries, CalculateTable, testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

struct Limit {
  Unit unit;
  double factor;
};

class OverflowLimit : public testing::TestWithParam<Limit> {};

TEST_P(OverflowLimit, ExactLimitPassesAndTheNextDoubleFails) {
  const auto [unit, factor] = GetParam();
  const double limit = kMax / factor;
  for (const double sign : {1.0, -1.0}) {
    const ResultValues values = ConvertAmount(sign * limit, unit);
    EXPECT_EQ(values[0], sign * kMax);
    EXPECT_THROW(ConvertAmount(sign * std::nextafter(limit, kMax), unit), OverflowError);
  }

  const std::string atLimit = ShortestText(limit);
  const std::string beyond = ShortestText(std::nextafter(limit, kMax));
  ASSERT_TRUE(IsNumericAmount(atLimit));
  ASSERT_TRUE(IsNumericAmount(beyond));
  ResultTexts shown = CalculateResults(atLimit, unit);
  EXPECT_EQ(shown[0], "1.79769313486232E+308");
  const ResultTexts before = shown;
  EXPECT_THROW(shown = CalculateResults(beyond, unit), OverflowError);
  EXPECT_THROW(shown = CalculateResults("-" + beyond, unit), OverflowError);
  EXPECT_EQ(shown, before);
}

INSTANTIATE_TEST_SUITE_P(Units, OverflowLimit,
                         testing::Values(Limit{Unit::Kilobytes, 1024.0},
                                         Limit{Unit::Megabytes, 1048576.0},
                                         Limit{Unit::Gigabytes, 1073741824.0}),
                         [](const auto& info) { return UnitName(info.param.unit); });

TEST(Overflow, WhatIsWordedForTheUser) {
  EXPECT_STREQ(OverflowError().what(), "The amount is too large to convert.");
}

TEST(Overflow, BytesNeverOverflow) {
  for (const char* text :
       {"1.7976931348623157e308", "-1.7976931348623157E308", "1e308", "5e-324"}) {
    EXPECT_NO_THROW(CalculateResults(text, Unit::Bytes)) << text;
  }
  std::mt19937_64 random(7);
  for (int i = 0; i < 10000; ++i) {
    const double x = std::bit_cast<double>(random());
    if (std::isfinite(x)) {
      EXPECT_NO_THROW(ConvertAmount(x, Unit::Bytes)) << x;
    }
  }
}

TEST(Overflow, FlagsLeftByEarlierWorkDoNotCount) {
  std::feraiseexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO);
  EXPECT_EQ(ConvertAmount(1.0, Unit::Gigabytes)[0], 1073741824.0);
}

TEST(Overflow, AmountThatIsNotFiniteIsRefused) {
  for (const double x :
       {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN()}) {
    for (const Unit unit : {Unit::Bytes, Unit::Kilobytes, Unit::Megabytes, Unit::Gigabytes}) {
      EXPECT_THROW(ConvertAmount(x, unit), OverflowError) << x << " " << UnitName(unit);
    }
  }
}

TEST(Convert, QuotientsBelowTheNormalRangeAreNoError) {
  const double smallest = std::numeric_limits<double>::denorm_min();
  const double tiny = std::numeric_limits<double>::min();
  const ResultValues values = ConvertAmount(tiny, Unit::Bytes);
  EXPECT_EQ(values[3], std::ldexp(tiny, -30));
  EXPECT_GT(values[3], 0.0);
  EXPECT_EQ(ConvertAmount(smallest, Unit::Bytes)[1], 0.0);
  EXPECT_EQ(CalculateResults("2.2250738585072014e-308", Unit::Bytes),
            (ResultTexts{"0", "0", "0", "0"}));
}

TEST(Convert, EachValueIsOneExactOperationBytesFirst) {
  const double a = 3.0000000000000004;  // an odd significand: any step through 1024 would show
  const ResultValues values = ConvertAmount(a, Unit::Megabytes);
  EXPECT_EQ(values, (ResultValues{a * 1048576.0, a * 1024.0, a, a / 1024.0}));
}

TEST(Calculate, TextThatIsNotNumericIsRefused) {
  for (const char* text : {"", "   ", "-", ".", "12abc"}) {
    EXPECT_FALSE(IsNumericAmount(text)) << '"' << text << '"';
    EXPECT_THROW(CalculateResults(text, kDefaultUnit), std::invalid_argument) << text;
  }
}

// Whole results (as shown, to 15 digits) never show a separator and fractional ones never end in
// zero.
TEST(Calculate, NoTrailingZerosAndNoSeparatorOnWholeResults) {
  std::mt19937_64 random(11);
  std::uniform_int_distribution<int> cents(-99999, 99999);
  for (int i = 0; i < 2000; ++i) {
    const std::string entry = std::to_string(cents(random)) + "," + std::to_string(i % 100);
    for (const Unit unit : {Unit::Bytes, Unit::Kilobytes, Unit::Megabytes, Unit::Gigabytes}) {
      const ResultTexts texts = CalculateResults(entry, unit, ',');
      const ResultValues values = ConvertAmount(AmountFromText(entry, ','), unit);
      for (std::size_t j = 0; j < 4; ++j) {
        const std::string& text = texts[j];
        std::array<char, 32> fifteenDigits{};
        std::snprintf(fifteenDigits.data(), fifteenDigits.size(), "%.14e", RoundResult(values[j]));
        const double shown = std::strtod(fifteenDigits.data(), nullptr);
        const bool whole = std::floor(shown) == shown;
        const bool plain = text.find('E') == std::string::npos;
        if (whole || plain) {
          EXPECT_EQ(text.find(',') == std::string::npos, whole) << entry << " -> " << text;
        }
        if (!whole) {
          EXPECT_NE(text.back(), '0') << entry << " -> " << text;
        }
        EXPECT_EQ(text.find('.'), std::string::npos) << text;
        EXPECT_NE(text, "-0");
      }
    }
  }
}

TEST(Calculate, NegativeAmountsKeepTheirSignInEveryNonZeroBox) {
  for (const char* text : {"1", "0.5", "123456789", "16", "2.75e6"}) {
    for (const Unit unit : {Unit::Bytes, Unit::Kilobytes, Unit::Megabytes, Unit::Gigabytes}) {
      const ResultTexts positive = CalculateResults(text, unit);
      const ResultTexts negative = CalculateResults(std::string("-") + text, unit);
      for (std::size_t j = 0; j < 4; ++j) {
        EXPECT_EQ(negative[j], positive[j] == "0" ? "0" : "-" + positive[j]) << text;
      }
    }
  }
}

}  // namespace
}  // namespace norvane
