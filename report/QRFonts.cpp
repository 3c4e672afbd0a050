#include "report/QRFonts.h"

#include "report/QRPrinter.h"

#include <QFontMetricsF>
#include <cmath>

namespace QRFonts {

QFont DesignFont(const QString& family, int units, bool bold)
{
    QFont font(family);
    font.setPixelSize(units);
    font.setBold(bold);
    return font;
}

int PointsOf(const QFont& design)
{
    const int units = design.pixelSize() > 0
                          ? design.pixelSize()
                          : static_cast<int>(std::lround(design.pointSizeF() * 96.0 / 72.0));
    return static_cast<int>(std::lround(units * 72.0 / 96.0));
}

QFont CanvasFont(const QFont& design, int scale)
{
    // Pixel sizes, not point sizes: a recorded picture must not depend on the resolution of
    // the screen it was recorded on.
    QFont font(design);
    font.setPixelSize(static_cast<int>(std::lround(PointsOf(design) * 96.0 / 72.0 * scale)));
    return font;
}

QSize TextSize(const QString& text, const QFont& design)
{
    constexpr int scale = TQRPrinter::CanvasScale;
    const QFontMetricsF metrics(CanvasFont(design, scale));
    return QSize(static_cast<int>(std::ceil(metrics.horizontalAdvance(text) / scale)),
                 static_cast<int>(std::ceil(metrics.height() / scale)));
}

} // namespace QRFonts
