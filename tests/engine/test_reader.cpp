#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>

#include "engine/conversion.h"

namespace norvane {
namespace {

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kSmallest = std::numeric_limits<double>::denorm_min();

struct Accepted {
  const char* name;
  std::string text;
  double value;
  char separator = '.';
};

class ReaderAccepts : public testing::TestWithParam<Accepted> {};

TEST_P(ReaderAccepts, ReadsTheNearestDouble) {
  const Accepted& row = GetParam();
  ASSERT_TRUE(IsNumericAmount(row.text, row.separator));
  // Bit for bit, so that the sign of zero counts.
  EXPECT_EQ(std::bit_cast<std::uint64_t>(AmountFromText(row.text, row.separator)),
            std::bit_cast<std::uint64_t>(row.value))
      << AmountFromText(row.text, row.separator);
}

const Accepted kAccepted[] = {
    {"zero", "0", 0.0},
    {"minus_zero", "-0", -0.0},
    {"whole", "100", 100.0},
    {"decimal", "1.5", 1.5},
    {"negative", "-3", -3.0},
    {"plus", "+7", 7.0},
    {"blanks_around", "  42  ", 42.0},
    {"tabs_around", "\t42\t", 42.0},
    {"leading_separator", ".5", 0.5},
    {"minus_leading_separator", "-.5", -0.5},
    {"plus_leading_separator", "+.5", 0.5},
    {"trailing_separator", "5.", 5.0},
    {"minus_trailing_separator", "-5.", -5.0},
    {"leading_zeros", "007", 7.0},
    {"exponent", "1.5E3", 1500.0},
    {"small_e_negative_exponent", "1e-3", 0.001},
    {"exponent_plus", "1E+05", 100000.0},
    {"trailing_separator_exponent", "5.e2", 500.0},
    {"zero_huge_exponent", "0e999999999999999999", 0.0},
    {"tenth", "0.1", 0.1},
    {"many_digits", "123456789012345678901234567890", 1.2345678901234568e29},
    {"halfway_rounds_to_even", "9007199254740993", 9007199254740992.0},
    {"largest_double", "1.7976931348623157e308", kMax},
    {"below_halfway_to_infinity", "1.7976931348623158079e308", kMax},
    {"smallest_subnormal", "4.9406564584124654e-324", kSmallest},
    {"just_above_half_smallest", "2.4703282292062328e-324", kSmallest},
    {"just_below_half_smallest", "2.4703282292062327e-324", 0.0},
    {"tiny", "1e-400", 0.0},
    {"minus_tiny", "-1e-400", -0.0},
    {"tiny_huge_negative_exponent", "7e-99999999999999999999", 0.0},
    {"x87_product_1", "3882566476e22", 0x1.ea0c7d28b14b7p+104},
    {"x87_product_2", "5468274350e21", 0x1.1413ca1b135a1p+102},
    {"x87_product_3", "6084452869888616e22", 0x1.6e31d6fe5ae77p+125},
    {"x87_product_4", "4669911152e18", 0x1.e2db84da19acfp+91},
    {"x87_product_5", "8686009999510e16", 0x1.18a8fd9fd98b1p+96},
    {"comma", "1,5", 1.5, ','},
    {"comma_leading", ",5", 0.5, ','},
    {"comma_trailing_exponent", "-2,e1", -20.0, ','},
};

INSTANTIATE_TEST_SUITE_P(Texts, ReaderAccepts, testing::ValuesIn(kAccepted),
                         [](const auto& info) { return std::string(info.param.name); });

struct Refused {
  const char* name;
  std::string text;
  char separator = '.';
};

class ReaderRefuses : public testing::TestWithParam<Refused> {};

TEST_P(ReaderRefuses, IsNoNumber) {
  const Refused& row = GetParam();
  EXPECT_FALSE(IsNumericAmount(row.text, row.separator));
  EXPECT_THROW(AmountFromText(row.text, row.separator), std::invalid_argument);
}

const Refused kRefused[] = {
    {"empty", ""},
    {"blanks", "   "},
    {"tab", "\t"},
    {"minus", "-"},
    {"plus", "+"},
    {"separator", "."},
    {"minus_separator", "-."},
    {"two_signs", "+-1"},
    {"double_minus", "--1"},
    {"trailing_minus", "1-"},
    {"trailing_plus", "1+"},
    {"two_separators", "1.2.3"},
    {"two_numbers", "1 2"},
    {"blank_after_sign", "- 1"},
    {"exponent_without_digits", "1e"},
    {"exponent_sign_only", "1e+"},
    {"exponent_alone", "e5"},
    {"separator_exponent", ".e5"},
    {"fractional_exponent", "1e5.5"},
    {"two_exponents", "1E5E5"},
    {"blank_in_exponent", "1e 5"},
    {"letters_after_digits", "12abc"},
    {"letters", "abc"},
    {"inf", "inf"},
    {"minus_inf", "-inf"},
    {"infinity", "Infinity"},
    {"nan", "nan"},
    {"hexadecimal", "0x10"},
    {"hexadecimal_float", "0x1p3"},
    {"grouping", "1,000"},
    {"grouping_and_point", "1,000.5"},
    {"underscore", "1_000"},
    {"currency", "$5"},
    {"parentheses", "(5)"},
    {"other_exponent_letter", "1d5"},
    {"newline_after", "1\n"},
    {"no_break_space", "1\xC2\xA0"},
    {"full_width_digit", "\xEF\xBC\x95"},
    {"beyond_range", "1e400"},
    {"minus_beyond_range", "-1e400"},
    {"halfway_to_infinity", "1.797693134862315808e308"},
    {"huge_exponent", "1e99999999999999999999"},
    {"nul_inside", std::string("1\0"
                               "2",
                               3)},
    {"point_with_comma_separator", "1.5", ','},
    {"comma_with_point_separator", ",5"},
};

INSTANTIATE_TEST_SUITE_P(Texts, ReaderRefuses, testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

// Random texts of every accepted form against the C library's reader (C locale), which rounds
// correctly with integer arithmetic on every platform; both separators.
TEST(Reader, AgreesWithTheCLibraryOnRandomTexts) {
  std::mt19937_64 random(20240601);
  const auto pick = [&](int below) { return static_cast<int>(random() % below); };
  const auto digits = [&](int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text.push_back(static_cast<char>('0' + pick(10)));
    return text;
  };
  const auto randomNumber = [&](int i) {
    std::string number = pick(3) == 0 ? "-" : "";
    if (i % 4 == 0) {  // a whole number times a power of ten: the reader's quickest road
      return number + std::to_string(1 + random() % 9'999'999'999'999'999) + "e" +
             std::to_string(pick(23));
    }
    const int whole = pick(4) == 0 ? 0 : 1 + pick(20);
    const int fraction = whole == 0 ? 1 + pick(20) : pick(3) == 0 ? 0 : pick(20);
    number += digits(whole);
    if (fraction > 0 || pick(4) == 0) number += "." + digits(fraction);
    if (pick(3) != 0) {
      const int range = pick(4) == 0 ? 700 : 50;
      number += (pick(2) == 0 ? "e" : "E") + std::to_string(pick(2 * range + 1) - range);
    }
    return number;
  };
  int refused = 0;
  int subnormalOrZero = 0;
  for (int i = 0; i < 200000; ++i) {
    const std::string number = randomNumber(i);
    errno = 0;
    const double expected = std::strtod(number.c_str(), nullptr);
    const bool beyondRange = errno == ERANGE && std::isinf(expected);
    if (beyondRange) ++refused;
    if (std::fpclassify(expected) == FP_SUBNORMAL || expected == 0.0) ++subnormalOrZero;

    std::string comma = number;
    std::replace(comma.begin(), comma.end(), '.', ',');
    const std::string padded = std::string(pick(2), ' ') + number + std::string(pick(2), '\t');
    ASSERT_EQ(IsNumericAmount(padded), !beyondRange) << number;
    ASSERT_EQ(IsNumericAmount(comma, ','), !beyondRange) << comma;
    if (beyondRange) continue;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(AmountFromText(padded)),
              std::bit_cast<std::uint64_t>(expected))
        << number;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(AmountFromText(comma, ',')),
              std::bit_cast<std::uint64_t>(expected))
        << comma;
  }
  EXPECT_GT(refused, 1000);
  EXPECT_GT(subnormalOrZero, 1000);
}

TEST(Reader, VeryLongTexts) {
  const std::string zeros(5000, '0');
  EXPECT_EQ(AmountFromText(zeros + "1." + zeros), 1.0);
  EXPECT_EQ(AmountFromText("1" + zeros + "e-5000"), 1.0);
  EXPECT_EQ(AmountFromText("0." + zeros + "1e5001"), 1.0);
  EXPECT_FALSE(IsNumericAmount("1" + zeros));
  EXPECT_EQ(AmountFromText("0." + zeros + "1"), 0.0);
}

}  // namespace
}  // namespace norvane
