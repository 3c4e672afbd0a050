#include "report/QRPrintable.h"

#include "report/QRBand.h"

TQRPrintable::TQRPrintable(TQRBand* band) : QObject(band), m_band(band)
{
    band->AddControl(this);
}

void TQRPrintable::SetBounds(int left, int top, int width, int height)
{
    Left = left;
    Top = top;
    Width = width;
    Height = height;
}
