// Arbitrary text into the number parser, and numbers through every shared format and back, under
// the United States settings and under decimal-comma ones. Shared by the fuzz target and the
// corpus replay test.
//
// Input: byte 0 chooses the regional settings, the rest is the text (UTF-8). When the text is
// not a number and holds at least eight bytes, its first eight are taken as a double.
#pragma once

#include "controls/CustomNumEdit.h"
#include "controls/NumberFormats.h"
#include "platform/Regional.h"

#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace fuzz {

namespace numbers {

inline TFormatSettings Settings(std::uint8_t choice)
{
    TFormatSettings s = Regional::UnitedStates();
    switch (choice % 3) {
    case 1: // decimal comma, grouping dot, symbol after
        s.DecimalSeparator = ',';
        s.ThousandSeparator = '.';
        s.CurrencyString = QStringLiteral("€");
        s.CurrencyFormat = 3;
        s.NegCurrFormat = 8;
        break;
    case 2: // a symbol holding the decimal separator, sign after
        s.CurrencyString = QStringLiteral("Rs.");
        s.CurrencyFormat = 2;
        s.NegCurrFormat = 11;
        break;
    default: break;
    }
    return s;
}

// The largest difference a text may have from `v` when it is rounded at `decimals` decimals, or
// at `digits` significant digits when that comes first, after the formats' first rounding to
// 15 significant digits.
inline double Tolerance(double v, int decimals, int digits)
{
    const double atDecimals = 0.5 * std::pow(10.0, -decimals);
    const double magnitude = v == 0 ? 0 : std::floor(std::log10(std::fabs(v)));
    const double atDigits = 0.5 * std::pow(10.0, magnitude - digits + 1);
    const double atFifteen = 0.5 * std::pow(10.0, magnitude - 14);
    return (std::max(atDecimals, atDigits) + atFifteen) * (1 + 1e-9) + std::fabs(v) * 1e-15;
}

// What a failed round trip went through, for the report.
inline std::string Shown(double v, const QString& text, double back, int precision, int decimals)
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%.17g -> \"%s\" -> %.17g (precision %d, %d decimals)", v,
                  text.toUtf8().constData(), back, precision, decimals);
    return buffer;
}

} // namespace numbers

// Returns an empty text when every check holds, else what went wrong.
inline std::string RunNumberText(const std::uint8_t* data, std::size_t size)
{
    using namespace numbers;
    using NumberFormats::TryTextToFloat;
    const TFormatSettings s = Settings(size > 0 ? data[0] : 0);
    const char* bytes = reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0);
    const std::size_t length = size > 0 ? size - 1 : 0;
    const QString text = QString::fromUtf8(bytes, static_cast<qsizetype>(length));

    double v = 0;
    if (TryTextToFloat(text, v, s)) {
        if (!std::isfinite(v))
            return "a parse gave a value that is not finite";
    } else if (length >= sizeof v) {
        std::memcpy(&v, bytes, sizeof v);
        if (!std::isfinite(v))
            return {};
    } else {
        return {};
    }

    // Each format's text, parsed back, is the same value to the format's precision and shows
    // the same text again.
    double back = 0;
    const QString general = NumberFormats::GeneralText(v, s);
    if (!TryTextToFloat(general, back, s) || !std::isfinite(back))
        return "general text does not parse back";
    if (std::fabs(back - v) > std::fabs(v) * 1e-14 ||
        NumberFormats::GeneralText(back, s) != general)
        return "general text parses back to another value";

    static const int precisions[] = {10, 12, 15};
    static const int decimalCounts[] = {0, 2, 3};
    for (const int p : precisions) {
        for (const int d : decimalCounts) {
            const QString fixed = NumberFormats::FixedText(v, p, d, s);
            if (!TryTextToFloat(fixed, back, s) || !std::isfinite(back))
                return "fixed text does not parse back";
            if (std::fabs(back - v) > Tolerance(v, d, p) ||
                NumberFormats::FixedText(back, p, d, s) != fixed)
                return "fixed text parses back to another value: " + Shown(v, fixed, back, p, d);

            // Currency text goes back the way the masked edit takes it: entry, then exit.
            const QString currency = NumberFormats::CurrencyText(v, p, d, s);
            const bool scientific = currency.contains('E');
            try {
                back = scientific ? NumberFormats::TextToFloat(currency, s)
                                  : TCustomNumEdit::ExitValue(
                                        TCustomNumEdit::EntryText(currency, true, v < 0, s), s);
            } catch (const std::exception&) {
                return "currency text does not parse back";
            }
            if (!std::isfinite(back) || std::fabs(back - v) > Tolerance(v, d, p) ||
                NumberFormats::CurrencyText(back, p, d, s) != currency)
                return "currency text parses back to another value: " +
                       Shown(v, currency, back, p, d);
        }
    }

    // The masks of the numeric edits: the masked edit's default, the bounded edit's formats.
    static const struct {
        const char* mask;
        int decimals;
    } masks[] = {{"#,##0", 0}, {"0.000", 3}, {"0", 0}};
    for (const auto& m : masks) {
        const QString text2 = NumberFormats::MaskText(v, m.mask, s);
        try {
            back = text2.contains('E') || !text2.contains(s.ThousandSeparator)
                       ? NumberFormats::TextToFloat(text2, s)
                       : TCustomNumEdit::ExitValue(
                             TCustomNumEdit::EntryText(text2, false, v < 0, s), s);
        } catch (const std::exception&) {
            return "mask text does not parse back";
        }
        if (!std::isfinite(back) || std::fabs(back - v) > Tolerance(v, m.decimals, 15) ||
            NumberFormats::MaskText(back, m.mask, s) != text2)
            return "mask text parses back to another value: " + Shown(v, text2, back, 15, 0);
    }
    return {};
}

} // namespace fuzz
