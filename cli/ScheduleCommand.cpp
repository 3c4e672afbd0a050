#include "cli/ScheduleCommand.h"

#include "cli/ChartCommand.h"
#include "report/QRSchedule.h"

bool TScheduleCommand::Make(const TLoanSummary& summary, TChartPaper paper, QByteArray& pdf,
                            QString& error)
{
    TQRSchedule report;
    report.SetSource(summary.Source());

    return TChartCommand::PdfOnPaper(
        paper, [&](const QString& path) { return report.PrintToPdf(path); }, pdf, error);
}
