#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "engine/conversion.h"

namespace norvane {
namespace {

struct Case {
  const char* name;
  double x;
  const char* text;
  char separator = '.';
};

class FormatTable : public testing::TestWithParam<Case> {};

TEST_P(FormatTable, WritesTheText) {
  const Case& row = GetParam();
  EXPECT_EQ(FormatResult(row.x, row.separator), row.text);
}

const Case kCases[] = {
    {"zero", 0.0, "0"},
    {"minus_zero", -0.0, "0"},
    {"whole", 1024.0, "1024"},
    {"one_decimal", 1.5, "1.5"},
    {"fifth_decimal_zero", 1205632.7052, "1205632.7052"},
    {"below_one", 0.09766, "0.09766"},
    {"negative_below_one", -0.00293, "-0.00293"},
    {"sixteen_digits", 1264197519486.4128, "1264197519486.41"},
    {"fifteen_digits", 1234567890.12345, "1234567890.12345"},
    {"binary_noise", 0.1 + 0.2, "0.3"},
    {"largest_plain", 999999999999999.0, "999999999999999"},
    {"ten_to_14", 1e14, "100000000000000"},
    {"ten_to_15", 1e15, "1E+15"},
    {"rounds_up_to_ten_to_15", 999999999999999.9, "1E+15"},
    {"minus_ten_to_15", -1e15, "-1E+15"},
    {"exponent_with_fraction", 1.5e300, "1.5E+300"},
    {"exponent_rounded", 123456789012345678.0, "1.23456789012346E+17"},
    {"largest_double", std::numeric_limits<double>::max(), "1.79769313486232E+308"},
    {"ten_units", 0.0001, "0.0001"},
    {"small_plain", 0.00012345, "0.00012345"},
    {"one_unit", 0.00001, "0.00001"},
    {"minus_nine_units", -0.00009, "-0.00009"},
    {"below_one_unit", 0.0000015, "1.5E-06"},
    {"rounds_up_to_plain", 0.0000099999999999999999, "0.00001"},
    {"smallest_subnormal", 5e-324, "4.94065645841247E-324"},
    {"comma", 1.5, "1,5", ','},
    {"comma_below_one", -0.09766, "-0,09766", ','},
    {"comma_exponent", 1.5e20, "1,5E+20", ','},
    {"comma_whole", 1073741824.0, "1073741824", ','},
};

INSTANTIATE_TEST_SUITE_P(Values, FormatTable, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Random doubles of every magnitude against the C library's "%.14e", which gives the value to 15
// significant digits by another road: same number, and the form the rules ask for.
TEST(Format, AgreesWithTheCLibraryOnRandomDoubles) {
  std::mt19937_64 random(5);
  for (int i = 0; i < 200000; ++i) {
    double x = i % 2 == 0 ? std::bit_cast<double>(random())
                          : std::ldexp(static_cast<double>(random() >> 11), -53) *
                                std::pow(10.0, static_cast<int>(random() % 40) - 20);
    if (!std::isfinite(x) || x == 0.0) continue;
    std::array<char, 64> expected{};
    std::snprintf(expected.data(), expected.size(), "%.14e", x);
    const std::string text = FormatResult(x);
    ASSERT_EQ(std::strtod(text.c_str(), nullptr), std::strtod(expected.data(), nullptr))
        << text << " " << expected.data();

    const int exponent = std::atoi(std::strchr(expected.data(), 'e') + 1);
    const std::size_t e = text.find('E');
    const bool plain = exponent >= -5 && exponent < 15;
    ASSERT_EQ(e == std::string::npos, plain) << text;
    const std::string mantissa = text.substr(0, e);
    if (mantissa.find('.') != std::string::npos) {
      ASSERT_NE(mantissa.back(), '0') << text;
    }
    ASSERT_EQ(mantissa.find_first_of("+ ,"), std::string::npos) << text;
    if (plain) {
      ASSERT_EQ(std::fabs(x) < 1, text.rfind(x < 0 ? "-0." : "0.", 0) == 0) << text;
    } else {
      ASSERT_LE(mantissa.size(), x < 0 ? 17u : 16u) << text;
      ASSERT_GE(text.size() - e, 4u) << text;
      ASSERT_TRUE(text[e + 1] == '+' || text[e + 1] == '-') << text;
    }
  }
}

}  // namespace
}  // namespace norvane
