// Any text, both separators: the reader and CalculateResults never crash, a numeric text gives four
// texts or OverflowError in every unit (exactly when |amount| * factor passes the largest double),
// and each text reads back as a number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "engine/conversion.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckEntry(std::string_view text, char separator) {
  using namespace norvane;
  if (!IsNumericAmount(text, separator)) {
    try {
      AmountFromText(text, separator);
      Check(false);
    } catch (const std::invalid_argument&) {
    }
    return;
  }
  const double amount = AmountFromText(text, separator);
  Check(std::isfinite(amount));
  constexpr double kFactors[] = {1.0, 1024.0, 1048576.0, 1073741824.0};
  for (int index = 0; index < 4; ++index) {
    const bool overflows = std::fabs(amount) > std::numeric_limits<double>::max() / kFactors[index];
    try {
      const ResultTexts texts = CalculateResults(text, static_cast<Unit>(index), separator);
      Check(!overflows);
      for (const std::string& result : texts) {
        Check(!result.empty() && result != "-0");
        // The largest doubles, taken to 15 digits, lie beyond the range and do not read back.
        Check(IsNumericAmount(result, separator) || result.ends_with("1.79769313486232E+308") ||
              result.ends_with("1,79769313486232E+308"));
      }
    } catch (const OverflowError&) {
      Check(overflows);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckEntry(text, '.');
  CheckEntry(text, ',');
  return 0;
}
