#include "cli/ChartCommand.h"

#include "loan/ChartValues.h"
#include "platform/Maker.h"
#include "report/QRAPRChart.h"
#include "report/QRPrinter.h"

#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

bool TChartCommand::Make(const calc::LoanInputs& inputs, TChartPaper paper, QByteArray& pdf,
                         QString& error)
{
    const TAprTableOutput table(inputs);
    TAPRChartSource source;
    source.Values = [&] {
        // The values the window's fields would hold; the fees are all "Other Fees".
        TAPRChartValues v = LoanChartValues(table.Model());
        v.OtherFees = v.Total = v.FixedFees;
        return v;
    };
    source.RowCount = [] { return calc::AprTableRows; };
    source.Cell = [&](int column, int row) {
        const bool inside =
            column >= 0 && column < calc::AprTableCols && row >= 0 && row < calc::AprTableRows;
        return inside ? table.Cell(column, row) : QString();
    };
    source.WebAddress = QString::fromLatin1(Maker::Host);
    TQRAPRChart chart;
    chart.SetSource(std::move(source));

    // Margins of a quarter inch, narrower at the sides where that lets the chart print at its
    // own size (A4); on paper narrower still (A5) the chart is scaled down to fit.
    const double chartWidth = TQRAPRChart::Width / TQRPrinter::ScreenPixelsPerInch;
    const double room = (PageSize(paper).size(QPageSize::Inch).width() - chartWidth) / 2;
    const double side = room > 0 ? std::min(0.25, room) : 0.25;
    return PdfOnPaper(
        paper, [&](const QString& path) { return chart.PrintToPdf(path); }, pdf, error, side);
}

QPageSize TChartCommand::PageSize(TChartPaper paper)
{
    return QPageSize(paper == TChartPaper::A4   ? QPageSize::A4
                     : paper == TChartPaper::A5 ? QPageSize::A5
                                                : QPageSize::Letter);
}

bool TChartCommand::PdfOnPaper(TChartPaper paper,
                               const std::function<bool(const QString& path)>& print,
                               QByteArray& pdf, QString& error, double side)
{
    QPrinter& printer = TQRPrinter::Instance().Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageLayout(QPageLayout(PageSize(paper), QPageLayout::Portrait,
                                      QMarginsF(side, 0.25, side, 0.25), QPageLayout::Inch));
    return PdfInMemory(print, pdf, error);
}

bool TChartCommand::PdfInMemory(const std::function<bool(const QString&)>& print, QByteArray& pdf,
                                QString& error)
{
    // The PDF engine ignores the results of its own writes, so it writes into a file in
    // memory, where no write can fail for want of room; its bytes are then read back.
    const int fd = ::memfd_create("tallyhorn-report", MFD_CLOEXEC);
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
    const bool read = print(QStringLiteral("/proc/self/fd/%1").arg(fd)) && memory.seek(0);
    if (read)
        pdf = memory.readAll();
    if (!read || !IsWholePdf(pdf)) {
        error = QStringLiteral("cannot make the PDF: it came out incomplete (no memory left, or "
                               "a file size limit)");
        return false;
    }
    return true;
}

bool TChartCommand::IsWholePdf(const QByteArray& pdf)
{
    // The file ends "startxref", the offset of its cross-reference table, "%%EOF"; a write
    // lost anywhere before leaves the table somewhere else, or no such end at all.
    const QByteArray end = pdf.trimmed();
    const qsizetype at = end.lastIndexOf("startxref");
    if (!end.endsWith("%%EOF") || at < 0)
        return false;
    bool number = false;
    const qsizetype offset =
        end.mid(at + 9, end.size() - 5 - (at + 9)).trimmed().toLongLong(&number);
    return number && offset >= 0 && pdf.mid(offset, 4) == "xref";
}
