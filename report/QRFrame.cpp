#include "report/QRFrame.h"

#include <QPainter>
#include <QPen>

void TQRFrame::Paint(QPainter& canvas, const QRect& rect, int scale) const
{
    if (!AnyLines())
        return;
    canvas.save();
    canvas.setPen(QPen(Color, Width * scale, Style, Qt::FlatCap));
    const qreal left = rect.left() * scale;
    const qreal top = rect.top() * scale;
    const qreal right = (rect.left() + rect.width()) * scale;
    const qreal bottom = (rect.top() + rect.height()) * scale;
    if (DrawTop)
        canvas.drawLine(QPointF(left, top), QPointF(right, top));
    if (DrawBottom)
        canvas.drawLine(QPointF(left, bottom), QPointF(right, bottom));
    if (DrawLeft)
        canvas.drawLine(QPointF(left, top), QPointF(left, bottom));
    if (DrawRight)
        canvas.drawLine(QPointF(right, top), QPointF(right, bottom));
    canvas.restore();
}
