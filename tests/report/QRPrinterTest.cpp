// The page store: states, page measuring with and without a printer, the recorded pages and
// printing them to a PDF file.
#include "report/QRPrinter.h"

#include "calc/Errors.h"
#include "report/PrintQueue.h"
#include "tests/report/PdfText.h"
#include "tests/support/MissingTool.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Records `count` pages, each with its number painted in it.
void RecordPages(TQRPrinter& store, int count)
{
    store.BeginDoc();
    for (int page = 1; page <= count; ++page) {
        if (page > 1)
            store.NewPage();
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(160);
        store.Canvas()->setFont(font);
        store.Canvas()->drawText(200, 400, QStringLiteral("Page marker %1").arg(page));
    }
    store.EndDoc();
}

class QRPrinterTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        store.Cleanup();
        store.DocumentTitle.clear();
        store.Printer().setOutputFileName(QString());
        store.Printer().setPageSize(QPageSize(QPageSize::A4));
    }
    TQRPrinter& store = TQRPrinter::Instance();
};

TEST_F(QRPrinterTest, StatesFollowTheDocumentAndSelectionIgnoresPagesOutOfRange)
{
    ASSERT_EQ(store.State(), TQRPrinterState::Idle);
    store.BeginDoc();
    EXPECT_EQ(store.State(), TQRPrinterState::Generating);
    EXPECT_EQ(store.PageCount(), 1);
    ASSERT_NE(store.Canvas(), nullptr);
    store.NewPage();
    store.NewPage();
    EXPECT_EQ(store.PageCount(), 3);
    EXPECT_EQ(store.PageNumber(), 3);

    QSignalSpy changed(&store, &TQRPrinter::PageChanged);
    store.EndDoc();
    EXPECT_EQ(store.State(), TQRPrinterState::Ready);
    EXPECT_EQ(store.PageCount(), 3);
    EXPECT_EQ(store.PageNumber(), 1);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(store.Canvas(), nullptr);

    for (int wrong : {0, -1, 4})
        store.SelectPage(wrong);
    EXPECT_EQ(store.PageNumber(), 1);
    store.SelectPage(3);
    EXPECT_EQ(store.PageNumber(), 3);
    EXPECT_EQ(store.CurrentPage(), store.Page(3));
    EXPECT_EQ(store.Page(4), nullptr);

    // Each picture covers the page at four canvas units per report unit.
    EXPECT_EQ(store.Page(1)->boundingRect(),
              QRect(QPoint(0, 0), store.PageSize() * TQRPrinter::CanvasScale));

    // A new document discards the finished one.
    RecordPages(store, 1);
    EXPECT_EQ(store.PageCount(), 1);

    store.FirstPage = 2;
    store.LastPage = 2;
    store.Cleanup();
    EXPECT_EQ(store.State(), TQRPrinterState::Idle);
    EXPECT_EQ(store.PageCount(), 0);
    EXPECT_EQ(store.CurrentPage(), nullptr);
    EXPECT_EQ(store.FirstPage, 0);
    EXPECT_EQ(store.LastPage, 0);
}

// Run with the printing system pointed at nothing (ctest label noprinter).
using QRPrinterNoPrinter = QRPrinterTest;

TEST_F(QRPrinterNoPrinter, MeasuresThePageWithOrWithoutAPrinter)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed on this machine; the no-printer page is not used";
    store.BeginDoc();
    EXPECT_FALSE(store.PrinterOK());
    EXPECT_EQ(store.PageSize(), QSize(748, 1080));  // 7.7867 x 11.2533 inches
    EXPECT_EQ(store.PaperSize(), QSize(785, 1134)); // 5 % larger
    EXPECT_EQ(store.PrintingOffset(), QPoint(5, 5));
    store.Cleanup();

    // A chosen output file is a usable printer, measured at 96 per inch: Letter is 816 x 1056.
    QTemporaryDir folder;
    store.Printer().setOutputFileName(folder.path() + "/letter.pdf");
    store.Printer().setPageSize(QPageSize(QPageSize::Letter));
    store.Printer().setPageMargins(QMarginsF(0.5, 0.25, 0.5, 0.25), QPageLayout::Inch);
    store.BeginDoc();
    EXPECT_TRUE(store.PrinterOK());
    EXPECT_EQ(store.PaperSize(), QSize(816, 1056));
    EXPECT_EQ(store.PageSize(), QSize(720, 1008));
    EXPECT_EQ(store.PrintingOffset(), QPoint(48, 24));
}

TEST_F(QRPrinterTest, PrintsTheStoredPagesInTheRangeToAFile)
{
    if (!PdfText::Available())
        MISSING_FOR_TEST() << "pdftotext is not installed (poppler-utils, scripts/setup)";
    QTemporaryDir folder;
    const QString pdf = folder.path() + "/pages.pdf";
    store.Printer().setOutputFileName(pdf);
    RecordPages(store, 3);
    store.Title = QStringLiteral("of Test Pages");
    store.DocumentTitle = QStringLiteral("Test Pages");
    store.ShowProgress = false;
    store.SelectPage(2);

    store.FirstPage = 2;
    store.LastPage = 3;
    EXPECT_TRUE(store.Print());
    EXPECT_EQ(store.PageNumber(), 2) << "the page current before printing is selected again";
    const PdfText printed = PdfText::Read(pdf);
    EXPECT_EQ(printed.Pages, 2);
    EXPECT_FALSE(printed.Text.contains("Page marker 1"));
    EXPECT_TRUE(printed.Text.contains("Page marker 2"));
    EXPECT_TRUE(printed.Text.contains("Page marker 3"));
    EXPECT_EQ(printed.Title, "Test Pages") << "a file carries the document's title";

    // Cancel pressed before the first page goes out: no job is finished.
    QFile::remove(pdf);
    store.FirstPage = store.LastPage = 0;
    QMetaObject::invokeMethod(
        &store, [this] { store.Cancel(); }, Qt::QueuedConnection);
    EXPECT_TRUE(store.Print()) << "a cancelled job is no failure";
    EXPECT_TRUE(store.Cancelled());
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

TEST_F(QRPrinterTest, AFileThatCannotBeWrittenIsReportedByName)
{
    QTemporaryDir folder;
    const QString pdf = folder.path() + "/no such folder/chart.pdf";
    store.Printer().setOutputFileName(pdf);
    RecordPages(store, 1);
    store.ShowProgress = false;
    QString problem;
    EXPECT_FALSE(store.Print(&problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("\"%1\" could not be written").arg(pdf)))
        << problem.toStdString();
}

// The rightmost inked column of a page drawn at half size on an image of `dpi` dots per inch.
int InkRight(TQRPrinter& store, int dpi)
{
    const QSize size = store.PageSize() / 2;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    QPainter painter(&image);
    store.DrawPage(painter, 1, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    int right = -1;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                right = std::max(right, x);
    return right;
}

TEST_F(QRPrinterTest, PagesLookTheSameOnScreensOfAnyResolution)
{
    RecordPages(store, 1);
    const int right = InkRight(store, 96);
    EXPECT_GT(right, 50);
    for (int dpi : {72, 120, 192})
        EXPECT_NEAR(InkRight(store, dpi), right, 2) << dpi << " dots per inch";
}

// What a band paints right of or below the page is cut off at the page's edge, also after a
// clipped label (which saves, clips and restores the canvas) earlier on the page.
TEST_F(QRPrinterTest, NothingIsDrawnOutsideThePage)
{
    store.BeginDoc();
    const QSize page = store.PageSize();
    const int scale = TQRPrinter::CanvasScale;
    QPainter& canvas = *store.Canvas();
    canvas.save();
    canvas.setClipRect(QRect(0, 0, 40 * scale, 20 * scale), Qt::IntersectClip);
    canvas.fillRect(QRect(0, 0, 80 * scale, 20 * scale), Qt::black);
    canvas.restore();
    canvas.fillRect(QRect(0, 40 * scale, (page.width() + 100) * scale, 20 * scale), Qt::black);
    canvas.fillRect(QRect(0, (page.height() - 10) * scale, 20 * scale, 100 * scale), Qt::black);
    store.EndDoc();

    // Played at its own resolution (a printer, a 96-per-inch screen) onto a larger device.
    QImage image(page + QSize(200, 200), QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = qRound(TQRPrinter::PlaybackResolution / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&image);
    store.DrawPage(painter, 1, QRectF(QPointF(0, 0), QSizeF(page)));
    painter.end();
    EXPECT_EQ(qGray(image.pixel(30, 10)), 0) << "inside the label's box";
    EXPECT_EQ(qGray(image.pixel(60, 10)), 255) << "beyond the label's box";
    EXPECT_EQ(qGray(image.pixel(page.width() - 2, 50)), 0);
    EXPECT_EQ(qGray(image.pixel(page.width() + 50, 50)), 255) << "right of the page";
    EXPECT_EQ(qGray(image.pixel(10, page.height() + 50)), 255) << "below the page";
}

// A paper the printer cannot take is a driver error, and the printer keeps its own paper;
// one it takes is applied for the layout and put back after it.
TEST_F(QRPrinterTest, APaperThePrinterRefusesIsAPrinterDriverError)
{
    QTemporaryDir folder;
    store.Printer().setOutputFileName(folder.path() + "/paper.pdf");
    const QPageSize before = store.Printer().pageLayout().pageSize();
    try {
        store.ApplyPageSettings(QPageLayout::Portrait, QPageSize()); // no size at all
        ADD_FAILURE() << "no error";
    } catch (const calc::Exception& e) {
        EXPECT_STREQ(e.what(), "Printer driver error");
    }
    store.RestorePageSettings();
    EXPECT_TRUE(store.Printer().pageLayout().pageSize().isEquivalentTo(before));

    store.ApplyPageSettings(QPageLayout::Portrait, QPageSize(QPageSize::A5));
    EXPECT_TRUE(store.Printer().pageLayout().pageSize().isEquivalentTo(QPageSize(QPageSize::A5)));
    store.RestorePageSettings();
    EXPECT_TRUE(store.Printer().pageLayout().pageSize().isEquivalentTo(before));
}

TEST_F(QRPrinterNoPrinter, PrintingSaysThereIsNoPrinterNamingTheReport)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed on this machine";
    RecordPages(store, 1);
    store.ShowProgress = false;
    // The report's name is the one its printed document carries.
    const struct {
        const char* title;
        const char* documentTitle;
        const char* says;
    } reports[] = {{"Amortization Schedule", "", "The Amortization Schedule cannot be printed"},
                   {"of Annual Percentage Rates", "Chart of Annual Percentage Rates",
                    "The Chart of Annual Percentage Rates cannot be printed"}};
    for (const auto& report : reports) {
        store.Title = report.title;
        store.DocumentTitle = report.documentTitle;
        QString problem;
        EXPECT_FALSE(store.Print(&problem));
        EXPECT_TRUE(problem.startsWith(report.says)) << problem.toStdString();
        EXPECT_TRUE(problem.contains("no printer is installed")) << problem.toStdString();
        EXPECT_EQ(store.State(), TQRPrinterState::Ready);
        EXPECT_EQ(store.LastJob(), 0);
    }
}

} // namespace
