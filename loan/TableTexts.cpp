#include "loan/TableTexts.h"

#include "controls/NumberFormats.h"
#include "platform/Regional.h"

#include <QLocale>
#include <cmath>

namespace TableTexts {

calc::AprTableFormats CellFormats()
{
    return {[](double v) {
                return NumberFormats::CurrencyText(v, 15, 0, Regional::Current()).toStdString();
            },
            [](double v) {
                return (" " + NumberFormats::FixedText(v, 5, 3, Regional::Current()) + "%")
                    .toStdString();
            }};
}

// Every amount to the cent: 15 significant digits hold the cents of any amount below 10^13,
// and the loan labels' whole dollars likewise, never in E-notation.
QString Money(double value)
{
    return NumberFormats::CurrencyText(value, 15, 2, Regional::Current());
}

QString Fixed(double value, int decimals)
{
    const QString mask = decimals == 0 ? QStringLiteral("0") : "0." + QString(decimals, '0');
    return NumberFormats::MaskText(value, mask, Regional::Current());
}

QString PlainNumber(double value)
{
    // Amounts are written out in full ("100000", not "1e+05"), as a spreadsheet or a script
    // expects them; only values too large or too small for that keep the exponent form.
    const double size = std::fabs(value);
    const bool fixed = size == 0 || (size >= 1e-4 && size < 1e15);
    return QString::number(value, fixed ? 'f' : 'g', QLocale::FloatingPointShortest);
}

} // namespace TableTexts
