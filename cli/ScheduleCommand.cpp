#include "cli/ScheduleCommand.h"

#include "cli/ChartCommand.h"
#include "report/QRPrinter.h"
#include "report/QRSchedule.h"

#include <QPageLayout>
#include <QPrinter>

bool TScheduleCommand::Make(const TLoanSummary& summary, TChartPaper paper, QByteArray& pdf,
                            QString& error)
{
    TQRSchedule report;
    report.SetSource(summary.Source());

    QPrinter& printer = TQRPrinter::Instance().Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QPageSize size(paper == TChartPaper::A4   ? QPageSize::A4
                         : paper == TChartPaper::A5 ? QPageSize::A5
                                                    : QPageSize::Letter);
    printer.setPageLayout(QPageLayout(size, QPageLayout::Portrait,
                                      QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch));
    return TChartCommand::PdfInMemory([&](const QString& path) { return report.PrintToPdf(path); },
                                      pdf, error);
}
