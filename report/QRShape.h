// A shape on a band: rectangle, ellipse or lines along the box's edges.
#pragma once

#include "report/QRPrintable.h"
#include "report/QRTypes.h"

#include <QBrush>
#include <QPen>

class TQRShape : public TQRPrintable {
    Q_OBJECT

public:
    explicit TQRShape(TQRBand* band);

    TQRShapeType Shape() const { return m_shape; }
    // A vertical line takes the width, a horizontal line the height, of the pen width + 3.
    void SetShape(TQRShapeType shape);

    QPen Pen;     // width in report units
    QBrush Brush; // Qt::NoBrush is the clear brush

    void Print(TQRPrintContext& context, int x, int y) override;

private:
    TQRShapeType m_shape = qrsRectangle;
};
