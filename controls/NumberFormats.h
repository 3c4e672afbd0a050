// The number formats of the whole program: numbers to text and text to numbers, following the
// user's regional settings (decimal and thousands separators, currency symbol and patterns).
//
// Every function takes the settings explicitly; pass Regional::Current() for the user's own.
// The numeric edits, the APR table, the chart and the settings file all use these functions, so
// a number reads the same everywhere.
//
// Digits: a double holds about 15 reliable significant decimal digits. The fixed, currency and
// mask formats first take the value to 15 significant digits (correctly rounded) and then round
// that decimal number to the requested decimals, halves away from zero. So 1.005 shows as 1.01
// with 2 decimals, as a user reading "1.005" expects, and never as 1.00 because of the binary
// representation 1.00499999999999989...
//
// Infinity and NaN format as "INF", "-INF" and "NAN" in every format.
#pragma once

#include "platform/Regional.h"

#include <QString>

namespace NumberFormats {

// General text: the shortest decimal form with at most `precision` significant digits
// (clamped to 2..18; digits beyond the 17th are zeros), no thousands separators, a leading "-"
// for negatives, trailing zeros and a bare decimal separator removed.
// Fixed notation when the value is 0 or when 0.0001 <= |v| < 10^precision (after rounding to
// `precision` digits), else scientific: "1.5E-7", "1E20" (exponent sign only when negative,
// no leading zeros). The rounding to `precision` digits is the correctly rounded decimal of the
// double. Examples (United States): 1234.5 -> "1234.5", 100000 -> "100000", 1e20 -> "1E20".
QString GeneralText(double value, const TFormatSettings& settings, int precision = 15);

// Fixed text: `value` rounded at `decimals` decimals (clamped to 0..18) or at its
// `precision`-th significant digit (precision clamped to 2..18), whichever comes first, halves
// away from zero; a leading "-" for negatives (none when the rounded value is zero), the
// integer digits ungrouped, then the decimal separator and exactly `decimals` digits (padded
// with zeros; no separator when 0). When the rounded integer part has more than `precision`
// digits, the general text with that precision is returned instead.
// Examples (United States): (2.675, 15, 2) -> "2.68", (-0.004, 15, 2) -> "0.00",
// (123.4567, 5, 3) -> "123.460".
QString FixedText(double value, int precision, int decimals, const TFormatSettings& settings);

// Currency text: as FixedText, but the integer digits are grouped by three with the thousands
// separator and the currency symbol and sign are placed by CurrencyFormat (0-3) for positive
// amounts and zero, and by NegCurrFormat (0-15) for negative ones; an out-of-range pattern
// number counts as 0. When the integer part has more than `precision` digits the general text
// with that precision is returned (no currency symbol).
// Examples (United States): (100000, 12, 2) -> "$100,000.00", (-5, 12, 2) -> "($5.00)",
// (95000, 10, 0) -> "$95,000", (1e11, 10, 0) -> "1E11".
QString CurrencyText(double value, int precision, int decimals, const TFormatSettings& settings);

// Currency text of a whole number of cents, exact for every 64-bit amount: the digits grouped,
// two decimals, the currency symbol and sign placed as by CurrencyText; never the general text.
// Examples (United States): 199999999980 -> "$1,999,999,999.80", -5 -> "($0.05)".
QString CentsCurrencyText(long long cents, const TFormatSettings& settings);

// Mask text: `mask` has up to three sections separated by ";" (positive; negative; zero). An
// empty or missing negative or zero section means the positive one is used; a negative value
// formatted by the positive section gets a leading "-", one formatted by its own section none.
// An empty mask (or an empty chosen section) gives the general text.
// Within a section: "0" digit or zero, "#" digit or nothing, the first "." the decimal point
// (further ones ignored), "," anywhere groups the integer digits by three, "E+" "E-" "e+" "e-"
// scientific notation with up to four "0" after it as minimum exponent digits ("+" forms always
// show the exponent sign), text in single or double quotes copied without the quotes, any other
// character copied. The value is rounded, halves away from zero, to as many decimals as the
// section has placeholders after the decimal point (in scientific notation: to as many
// significant digits as the section has placeholders). A value that rounds to zero uses the
// zero section when there is one, and never shows a "-".
// Examples (United States): ("#,##0") 1234.567 -> "1,235", -1234 -> "-1,234", 0 -> "0";
// ("0.000") 8.75 -> "8.750"; ("0.00E+00") 1234 -> "1.23E+03".
QString MaskText(double value, const QString& mask, const TFormatSettings& settings);

// Converts a text to a number: optional blanks, an optional sign, digits with at most one
// decimal separator (the regional one; at least one digit), an optional exponent ("E" or "e",
// optional sign, digits), optional blanks. Thousands separators, "INF" and "NAN" are not
// numbers. A text outside the range of a double is not a number either; one below its smallest
// magnitude reads as 0.
// Throws calc::EConvertError::invalidFloat(text) ("'%s' is not a valid floating point value").
double TextToFloat(const QString& text, const TFormatSettings& settings);

// As TextToFloat, but reports failure by returning false (value is then left unchanged).
bool TryTextToFloat(const QString& text, double& value, const TFormatSettings& settings);

} // namespace NumberFormats
