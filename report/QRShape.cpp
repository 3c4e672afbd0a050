#include "report/QRShape.h"

#include <QPainter>

TQRShape::TQRShape(TQRBand* band)
    : TQRPrintable(band), Pen(Qt::black, 1), Brush(Qt::white, Qt::SolidPattern)
{
    Width = 65;
    Height = 65;
}

void TQRShape::SetShape(TQRShapeType shape)
{
    m_shape = shape;
    if (shape == qrsVertLine)
        Width = Pen.width() + 3;
    else if (shape == qrsHorLine)
        Height = Pen.width() + 3;
}

void TQRShape::Print(TQRPrintContext& context, int x, int y)
{
    const int s = context.Scale;
    const qreal left = (x + Left) * s;
    const qreal top = (y + Top) * s;
    const qreal right = (x + Left + Width) * s;
    const qreal bottom = (y + Top + Height) * s;
    QPen pen(Pen);
    pen.setWidthF(Pen.widthF() * s);
    QPainter& canvas = *context.Canvas;
    canvas.save();
    canvas.setPen(pen);
    canvas.setBrush(Brush);
    switch (m_shape) {
    case qrsRectangle: canvas.drawRect(QRectF(QPointF(left, top), QPointF(right, bottom))); break;
    case qrsCircle: canvas.drawEllipse(QRectF(QPointF(left, top), QPointF(right, bottom))); break;
    case qrsVertLine: canvas.drawLine(QPointF(left, top), QPointF(left, bottom)); break;
    case qrsHorLine: canvas.drawLine(QPointF(left, top), QPointF(right, top)); break;
    case qrsTopAndBottom:
        canvas.drawLine(QPointF(left, top), QPointF(right, top));
        canvas.drawLine(QPointF(left, bottom), QPointF(right, bottom));
        break;
    case qrsRightAndLeft:
        canvas.drawLine(QPointF(left, top), QPointF(left, bottom));
        canvas.drawLine(QPointF(right, top), QPointF(right, bottom));
        break;
    }
    canvas.restore();
}
