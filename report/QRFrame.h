// Lines drawn along the edges of a band or of the page.
#pragma once

#include <QColor>
#include <QRect>

class QPainter;

struct TQRFrame {
    QColor Color = Qt::black;
    int Width = 1; // pen width in report units; 0 draws nothing
    Qt::PenStyle Style = Qt::SolidLine;
    bool DrawTop = false;
    bool DrawBottom = false;
    bool DrawLeft = false;
    bool DrawRight = false;

    bool AnyLines() const { return Width > 0 && (DrawTop || DrawBottom || DrawLeft || DrawRight); }
    // Draws the switched-on edges of `rect` (report units) on a canvas at `scale` canvas units
    // per report unit.
    void Paint(QPainter& canvas, const QRect& rect, int scale) const;
};
