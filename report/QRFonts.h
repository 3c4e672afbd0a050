// Report fonts. A control's font is given by its character height in report units (the
// font's pixel size: 11, 12, 13 or 27); it prints at the nearest whole point size (8, 9, 10 or
// 20 points) on a canvas of four units per report unit.
#pragma once

#include <QFont>
#include <QSize>
#include <QSizeF>
#include <QString>

namespace QRFonts {

// A report font of `family` with the character height `units` (report units).
QFont ReportFont(const QString& family, int units, bool bold = false);
// The whole point size a report font prints at: height x 72 / 96, rounded.
int PointsOf(const QFont& report);
// The font on the page canvas: that point size at 96 per inch, times `scale`, in pixels.
QFont CanvasFont(const QFont& report, int scale);
// The size of `text` in report units as the font prints it (rounded up).
QSize TextSize(const QString& text, const QFont& report);

} // namespace QRFonts
