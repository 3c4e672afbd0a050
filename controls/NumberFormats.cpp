#include "controls/NumberFormats.h"

#include "calc/Errors.h"

#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

namespace NumberFormats {

namespace {

// The significant digits the fixed, currency and mask formats start from.
constexpr int reliableDigits = 15;

// A decimal number: 0.d1 d2 d3 ... x 10^exponent. No leading or trailing zeros in `digits`;
// empty digits mean zero. For |value| >= 1, `exponent` is the count of integer digits.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;

    bool IsZero() const { return digits.empty(); }
    // The digit at `position` after the decimal point, counting from 0; 0 outside the digits.
    char DigitAfterPoint(int position) const
    {
        const int index = exponent + position;
        return index >= 0 && index < static_cast<int>(digits.size()) ? digits[index] : '0';
    }
    // The integer digits, "" when the integer part is zero.
    std::string IntegerDigits() const
    {
        if (exponent <= 0 || digits.empty())
            return std::string();
        std::string out = digits.substr(0, std::min<std::size_t>(exponent, digits.size()));
        out.append(exponent - out.size(), '0');
        return out;
    }
};

void StripTrailingZeros(Decimal& d)
{
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
}

// The correctly rounded decimal of a finite `value` with `significant` digits (1..17).
Decimal ToDecimal(double value, int significant)
{
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0)
        return d;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, significant - 1);
    const std::string text(buffer, result.ptr);
    const std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] >= '0' && text[i] <= '9')
            d.digits += text[i];
    d.exponent = std::atoi(text.c_str() + e + 1) + 1;
    StripTrailingZeros(d);
    return d;
}

// Keeps the first `keep` digits, rounding the magnitude up when the next digit is 5 or more
// (halves away from zero). `keep` may be 0 or negative: the number then rounds to zero or to
// one unit of the first kept position.
void RoundDigits(Decimal& d, int keep)
{
    if (d.IsZero() || keep >= static_cast<int>(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9')
            d.digits[i--] = '0';
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    StripTrailingZeros(d);
}

void RoundToDecimals(Decimal& d, int decimals)
{
    RoundDigits(d, d.exponent + decimals);
}

QString NonFinite(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

// Integer digits with the thousands separator every three digits from the right.
QString Grouped(const std::string& digits, QChar separator)
{
    QString out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        out += QChar(digits[i]);
        const int remaining = n - 1 - i;
        if (remaining > 0 && remaining % 3 == 0 && !separator.isNull())
            out += separator;
    }
    return out;
}

// The unsigned fixed-point digits of a rounded decimal: integer part (grouped or not), then
// the separator and exactly `decimals` digits.
QString FixedDigits(const Decimal& d, int decimals, const TFormatSettings& settings, bool grouped)
{
    std::string integer = d.IntegerDigits();
    if (integer.empty())
        integer.push_back('0');
    QString out = grouped ? Grouped(integer, settings.ThousandSeparator)
                          : QString::fromLatin1(integer.data(), integer.size());
    if (decimals > 0) {
        out += settings.DecimalSeparator;
        for (int i = 0; i < decimals; ++i)
            out += QChar(d.DigitAfterPoint(i));
    }
    return out;
}

QString PositiveCurrency(const QString& n, const QString& s, int pattern)
{
    switch (pattern) {
    case 1: return n + s;
    case 2: return s + ' ' + n;
    case 3: return n + ' ' + s;
    default: return s + n;
    }
}

QString NegativeCurrency(const QString& n, const QString& s, int pattern)
{
    switch (pattern) {
    case 1: return '-' + s + n;
    case 2: return s + '-' + n;
    case 3: return s + n + '-';
    case 4: return '(' + n + s + ')';
    case 5: return '-' + n + s;
    case 6: return n + '-' + s;
    case 7: return n + s + '-';
    case 8: return '-' + n + ' ' + s;
    case 9: return '-' + s + ' ' + n;
    case 10: return n + ' ' + s + '-';
    case 11: return s + ' ' + n + '-';
    case 12: return s + ' ' + '-' + n;
    case 13: return n + '-' + ' ' + s;
    case 14: return '(' + s + ' ' + n + ')';
    case 15: return '(' + n + ' ' + s + ')';
    default: return '(' + s + n + ')';
    }
}

// ---- Mask text ----

// Splits a mask at the ";" that are not inside quotes; at most three sections count.
QStringList SplitSections(const QString& mask)
{
    QStringList sections{QString()};
    QChar quote;
    for (const QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            if (sections.size() == 3)
                break;
            sections.append(QString());
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

// What a section asks for, from one scan over it.
struct SectionLayout {
    int integerPlaceholders = 0;
    int decimalPlaceholders = 0;
    int firstIntegerZero = -1; // index among the integer placeholders, -1 when none is "0"
    int lastDecimalZero = -1;  // index among the decimal placeholders, -1 when none is "0"
    bool grouping = false;
    bool scientific = false;
};

// True when an exponent marker ("E+", "E-", "e+", "e-") starts at `i`.
bool ExponentAt(const QString& section, qsizetype i)
{
    return (section[i] == 'E' || section[i] == 'e') && i + 1 < section.size() &&
           (section[i + 1] == '+' || section[i + 1] == '-');
}

SectionLayout Analyse(const QString& section)
{
    SectionLayout layout;
    bool afterPoint = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == '\'' || c == '"') {
            const qsizetype end = section.indexOf(c, i + 1);
            i = end < 0 ? section.size() : end;
        } else if (c == '0' || c == '#') {
            if (afterPoint) {
                if (c == '0')
                    layout.lastDecimalZero = layout.decimalPlaceholders;
                ++layout.decimalPlaceholders;
            } else {
                if (c == '0' && layout.firstIntegerZero < 0)
                    layout.firstIntegerZero = layout.integerPlaceholders;
                ++layout.integerPlaceholders;
            }
        } else if (c == '.') {
            afterPoint = true;
        } else if (c == ',') {
            layout.grouping = true;
        } else if (ExponentAt(section, i)) {
            // Everything after the exponent and its digits is copied as text.
            layout.scientific = true;
            break;
        }
    }
    return layout;
}

QString FormatSection(const Decimal& number, int exponent, const QString& section,
                      const SectionLayout& layout, const TFormatSettings& settings)
{
    // The integer digits, padded to the "0" placeholders (in scientific notation the mantissa
    // always has one digit per integer placeholder).
    std::string integer = number.IntegerDigits();
    const int minimum = layout.scientific ? std::max(layout.integerPlaceholders, 1)
                        : layout.firstIntegerZero >= 0
                            ? layout.integerPlaceholders - layout.firstIntegerZero
                            : 0;
    if (static_cast<int>(integer.size()) < minimum)
        integer.insert(0, minimum - integer.size(), '0');
    const int length = static_cast<int>(integer.size());
    const QChar thousands = layout.grouping ? settings.ThousandSeparator : QChar();

    std::string decimals;
    for (int i = 0; i < layout.decimalPlaceholders; ++i)
        decimals += number.DigitAfterPoint(i);
    while (static_cast<int>(decimals.size()) > layout.lastDecimalZero + 1 && decimals.back() == '0')
        decimals.pop_back();
    const int shownDecimals = static_cast<int>(decimals.size());

    QString out;
    int integerIndex = 0;
    int decimalIndex = 0;
    bool afterPoint = false;
    bool integerDone = false;
    auto emitDigit = [&](int k) {
        out += QChar(integer[k]);
        const int remaining = length - 1 - k;
        if (!thousands.isNull() && remaining > 0 && remaining % 3 == 0)
            out += thousands;
    };
    // Digits with no placeholder of their own go out at the first integer placeholder, or at
    // the decimal point when the section has no integer placeholders.
    auto emitLeading = [&](int count) {
        for (int k = 0; k < count; ++k)
            emitDigit(k);
        integerDone = true;
    };
    const int extra = length - layout.integerPlaceholders;

    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == '\'' || c == '"') {
            const qsizetype end = section.indexOf(c, i + 1);
            out += section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1);
            i = end < 0 ? section.size() : end;
        } else if (c == '0' || c == '#') {
            if (afterPoint) {
                if (decimalIndex < shownDecimals)
                    out += QChar(decimals[decimalIndex]);
                ++decimalIndex;
            } else {
                if (integerIndex == 0 && extra > 0)
                    emitLeading(extra);
                const int k = integerIndex + extra;
                if (k >= 0 && k < length)
                    emitDigit(k);
                ++integerIndex;
            }
        } else if (c == '.') {
            if (afterPoint)
                continue;
            afterPoint = true;
            if (layout.integerPlaceholders == 0 && !integerDone)
                emitLeading(length);
            if (shownDecimals > 0)
                out += settings.DecimalSeparator;
        } else if (c == ',') {
            continue;
        } else if (layout.scientific && ExponentAt(section, i)) {
            out += c;
            const bool alwaysSign = section[i + 1] == '+';
            if (exponent < 0)
                out += '-';
            else if (alwaysSign)
                out += '+';
            i += 2;
            int width = 0;
            while (width < 4 && i < section.size() && section[i] == '0') {
                ++width;
                ++i;
            }
            out += QString::number(std::abs(exponent)).rightJustified(width, '0');
            out += section.mid(i); // the rest is plain text
            break;
        } else {
            out += c;
        }
    }
    return out;
}

// Formats the magnitude of `value` by one section; sets `zero` when it rounds to zero.
QString FormatBySection(double value, const QString& section, const TFormatSettings& settings,
                        bool& zero)
{
    const SectionLayout layout = Analyse(section);
    Decimal d = ToDecimal(std::fabs(value), reliableDigits);
    int exponent = 0;
    if (layout.scientific) {
        const int integerDigits = std::max(layout.integerPlaceholders, 1);
        RoundDigits(d, integerDigits + layout.decimalPlaceholders);
        if (!d.IsZero()) {
            exponent = d.exponent - integerDigits;
            d.exponent = integerDigits;
        }
    } else {
        RoundToDecimals(d, layout.decimalPlaceholders);
    }
    zero = d.IsZero();
    return FormatSection(d, exponent, section, layout, settings);
}

// The count of significant digits of the mantissa of `number` ("0012.500e3" has 3).
int SignificantDigits(const std::string& number)
{
    std::string digits;
    for (const char c : number) {
        if (c == 'e')
            break;
        if (c >= '0' && c <= '9' && (c != '0' || !digits.empty()))
            digits += c;
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    return static_cast<int>(digits.size());
}

// The largest double rounded up at `digits` significant digits (at most 17), as a long double.
long double LargestShown(int digits)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Le", std::clamp(digits, 1, 17) - 1,
                  static_cast<long double>(std::numeric_limits<double>::max()));
    long double shown = std::strtold(buffer, nullptr);
    if (shown < std::numeric_limits<double>::max()) // rounded down: one unit of the last digit up
        shown += std::pow(10.0L, std::floor(std::log10(shown)) - (std::clamp(digits, 1, 17) - 1));
    return shown;
}

bool ParseNumber(const QString& text, double& value, const TFormatSettings& settings)
{
    // Checks the form first, then converts an ASCII copy with "." in the "C" locale.
    QString t = text;
    while (t.startsWith(' '))
        t.remove(0, 1);
    while (t.endsWith(' '))
        t.chop(1);
    std::string ascii;
    qsizetype i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-')
            ascii += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= '0' && c <= '9') {
            ascii += static_cast<char>(c.unicode());
            ++mantissaDigits;
        } else if (c == settings.DecimalSeparator && !point) {
            ascii += '.';
            point = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ascii += 'e';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ascii += static_cast<char>(t[i++].unicode());
        int exponentDigits = 0;
        for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, ++exponentDigits)
            ascii += static_cast<char>(t[i].unicode());
        if (exponentDigits == 0)
            return false;
    }
    if (i != t.size())
        return false;
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    double result = strtod_l(ascii.c_str(), nullptr, cLocale);
    if (std::isinf(result)) {
        // The largest double shown with few significant digits ("1.79769313486232E308",
        // "1.8E308") lies above it; such a text is read as that double, so every number the
        // formats write reads back. Anything larger is beyond the range of a double.
        if (std::fabs(strtold_l(ascii.c_str(), nullptr, cLocale)) >
            LargestShown(SignificantDigits(ascii)))
            return false;
        result = std::copysign(std::numeric_limits<double>::max(), result);
    }
    value = result;
    return true;
}

} // namespace

QString GeneralText(double value, const TFormatSettings& settings, int precision)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    precision = std::clamp(precision, 2, 18);
    const Decimal d = ToDecimal(value, std::min(precision, 17));
    if (d.IsZero())
        return QStringLiteral("0");
    const QString digits = QString::fromLatin1(d.digits.data(), d.digits.size());
    const int n = static_cast<int>(digits.size());
    QString out = d.negative ? QStringLiteral("-") : QString();
    if (d.exponent >= -3 && d.exponent <= precision) {
        if (d.exponent <= 0)
            out += '0' + QString(settings.DecimalSeparator) + QString(-d.exponent, '0') + digits;
        else if (n <= d.exponent)
            out += digits + QString(d.exponent - n, '0');
        else
            out += digits.left(d.exponent) + settings.DecimalSeparator + digits.mid(d.exponent);
        return out;
    }
    out += digits[0];
    if (n > 1)
        out += settings.DecimalSeparator + digits.mid(1);
    out += 'E' + QString::number(d.exponent - 1);
    return out;
}

namespace {
// The path the fixed and currency formats share: `value` rounded at `decimals` decimals or at
// its `precision`-th significant digit, whichever comes first, its digits (grouped or not,
// padded with zeros to `decimals`) handed to `finish` with whether it is negative; the general
// text with `precision` digits when the integer part is longer than that.
template <typename Finish>
QString FixedPointText(double value, int precision, int decimals, const TFormatSettings& settings,
                       bool grouped, Finish finish)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    precision = std::clamp(precision, 2, 18);
    decimals = std::clamp(decimals, 0, 18);
    Decimal d = ToDecimal(value, reliableDigits);
    RoundDigits(d, std::min(d.exponent + decimals, precision));
    if (d.exponent > precision)
        return GeneralText(value, settings, precision);
    return finish(FixedDigits(d, decimals, settings, grouped), d.negative && !d.IsZero());
}
} // namespace

QString FixedText(double value, int precision, int decimals, const TFormatSettings& settings)
{
    return FixedPointText(
        value, precision, decimals, settings, false,
        [](const QString& digits, bool negative) { return negative ? '-' + digits : digits; });
}

QString CurrencyText(double value, int precision, int decimals, const TFormatSettings& settings)
{
    return FixedPointText(
        value, precision, decimals, settings, true, [&](const QString& digits, bool negative) {
            return negative
                       ? NegativeCurrency(digits, settings.CurrencyString, settings.NegCurrFormat)
                       : PositiveCurrency(digits, settings.CurrencyString, settings.CurrencyFormat);
        });
}

QString CentsCurrencyText(long long cents, const TFormatSettings& settings)
{
    const unsigned long long size = cents < 0 ? 0ULL - static_cast<unsigned long long>(cents)
                                              : static_cast<unsigned long long>(cents);
    Decimal d;
    d.negative = cents < 0;
    d.digits = std::to_string(size);
    d.exponent = static_cast<int>(d.digits.size()) - 2;
    if (size == 0)
        d.digits.clear();
    StripTrailingZeros(d);
    const QString digits = FixedDigits(d, 2, settings, true);
    return d.negative ? NegativeCurrency(digits, settings.CurrencyString, settings.NegCurrFormat)
                      : PositiveCurrency(digits, settings.CurrencyString, settings.CurrencyFormat);
}

QString MaskText(double value, const QString& mask, const TFormatSettings& settings)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    const QStringList sections = SplitSections(mask);
    auto section = [&](int i) { return i < sections.size() ? sections[i] : QString(); };
    const bool hasNegative = !section(1).isEmpty();
    const bool hasZero = !section(2).isEmpty();

    int chosen = 0;
    if (value < 0 && hasNegative)
        chosen = 1;
    else if (value == 0 && hasZero)
        chosen = 2;
    if (section(chosen).isEmpty())
        return GeneralText(value, settings);

    bool zero = false;
    QString text = FormatBySection(value, section(chosen), settings, zero);
    if (zero && chosen != 2 && hasZero)
        return FormatBySection(0.0, section(2), settings, zero);
    if (value < 0 && chosen == 0 && !zero)
        text.prepend('-');
    return text;
}

double TextToFloat(const QString& text, const TFormatSettings& settings)
{
    double value = 0;
    if (!ParseNumber(text, value, settings))
        throw calc::EConvertError::invalidFloat(text.toStdString());
    return value;
}

bool TryTextToFloat(const QString& text, double& value, const TFormatSettings& settings)
{
    return ParseNumber(text, value, settings);
}

} // namespace NumberFormats
