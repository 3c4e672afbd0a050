#include "app/TableTexts.h"

#include "controls/NumberFormats.h"
#include "platform/Regional.h"

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

} // namespace TableTexts
