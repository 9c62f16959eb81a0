// Rules that both back ends follow in what they show and what the entry
// accepts, kept in one place so that the two programs agree.
#pragma once

#include <string>
#include <string_view>

#include "app/layout.h"

namespace norvane::rt {

// The longest text the entry keeps, in UTF-16 code units. Both back ends
// set it explicitly: their toolkits' own defaults differ.
inline constexpr int kEntryMaxLength = 32767;

// Said when a paste would not fit the entry; nothing is pasted then.
inline constexpr std::string_view kPasteTooLong =
    "The pasted text is too long for the entry box. Nothing was pasted.";

// What the one-line entry takes of a pasted text: line breaks at either end
// are dropped, so that a copied spreadsheet cell or terminal line converts as
// the number it holds. A break inside is kept, for the numeric test to refuse;
// the text is never cut there.
std::string PastedEntryText(std::string_view pasted);

// The contrast ratio of two colours, 1 to 21, as accessibility guidelines
// define it from their relative luminance.
double ContrastRatio(Rgb a, Rgb b);

inline constexpr double kReadableContrast = 4.5;

// `wanted` where it reaches kReadableContrast on `background`; otherwise the
// colour nearest to it, on the way to white (dark backgrounds) or to black
// (light ones), that does.
Rgb ReadableOn(Rgb wanted, Rgb background);

}  // namespace norvane::rt
