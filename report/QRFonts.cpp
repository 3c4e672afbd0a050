#include "report/QRFonts.h"

#include "report/QRPrinter.h"

#include <QFontMetricsF>
#include <cmath>

namespace QRFonts {

QFont ReportFont(const QString& family, int units, bool bold)
{
    QFont font(family);
    font.setPixelSize(units);
    font.setBold(bold);
    return font;
}

int PointsOf(const QFont& report)
{
    const int units = report.pixelSize() > 0
                          ? report.pixelSize()
                          : static_cast<int>(std::lround(report.pointSizeF() * 96.0 / 72.0));
    return static_cast<int>(std::lround(units * 72.0 / 96.0));
}

QFont CanvasFont(const QFont& report, int scale)
{
    // Pixel sizes, not point sizes: a recorded picture must not depend on the resolution of
    // the screen it was recorded on.
    QFont font(report);
    font.setPixelSize(static_cast<int>(std::lround(PointsOf(report) * 96.0 / 72.0 * scale)));
    return font;
}

QSize TextSize(const QString& text, const QFont& report)
{
    constexpr int scale = TQRPrinter::CanvasScale;
    const QFontMetricsF metrics(CanvasFont(report, scale));
    return QSize(static_cast<int>(std::ceil(metrics.horizontalAdvance(text) / scale)),
                 static_cast<int>(std::ceil(metrics.height() / scale)));
}

} // namespace QRFonts
