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

// A result would leave the range of a double. what() is worded for a user.
class OverflowError : public std::overflow_error {
 public:
  OverflowError();
};

// True exactly when AmountFromText can read `text` (taken as it stands, not trimmed).
bool IsNumericAmount(std::string_view text, char decimalSeparator = '.');

// The double nearest to the number written. Precondition: IsNumericAmount(text, decimalSeparator).
double AmountFromText(std::string_view text, char decimalSeparator = '.');

// `amount` in all four units. Throws OverflowError when a value overflows.
ResultValues ConvertAmount(double amount, Unit unit);

// The multiple of 0.00001 nearest to x's exact value; exact ties go to the even digit.
double RoundResult(double x);

// The text of a rounded result: plain decimals, at most 15 significant digits, no trailing zeros.
std::string FormatResult(double x, char decimalSeparator = '.');

// Reads, converts, rounds and formats: four texts or OverflowError, never some of them.
ResultTexts CalculateResults(std::string_view text, Unit unit, char decimalSeparator = '.');

}  // namespace norvane
