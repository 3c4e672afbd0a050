// The parts the one-page and list reports (the Amortization Schedule, the Offer Comparison)
// build their bands from: labels in the report's Arial, thin rules, and the title with the
// date it was printed.
#pragma once

#include "controls/Alignment.h"

#include <QString>

class TQRBand;
class TQRLabel;
class TQRShape;
class TQRSysData;

namespace QRPageParts {

// Character heights (report units) of the reports' fonts.
constexpr int Height20pt = 27;
constexpr int Height10pt = 13;
constexpr int Height9pt = 12;
constexpr int Height8pt = 11;

constexpr int Margin = 25; // left and right of the printed width

// A label of Arial at `fontHeight`, not sized to its text, that prints a long text smaller
// rather than cut it, on the band's own white (no fill of its own to record).
TQRLabel* Label(TQRBand* band, const QString& name, int fontHeight, bool bold,
                TAlignment alignment);
// A thin black rule from the left margin at `top`; its width is set when the page's is known.
TQRShape* Rule(TQRBand* band, const char* name, int top);
// The report's title (20 pt bold) at the top of `band` and "Printed at " with the date and
// time below it.
void TitleAndDate(TQRBand* band, const QString& title, TQRLabel*& lblTitle,
                  TQRSysData*& QRDateTime);

} // namespace QRPageParts
