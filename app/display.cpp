#include "app/display.h"

#include <algorithm>
#include <cmath>

namespace norvane::rt {

std::string PastedEntryText(std::string_view pasted) {
  constexpr std::string_view kBreaks = "\r\n";
  const auto first = pasted.find_first_not_of(kBreaks);
  if (first == std::string_view::npos) return {};
  const auto last = pasted.find_last_not_of(kBreaks);
  return std::string(pasted.substr(first, last - first + 1));
}

namespace {

double Linear(std::uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Rgb c) {
  return 0.2126 * Linear(c.red) + 0.7152 * Linear(c.green) + 0.0722 * Linear(c.blue);
}

std::uint8_t Mix(std::uint8_t from, std::uint8_t to, int step) {
  return static_cast<std::uint8_t>(from + (to - from) * step / 255);
}

}  // namespace

double ContrastRatio(Rgb a, Rgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb ReadableOn(Rgb wanted, Rgb background) {
  // Whichever end lies further from the background, in contrast, is the way to go.
  const Rgb white{255, 255, 255}, black{0, 0, 0};
  const Rgb end =
      ContrastRatio(white, background) >= ContrastRatio(black, background) ? white : black;
  for (int step = 0; step < 255; ++step) {
    const Rgb c{Mix(wanted.red, end.red, step), Mix(wanted.green, end.green, step),
                Mix(wanted.blue, end.blue, step)};
    if (ContrastRatio(c, background) >= kReadableContrast) return c;
  }
  return end;
}

}  // namespace norvane::rt
