// Conversion rules for amounts of digital storage: bytes, kilobytes,
// megabytes and gigabytes, 1024 apart. Pure functions; no state, no locale.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

namespace norvane {

// The index of each unit is the Index of its option button in the main window.
enum class Unit : int { Bytes = 0, Kilobytes = 1, Megabytes = 2, Gigabytes = 3 };

inline constexpr Unit kDefaultUnit = Unit::Kilobytes;
inline constexpr int ResultDecimals = 5;

// Always in the order bytes, kilobytes, megabytes, gigabytes.
using ResultValues = std::array<double, 4>;
using ResultTexts = std::array<std::string, 4>;

// A result would leave the range of a double. what() is worded for a user:
// "The amount is too large to convert."
class OverflowError : public std::overflow_error {
 public:
  OverflowError();
};

// True exactly when AmountFromText can read `text`, taken as it stands (the caller does not trim).
//
// Accepted, and nothing else:
//   blanks  sign?  mantissa  exponent?  blanks
// where blanks are any number of spaces and tabs, sign is '+' or '-', the mantissa is digits,
// digits-separator-digits, digits-separator ("5.") or separator-digits (".5"), and the exponent is
// 'E' or 'e', an optional sign and one or more digits ("1.5E3", "1e-3"). Digits are ASCII 0-9.
// `decimalSeparator` is '.' or ','; the other of the two is refused, so "1,000" is no number with a
// point and "1.5" is none with a comma.
// Refused among others: the empty text, blanks only, a lone sign or separator, "inf", "nan",
// hexadecimal, digit grouping, blanks inside the number, and any number whose magnitude exceeds the
// largest double (1e400). A number too small for a double (1e-400) is accepted: it reads as zero
// with its sign, or as the nearest subnormal double.
bool IsNumericAmount(std::string_view text, char decimalSeparator = '.');

// The double nearest to the number written (exact ties to the even significand), as accepted by
// IsNumericAmount. "-0" and "-1e-400" read as negative zero.
// Throws std::invalid_argument when IsNumericAmount(text, decimalSeparator) is false.
double AmountFromText(std::string_view text, char decimalSeparator = '.');

// `amount` in all four units: one multiplication or one division by 1024, 1048576 or 1073741824,
// computed bytes first. Each value is checked for overflow, invalid operation and division by zero
// as soon as it is stored; on any of them, or for an amount that is not finite, throws
// OverflowError and returns nothing. Only a unit above Bytes with |amount| > largest double /
// factor overflows. Quotients below the normal range are not errors: they are the nearest subnormal
// or zero.
ResultValues ConvertAmount(double amount, Unit unit);

// The multiple of 0.00001 nearest to x's exact binary value, returned as the double nearest to that
// decimal (0.015625 gives the double nearest 0.01562). Exact ties go to the even fifth decimal;
// every other value rounds to nearest without error. Values that are already multiples of 0.00001
// as doubles, whole numbers among them, come back unchanged. A magnitude below 0.000005 gives zero
// with x's sign. Infinities and NaN come back unchanged.
double RoundResult(double x);

// The text of a rounded result, using `decimalSeparator` ('.' or ','). The value is first taken to
// at most 15 significant digits (to nearest). Magnitudes from 0.00001 up to below 1e15 are written
// plainly: a minus sign when negative, the integer digits (one zero when below 1), and the
// separator with the fraction digits only when there is a fraction, never trailing zeros, no plus
// sign, grouping or blanks ("1024", "1.5", "0.09766", "1264197519486.41"). Other magnitudes use
// exponent notation: mantissa without trailing zeros, 'E', the exponent's sign and at least two
// digits ("1E+15", "1.5E-06"). Zero and negative zero are "0". Infinities and NaN, which a
// calculation never produces, are written as std::to_chars writes them ("inf", "-inf", "nan").
std::string FormatResult(double x, char decimalSeparator = '.');

// AmountFromText, ConvertAmount, then RoundResult and FormatResult on each value, bytes first.
// Either all four texts or OverflowError, never some of them. Throws std::invalid_argument when the
// text is not numeric; callers check IsNumericAmount first.
ResultTexts CalculateResults(std::string_view text, Unit unit, char decimalSeparator = '.');

}  // namespace norvane
