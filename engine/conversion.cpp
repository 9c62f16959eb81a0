#include "engine/conversion.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#if defined(__clang__)
#pragma STDC FENV_ACCESS ON
#endif

namespace norvane {
namespace {

constexpr std::array<double, 4> kFactor = {1.0, 1024.0, 1048576.0, 1073741824.0};
constexpr int kRangeFlags = FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO;

// The x87 unit keeps 64-bit significands in its registers, so a product there is rounded twice on
// its way to a double and can miss the nearest double by one unit. The library's decimal reader
// on 32-bit x86 does that for texts such as "3882566476e22"; while one of these objects lives,
// the registers round to 53 bits and the reader is correct.
class DoubleRoundingScope {
 public:
#if defined(__i386__) && !defined(__SSE2_MATH__) && (defined(__GNUC__) || defined(__clang__))
  DoubleRoundingScope() {
    __asm__ volatile("fnstcw %0" : "=m"(m_saved));
    const std::uint16_t doublePrecision = (m_saved & ~std::uint16_t{0x0300}) | 0x0200;
    __asm__ volatile("fldcw %0" : : "m"(doublePrecision));
  }
  ~DoubleRoundingScope() { __asm__ volatile("fldcw %0" : : "m"(m_saved)); }

 private:
  std::uint16_t m_saved = 0;
#else
  DoubleRoundingScope() {}
#endif
  DoubleRoundingScope(const DoubleRoundingScope&) = delete;
  DoubleRoundingScope& operator=(const DoubleRoundingScope&) = delete;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The accepted text rewritten in the syntax of std::from_chars: '-', digits, '.', 'e'. Short texts
// stay on the stack.
class ReaderText {
 public:
  explicit ReaderText(std::size_t capacity) {
    if (capacity > m_small.size()) {
      m_large.resize(capacity);
      m_data = m_large.data();
    }
  }
  void Append(char c) { m_data[m_size++] = c; }
  const char* begin() const { return m_data; }
  const char* end() const { return m_data + m_size; }

 private:
  std::array<char, 48> m_small{};
  std::string m_large;
  char* m_data = m_small.data();
  std::size_t m_size = 0;
};

// The one reader behind IsNumericAmount and AmountFromText.
std::optional<double> ReadAmount(std::string_view text, char decimalSeparator) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  std::size_t last = n;
  while (last > i && IsBlank(text[last - 1])) --last;

  // "0" is put in front of ".5": at most one character more than the text.
  ReaderText out(last - i + 2);
  bool negative = false;
  if (i < last && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    if (negative) out.Append('-');
    ++i;
  }

  // Decimal exponent of the leading non-zero digit, to tell a tiny number from a huge one.
  long long leadExponent = 0;
  bool seenNonZero = false;
  std::size_t wholeDigits = 0;
  for (; i < last && IsDigit(text[i]); ++i, ++wholeDigits) {
    out.Append(text[i]);
    if (seenNonZero) {
      ++leadExponent;
    } else if (text[i] != '0') {
      seenNonZero = true;
    }
  }
  std::size_t fractionDigits = 0;
  if (i < last && text[i] == decimalSeparator) {
    ++i;
    if (wholeDigits == 0) out.Append('0');
    out.Append('.');
    for (; i < last && IsDigit(text[i]); ++i, ++fractionDigits) {
      out.Append(text[i]);
      if (!seenNonZero) {
        --leadExponent;
        seenNonZero = text[i] != '0';
      }
    }
  }
  if (wholeDigits + fractionDigits == 0) return std::nullopt;

  long long exponent = 0;
  if (i < last && (text[i] == 'E' || text[i] == 'e')) {
    out.Append('e');
    ++i;
    bool negativeExponent = false;
    if (i < last && (text[i] == '+' || text[i] == '-')) {
      negativeExponent = text[i] == '-';
      out.Append(text[i]);
      ++i;
    }
    std::size_t exponentDigits = 0;
    for (; i < last && IsDigit(text[i]); ++i, ++exponentDigits) {
      out.Append(text[i]);
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
    }
    if (exponentDigits == 0) return std::nullopt;
    if (negativeExponent) exponent = -exponent;
  }
  if (i != last) return std::nullopt;

  const DoubleRoundingScope precision;
  double value = 0.0;
  const auto [end, error] = std::from_chars(out.begin(), out.end(), value);
  if (end != out.end()) return std::nullopt;
  if (error == std::errc::result_out_of_range) {
    // Below the smallest subnormal: the nearest double is zero. Above the largest double: refused.
    if (leadExponent + exponent >= 0) return std::nullopt;
    return negative ? -0.0 : 0.0;
  }
  if (error != std::errc()) return std::nullopt;
  return value;
}

// A 65-bit product m * 3125 as two 64-bit halves.
struct Wide {
  std::uint64_t high;
  std::uint64_t low;
};

Wide Times3125(std::uint64_t m) {
  const std::uint64_t lowPart = (m & 0xFFFFFFFFu) * 3125;  // below 2^44
  const std::uint64_t highPart = (m >> 32) * 3125;         // below 2^33
  const std::uint64_t low = lowPart + (highPart << 32);
  return {(highPart >> 32) + (low < lowPart ? 1u : 0u), low};
}

// The double nearest to units / 100000.
double HundredThousandths(std::uint64_t units) {
  constexpr std::uint64_t kExactInDouble = std::uint64_t{1} << 53;
  if (units <= kExactInDouble) {
    // Both operands are exact, so the one division is the correctly rounded quotient. Even on x87,
    // rounded twice: the 64-bit quotient can only fall on a midpoint between doubles when
    // units * 2^k - 3125 * odd = +-1, and then the even neighbour is the nearer one.
    const volatile double quotient = static_cast<double>(units) / 100000.0;
    return quotient;
  }
  std::array<char, 32> text{};
  char* end = std::to_chars(text.data(), text.data() + 24, units).ptr;
  for (const char c : {'e', '-', '5'}) *end++ = c;
  const DoubleRoundingScope precision;
  double value = 0.0;
  std::from_chars(text.data(), end, value);
  return value;
}

// The quick road for what RoundResult gives: when x is the double nearest to units / 100000 for a
// whole number of units below 10^15, that decimal has at most 15 digits and is x taken to 15
// digits, so its text is the digits of units with the separator put in.
std::optional<std::string> PlainHundredThousandths(double x, char decimalSeparator) {
  const double magnitude = std::fabs(x);
  if (!(magnitude >= 0.00001 && magnitude < 1e10)) return std::nullopt;
  // A guess at the units, which the comparison makes exact.
  const auto units = static_cast<std::uint64_t>(magnitude * 100000.0 + 0.5);
  if (HundredThousandths(units) != magnitude) return std::nullopt;

  std::array<char, 24> digits{};
  char* const first = digits.data() + 5;  // room for the zeros in front of a small fraction
  char* const end = std::to_chars(first, digits.data() + digits.size(), units).ptr;
  char* begin = first;
  while (end - begin < ResultDecimals + 1) *--begin = '0';
  char* const point = end - ResultDecimals;
  char* fractionEnd = end;
  while (fractionEnd != point && fractionEnd[-1] == '0') --fractionEnd;

  std::string text;
  text.reserve(static_cast<std::size_t>(fractionEnd - begin) + 2);
  if (x < 0) text.push_back('-');
  text.append(begin, point);
  if (fractionEnd != point) {
    text.push_back(decimalSeparator);
    text.append(point, fractionEnd);
  }
  return text;
}

}  // namespace

OverflowError::OverflowError() : std::overflow_error("The amount is too large to convert.") {}

bool IsNumericAmount(std::string_view text, char decimalSeparator) {
  return ReadAmount(text, decimalSeparator).has_value();
}

double AmountFromText(std::string_view text, char decimalSeparator) {
  const std::optional<double> amount = ReadAmount(text, decimalSeparator);
  if (!amount) throw std::invalid_argument("The entry is not a number.");
  return *amount;
}

ResultValues ConvertAmount(double amount, Unit unit) {
  const int selected = static_cast<int>(unit);
  ResultValues values{};
  // Clearing the flags costs far more than testing them, and they are rarely set on entry.
  if (const int stale = std::fetestexcept(kRangeFlags); stale != 0) std::feclearexcept(stale);
  // Read through volatile after the flags are cleared, and store each value through volatile
  // before testing them, so that no compiler moves the arithmetic across the flag calls, and on
  // x87 the flags describe the 64-bit double, not a wider register.
  const volatile double a = amount;
  for (int j = 0; j < 4; ++j) {
    volatile double value = a;
    if (selected > j) {
      value = a * kFactor[selected - j];
    } else if (selected < j) {
      value = a / kFactor[j - selected];
    }
    if (std::fetestexcept(kRangeFlags) != 0 || !std::isfinite(value)) throw OverflowError();
    values[j] = value;
  }
  return values;
}

double RoundResult(double x) {
  const auto bits = std::bit_cast<std::uint64_t>(x);
  const int biasedExponent = static_cast<int>(bits >> 52) & 0x7FF;
  if (biasedExponent == 0x7FF) return x;                  // infinity, NaN
  if (biasedExponent == 0) return std::copysign(0.0, x);  // zero and subnormals
  // |x| = m / 2^fractionBits with m a whole number below 2^53.
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int fractionBits = 1075 - biasedExponent;
  // A multiple of 1/32 = 0.03125 is a multiple of 0.00001 already: whole numbers, and every
  // magnitude from 2^47 up, including those too large to be scaled by 100000 within range.
  if (fractionBits <= 5) return x;

  // |x| * 100000 = m * 3125 / 2^shift, since 100000 = 3125 * 2^5.
  const int shift = fractionBits - 5;
  // m * 3125 < 2^65 <= 2^(shift - 1): less than half of one unit.
  if (shift > 65) return std::copysign(0.0, x);
  const Wide p = Times3125(m);
  const std::uint64_t below =
      shift >= 64 ? p.high >> (shift - 64) : (p.low >> shift) | (p.high << (64 - shift));
  const int half = shift - 1;  // the bit worth one half
  const bool halfBit = half == 64 ? p.high != 0 : ((p.low >> half) & 1u) != 0;
  const bool beyondHalf = half == 64 ? p.low != 0 : (p.low & ((std::uint64_t{1} << half) - 1)) != 0;
  const bool up = halfBit && (beyondHalf || (below & 1u) != 0);
  const std::uint64_t units = below + (up ? 1u : 0u);
  return std::copysign(HundredThousandths(units), x);
}

std::string FormatResult(double x, char decimalSeparator) {
  if (x == 0.0) return "0";
  if (std::optional<std::string> text = PlainHundredThousandths(x, decimalSeparator)) return *text;
  std::array<char, 40> scientific{};
  char* const first = scientific.data();
  char* const limit = first + scientific.size();
  if (!std::isfinite(x)) return std::string(first, std::to_chars(first, limit, x).ptr);

  // Scientific form "-d.ddde+XX". For a normal double, the shortest text that reads back as x is
  // x taken to 15 significant digits whenever it has no more than 15 (a double's spacing is below
  // a quarter of the 15-digit spacing); otherwise, and for subnormals, ask for 15 digits.
  char* end = std::to_chars(first, limit, x, std::chars_format::scientific).ptr;
  char* e = std::find(first, end, 'e');
  if (std::count_if(first, e, IsDigit) > 15 || !std::isnormal(x)) {
    end = std::to_chars(first, limit, x, std::chars_format::scientific, 14).ptr;
    e = std::find(first, end, 'e');
  }
  std::array<char, 20> digits{};
  std::size_t count = 0;
  for (const char* c = first; c != e; ++c) {
    if (IsDigit(*c)) digits[count++] = *c;
  }
  while (count > 1 && digits[count - 1] == '0') --count;
  int exponent = 0;
  std::from_chars(e[1] == '+' ? e + 2 : e + 1, end, exponent);

  std::array<char, 64> text{};
  std::size_t length = 0;
  const auto put = [&](char c) { text[length++] = c; };
  if (x < 0) put('-');
  // Every non-zero rounded result down to 0.00001 reads plainly; only other doubles get exponents.
  if (exponent < -5 || exponent >= 15) {
    put(digits[0]);
    if (count > 1) put(decimalSeparator);
    for (std::size_t j = 1; j < count; ++j) put(digits[j]);
    put('E');
    put(exponent < 0 ? '-' : '+');
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) put('0');
    length = static_cast<std::size_t>(
        std::to_chars(text.data() + length, text.data() + text.size(), magnitude).ptr -
        text.data());
  } else if (exponent < 0) {
    put('0');
    put(decimalSeparator);
    for (int j = -1; j > exponent; --j) put('0');
    for (std::size_t j = 0; j < count; ++j) put(digits[j]);
  } else {
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    for (std::size_t j = 0; j < whole; ++j) put(j < count ? digits[j] : '0');
    if (count > whole) put(decimalSeparator);
    for (std::size_t j = whole; j < count; ++j) put(digits[j]);
  }
  return std::string(text.data(), length);
}

ResultTexts CalculateResults(std::string_view text, Unit unit, char decimalSeparator) {
  const ResultValues values = ConvertAmount(AmountFromText(text, decimalSeparator), unit);
  ResultTexts texts;
  for (std::size_t j = 0; j < values.size(); ++j) {
    texts[j] = FormatResult(RoundResult(values[j]), decimalSeparator);
  }
  return texts;
}

}  // namespace norvane
