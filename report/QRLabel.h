// A text label of a band (AutoSize on when created).
#pragma once

#include "report/QRCustomLabel.h"

class TQRLabel : public TQRCustomLabel {
    Q_OBJECT

public:
    explicit TQRLabel(TQRBand* band) : TQRCustomLabel(band) {}
};
