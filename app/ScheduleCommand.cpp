#include "app/ScheduleCommand.h"

#include "app/ChartCommand.h"
#include "report/QRPrinter.h"
#include "report/QRSchedule.h"

#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

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
    // As the chart does: the PDF engine ignores its own write errors, so it writes into a
    // file in memory whose bytes are read back and checked whole.
    const int fd = ::memfd_create("tallyhorn-schedule", MFD_CLOEXEC);
    if (fd < 0) {
        error = QStringLiteral("cannot make the PDF: ") + QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    QFile memory;
    if (!memory.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error = QStringLiteral("cannot make the PDF: ") + memory.errorString();
        return false;
    }
    const bool read =
        report.PrintToPdf(QStringLiteral("/proc/self/fd/%1").arg(fd)) && memory.seek(0);
    if (read)
        pdf = memory.readAll();
    if (!read || !TChartCommand::IsWholePdf(pdf)) {
        error = QStringLiteral("cannot make the PDF: it came out incomplete (no memory left, or "
                               "a file size limit)");
        return false;
    }
    return true;
}
