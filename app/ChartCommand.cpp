#include "app/ChartCommand.h"

#include "app/Main.h"
#include "controls/NumberFormats.h"
#include "platform/Regional.h"
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

namespace {
// The value the window's rate field of `decimals` places holds for `value`: the field keeps
// its text, so the chart prints the rounded figure (an APR of 6.7403 as 6.74%).
double FieldValue(double value, int decimals)
{
    const TFormatSettings& settings = Regional::Current();
    const QString mask = decimals == 0 ? QStringLiteral("0") : "0." + QString(decimals, '0');
    return NumberFormats::TextToFloat(NumberFormats::MaskText(value, mask, settings), settings) +
           0.0; // no "-0" for a rate that rounds to zero
}
} // namespace

bool TChartCommand::Make(const TTableInputs& inputs, TChartPaper paper, QByteArray& pdf,
                         QString& error)
{
    const TAprTableOutput table(inputs);
    const calc::UserLoan& user = table.User();

    TAPRChartSource source;
    source.Values = [&] {
        // The values the window's fields would hold; the fees are all "Other Fees".
        TAPRChartValues v;
        v.PurchasePrice = inputs.price;
        v.DownPaymentPercent = FieldValue(inputs.downPercent, 3);
        v.DownPayment = user.downPayment;
        v.Loan = user.loan;
        v.Term = FieldValue(inputs.term, 0);
        v.Interest = FieldValue(inputs.rate, 3);
        v.Payment = user.payment;
        v.FixedFees = user.fees;
        v.APR = FieldValue(table.Apr(), 3);
        v.OtherFees = user.fees;
        v.Total = user.fees;
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

    QPrinter& printer = TQRPrinter::Instance().Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    // Margins of a quarter inch, narrower at the sides where that lets the chart print at its
    // own size (A4); on paper narrower still (A5) the chart is scaled down to fit.
    const QPageSize size(paper == TChartPaper::A4   ? QPageSize::A4
                         : paper == TChartPaper::A5 ? QPageSize::A5
                                                    : QPageSize::Letter);
    const double chartWidth = TQRAPRChart::Width / TQRPrinter::ScreenPixelsPerInch;
    const double room = (size.size(QPageSize::Inch).width() - chartWidth) / 2;
    const double side = room > 0 ? std::min(0.25, room) : 0.25;
    printer.setPageLayout(QPageLayout(size, QPageLayout::Portrait,
                                      QMarginsF(side, 0.25, side, 0.25), QPageLayout::Inch));
    return PdfInMemory([&](const QString& path) { return chart.PrintToPdf(path); }, pdf, error);
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
