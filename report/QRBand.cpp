#include "report/QRBand.h"

#include "report/QRFonts.h"
#include "report/QRReport.h"

TQRBand::TQRBand(TQRReport* report, TQRBandType type, int height)
    : QObject(report), BandType(type), Height(height),
      Font(QRFonts::ReportFont(QStringLiteral("Arial"), 13)), m_report(report)
{
    report->AddBand(this);
}
