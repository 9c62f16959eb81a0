#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/conversion.h"

namespace norvane {
namespace {

// The reference: |x| = m / 2^s written out by long division, one decimal digit at a time, with the
// remainder kept as a big binary number; the rounding is then done on the decimal digits.
struct Reference {
  std::string text;  // the nearest multiple of 0.00001, e.g. "-12.34568"
  bool tie = false;  // x was exactly halfway between two multiples
};

class Remainder {
 public:
  // `numerator` / 2^bits, numerator < 2^bits.
  Remainder(std::uint64_t numerator, int bits)
      : m_bits(bits), m_limbs(static_cast<std::size_t>(bits) / 32 + 2, 0) {
    m_limbs[0] = static_cast<std::uint32_t>(numerator);
    m_limbs[1] = static_cast<std::uint32_t>(numerator >> 32);
  }
  // Multiplies by `factor` and returns the whole part that moves above the point.
  int TakeDigit(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : m_limbs) {
      const std::uint64_t product = std::uint64_t{limb} * factor + carry;
      limb = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    const std::size_t word = static_cast<std::size_t>(m_bits) / 32;
    const int bit = m_bits % 32;
    const std::uint64_t above =
        (std::uint64_t{m_limbs[word]} | std::uint64_t{m_limbs[word + 1]} << 32) >> bit;
    m_limbs[word] &= static_cast<std::uint32_t>((std::uint64_t{1} << bit) - 1);
    m_limbs[word + 1] = 0;
    return static_cast<int>(above);
  }
  bool IsZero() const {
    for (const std::uint32_t limb : m_limbs) {
      if (limb != 0) return false;
    }
    return true;
  }

 private:
  int m_bits;
  std::vector<std::uint32_t> m_limbs;
};

Reference ExactRounding(double x) {
  int exponent = 0;
  const double significand = std::frexp(std::fabs(x), &exponent);
  const auto m = static_cast<std::uint64_t>(std::ldexp(significand, 64));  // exact: 53 bits
  const int bits = 64 - exponent;                                          // |x| = m / 2^bits
  std::string whole = "0";
  Remainder remainder(0, 1);
  if (bits <= 0) {
    return {std::to_string(x), false};
  } else if (bits < 64) {
    whole = std::to_string(m >> bits);
    remainder = Remainder(m & ((std::uint64_t{1} << bits) - 1), bits);
  } else {
    remainder = Remainder(m, bits);
  }
  std::string fraction;
  for (int k = 0; k < 5; ++k) fraction.push_back(static_cast<char>('0' + remainder.TakeDigit(10)));
  const bool halfBit = remainder.TakeDigit(2) == 1;
  const bool tie = halfBit && remainder.IsZero();
  std::string digits = whole + fraction;
  if (halfBit && (!tie || (digits.back() - '0') % 2 == 1)) {
    std::size_t k = digits.size();
    while (k > 0 && digits[k - 1] == '9') digits[--k] = '0';
    if (k == 0) {
      digits.insert(digits.begin(), '1');
    } else {
      ++digits[k - 1];
    }
  }
  const std::string text =
      digits.substr(0, digits.size() - 5) + "." + digits.substr(digits.size() - 5);
  std::string sign = std::signbit(x) ? "-" : "";
  return {sign.append(text), tie};
}

std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// Expected text of FormatResult for a rounded value of at most 15 significant digits.
std::string WithoutTrailingZeros(std::string text) {
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

std::size_t SignificantDigits(const std::string& text) {
  const std::size_t first = text.find_first_of("123456789");
  if (first == std::string::npos) return 0;
  std::size_t count = 0;
  for (std::size_t k = first; k < text.size(); ++k) count += text[k] != '.';
  return count;
}

struct Case {
  const char* name;
  double x;
  double rounded;
};

class RoundTable : public testing::TestWithParam<Case> {};

TEST_P(RoundTable, GivesTheNearestMultiple) {
  const Case& row = GetParam();
  EXPECT_EQ(Bits(RoundResult(row.x)), Bits(row.rounded)) << RoundResult(row.x);
}

const Case kCases[] = {
    {"tie_to_even_down", 0.015625, 0.01562},
    {"tie_to_even_up", 0.046875, 0.04688},
    {"minus_tie", -0.015625, -0.01562},
    {"kilobyte_in_gigabytes", 0.09765625, 0.09766},
    {"kilobyte_in_megabytes", 0.0009765625, 0.00098},
    {"three_megabytes_in_gigabytes", 0.0029296875, 0.00293},
    {"below_half_unit", 0.0000049999999, 0.0},
    {"minus_below_half_unit", -0.000001, -0.0},
    {"half_unit_is_no_tie", 0.000005, 0.00001},
    {"whole", 1024.0, 1024.0},
    {"minus_zero", -0.0, -0.0},
    {"largest", std::numeric_limits<double>::max(), std::numeric_limits<double>::max()},
    {"two_to_52_and_a_half", 4503599627370495.5, 4503599627370495.5},
    {"scaled_beyond_range", 1e305, 1e305},
    {"smallest_subnormal", std::numeric_limits<double>::denorm_min(), 0.0},
    {"infinity", std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()},
    {"table_kilobytes", 120563.2705078125, 120563.27051},
    {"table_megabytes", 117.737568855285644531, 117.73757},
    {"just_below_a_tie", 255.06903499999999, 255.06903},  // x * 100000 gives ...904
    {"just_above_a_tie", 760.962445, 760.96245},          // x * 100000 gives ...244
    {"large_with_fraction", 68719476735.999984741, 68719476735.99998},
};

INSTANTIATE_TEST_SUITE_P(Values, RoundTable, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Round, NanStaysNan) {
  EXPECT_TRUE(std::isnan(RoundResult(std::numeric_limits<double>::quiet_NaN())));
}

// A million doubles of every kind against the long-division reference, with exact ties planted:
// the odd multiples of 1/64 are exactly the doubles halfway between two multiples of 0.00001.
// Where the reference has at most 15 significant digits, FormatResult must write it exactly.
TEST(Round, AgreesWithLongDivisionOnAMillionDoubles) {
  constexpr int kSamples = 1'000'000;
  std::mt19937_64 random(42);
  const auto uniform = [&] { return std::ldexp(static_cast<double>(random() >> 11), -53); };
  int mismatches = 0;
  int ties = 0;
  int formatted = 0;
  for (int i = 0; i < kSamples; ++i) {
    double x = 0.0;
    switch (i % 6) {
      case 0:  // any bit pattern
        do x = std::bit_cast<double>(random());
        while (!std::isfinite(x));
        break;
      case 1:  // magnitudes a calculation shows
        x = std::pow(10.0, -8.0 + 24.0 * uniform());
        break;
      case 2: {  // amounts with up to five decimals in any unit
        const double amount = static_cast<double>(random() % 10'000'000'000) / 100000.0;
        x = amount / std::ldexp(1.0, 10 * static_cast<int>(random() % 7));
        break;
      }
      case 3:  // exact ties
        x = static_cast<double>((random() >> (11 + random() % 53)) | 1) / 64.0;
        break;
      default:  // just beside a tie
        x = static_cast<double>((random() >> (12 + random() % 52)) | 1) / 64.0;
        x = std::nextafter(x, i % 2 == 0 ? 0.0 : 1e300);
        break;
    }
    if (random() % 2 == 0) x = -x;

    const Reference reference = ExactRounding(x);
    ties += reference.tie ? 1 : 0;
    const double expected = std::strtod(reference.text.c_str(), nullptr);
    const double rounded = RoundResult(x);
    if (Bits(rounded) != Bits(expected) || Bits(RoundResult(rounded)) != Bits(rounded)) {
      if (++mismatches <= 10) {
        ADD_FAILURE() << std::hexfloat << x << " gives " << rounded << ", expected "
                      << reference.text;
      }
    }
    const double magnitude = std::fabs(expected);
    if (SignificantDigits(WithoutTrailingZeros(reference.text)) <= 15 && magnitude >= 1e-5 &&
        magnitude < 1e15) {
      ++formatted;
      EXPECT_EQ(FormatResult(rounded), WithoutTrailingZeros(reference.text)) << reference.text;
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(ties, kSamples / 7);
  std::printf("%d doubles, %d exact ties, %d texts checked, %d mismatches\n", kSamples, ties,
              formatted, mismatches);
}

}  // namespace
}  // namespace norvane
