// A system-data field: Text followed by a value the engine knows (date, time, page number,
// report title, detail count or number). AutoSize is off when created.
#pragma once

#include "report/QRCustomLabel.h"
#include "report/QRTypes.h"

struct TFormatSettings;

class TQRSysData : public TQRCustomLabel {
    Q_OBJECT

public:
    explicit TQRSysData(TQRBand* band);

    TQRSysDataType Data = qrsTime;
    QString Text; // printed before the value

    // The value of `data` now (by the report's clock), in the given regional formats.
    static QString Value(TQRSysDataType data, const TQRReport& report,
                         const TFormatSettings& settings);

    // Rebuilds the caption from Text and the current value (fitting the box when AutoSize).
    QString PrintText() override;
};
