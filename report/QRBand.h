// A horizontal band of a report: as wide as the page, with a height, a background colour, a
// font for its controls, a frame and two events.
#pragma once

#include "report/QRFrame.h"
#include "report/QRTypes.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QObject>
#include <QVariant>
#include <functional>

class TQRPrintable;
class TQRReport;

class TQRBand : public QObject {
    Q_OBJECT

public:
    // Adds the band to `report`, after the bands already there (bands of one type print in
    // that order).
    TQRBand(TQRReport* report, TQRBandType type, int height);

    TQRBandType BandType;
    int Height;
    int Width = 0; // set to the page width before the band prints
    QColor Color = Qt::white;
    QFont Font;          // the controls' font when their ParentFont is on
    QColor FontColor;    // invalid: the system's window-text colour
    bool Enabled = true; // a disabled band never prints
    bool ForceNewPage = false;
    TQRFrame Frame;
    // Group header and footer bands with a key print again for every group of detail rows:
    // the key is read after each row is supplied (OnNeedData), and where it differs from the
    // group's, the keyed footers print, then the keyed headers, then the row; the keyed footers
    // print once more after the last row. Without a key a group band prints once, the header
    // before the first row and the footer after the last.
    std::function<QVariant()> GroupKey;

    TQRReport* Report() const { return m_report; }
    const QList<TQRPrintable*>& Controls() const { return m_controls; }
    void AddControl(TQRPrintable* control) { m_controls.append(control); }

signals:
    // Before the band prints; set printBand to false to skip it this time.
    void BeforePrint(bool& printBand);
    void AfterPrint(bool bandPrinted);

private:
    TQRReport* m_report;
    QList<TQRPrintable*> m_controls;
};
