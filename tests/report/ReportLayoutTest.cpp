// Band layout: the page-break decisions alone, then whole reports laid out on a short page,
// read back through the bands' placements.
#include "calc/Errors.h"
#include "report/QRBand.h"
#include "report/QRLayout.h"
#include "report/QRPrinter.h"
#include "report/QRProgress.h"
#include "report/QRReport.h"
#include "tests/report/PrinterPage.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct MoveCase {
    const char* name;
    int y;
    int height;
    bool force;
    bool printed;
    int column;
    TQRLayout::TMove expected;
};

class LayoutMove : public ::testing::TestWithParam<MoveCase> {};

// Page 200 high with a 20-unit footer: room 180; two columns.
TEST_P(LayoutMove, DecidesWhereTheBandGoes)
{
    const MoveCase& c = GetParam();
    TQRLayout layout(TQRPageGeometry::For(QSize(300, 200), 0, 0, 2, 20));
    if (c.column == 2)
        layout.ToNextColumn();
    layout.SetY(c.y);
    if (c.printed)
        layout.MarkPrinted();
    EXPECT_EQ(layout.MoveFor(c.height, c.force), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, LayoutMove,
    ::testing::Values(
        MoveCase{"EndsAboveTheFooter", 100, 79, false, true, 1, TQRLayout::TMove::Stay},
        MoveCase{"EndsExactlyAtTheFooter", 100, 80, false, true, 1, TQRLayout::TMove::NextColumn},
        MoveCase{"EndsAtTheFooterInTheLastColumn", 100, 80, false, true, 2,
                 TQRLayout::TMove::NewPage},
        MoveCase{"TallerThanAPage", 0, 500, false, false, 2, TQRLayout::TMove::NewPage},
        MoveCase{"ForcedAfterSomethingPrinted", 10, 10, true, true, 2, TQRLayout::TMove::NewPage},
        MoveCase{"ForcedOnAnEmptyPage", 10, 10, true, false, 1, TQRLayout::TMove::Stay}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(LayoutGeometry, MarginsAndColumnsInReportUnits)
{
    // 0.5 inch margin = 48; (600 - 48 - 2 x 10) / 3 = 177.33 -> 177.
    const TQRPageGeometry g = TQRPageGeometry::For(QSize(600, 800), 0.5, 10 / 96.0, 3, 40);
    EXPECT_EQ(g.LeftMargin, 48);
    EXPECT_EQ(g.ColumnGap, 10);
    EXPECT_EQ(g.ColumnWidth, 177);
    TQRLayout layout(g);
    layout.SetY(70);
    layout.MarkColumnTop();
    layout.SetY(300);
    layout.ToNextColumn();
    EXPECT_EQ(layout.X(), 48 + 177 + 10);
    EXPECT_EQ(layout.Y(), 70);
    EXPECT_EQ(layout.FooterOrigin(), QPoint(48, 760));
    layout.ToNewPage();
    EXPECT_EQ(layout.Page(), 2);
    EXPECT_EQ(layout.X(), 48);
    EXPECT_EQ(layout.Y(), 0);
    EXPECT_FALSE(layout.PrintedOnPage());
}

// A report on a page 288 x 192 units: title 20, page header 30, detail 35, summary 10, page
// footer 22 (room 170 above it).
class ShortPageReport : public ::testing::Test {
protected:
    ShortPageReport()
    {
        report.ShowProgress = false;
        report.TitleBeforeHeader = true;
        title = Band(rbTitle, 20, "Title");
        header = Band(rbPageHeader, 30, "Header");
        detail = Band(rbDetail, 35, "Detail");
        summary = Band(rbSummary, 10, "Summary");
        footer = Band(rbPageFooter, 22, "Footer");
        hook = std::make_unique<TQRPreviewHook>([this] { ++previews; });
    }

    TQRBand* Band(TQRBandType type, int height, const char* name)
    {
        auto* band = new TQRBand(&report, type, height);
        band->setObjectName(name);
        return band;
    }

    // Feeds `rows` rows through OnNeedData.
    void FeedRows(int rows)
    {
        QObject::connect(&report, &TQRReport::OnNeedData, &report,
                         [this, rows](bool& more) { more = ++asked <= rows; });
    }

    // "page:band@x,y" for every band placed, in order.
    QString Placements() const
    {
        QStringList out;
        for (const TQRBandPlacement& p : report.Placements())
            out << QStringLiteral("%1:%2@%3,%4")
                       .arg(p.Page)
                       .arg(p.Band->objectName())
                       .arg(p.Rect.x())
                       .arg(p.Rect.y());
        return out.join(' ');
    }

    PrinterPage page{288, 192};
    TQRReport report;
    TQRBand* title = nullptr;
    TQRBand* header = nullptr;
    TQRBand* detail = nullptr;
    TQRBand* summary = nullptr;
    TQRBand* footer = nullptr;
    int asked = 0;
    int previews = 0;
    std::unique_ptr<TQRPreviewHook> hook;
};

TEST_F(ShortPageReport, BreaksPagesWithHeadersAndFootersOnEach)
{
    FeedRows(8);
    report.Preview();
    // Page 2's fourth row would end exactly at the footer (135 + 35 = 170): it goes on page 3.
    EXPECT_EQ(Placements(), "1:Title@0,0 1:Header@0,20 1:Detail@0,50 1:Detail@0,85 "
                            "1:Detail@0,120 1:Footer@0,170 "
                            "2:Header@0,0 2:Detail@0,30 2:Detail@0,65 2:Detail@0,100 "
                            "2:Footer@0,170 "
                            "3:Header@0,0 3:Detail@0,30 3:Detail@0,65 3:Summary@0,100 "
                            "3:Footer@0,170");
    EXPECT_EQ(asked, 9) << "the row after the last is asked for once";
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(TQRPrinter::Instance().State(), TQRPrinterState::Idle) << "pages discarded";
}

TEST_F(ShortPageReport, PreparedPagesAreStoredAtFourCanvasUnitsPerUnit)
{
    FeedRows(8);
    ASSERT_TRUE(report.Prepare());
    TQRPrinter& store = TQRPrinter::Instance();
    EXPECT_EQ(store.State(), TQRPrinterState::Ready);
    EXPECT_EQ(store.PageCount(), 3);
    EXPECT_EQ(store.PageSize(), QSize(288, 192));
    EXPECT_EQ(store.Page(3)->boundingRect(), QRect(0, 0, 288 * 4, 192 * 4));
}

TEST_F(ShortPageReport, EventsComeInTheirOrder)
{
    Band(rbOverlay, 192, "Overlay");
    QStringList log;
    const auto note = [&log](const char* what) { return [&log, what] { log << what; }; };
    QObject::connect(&report, &TQRReport::BeforePrint, &report, [&log](bool&) { log << "Begin"; });
    QObject::connect(&report, &TQRReport::OnStartPage, &report, note("StartPage"));
    QObject::connect(&report, &TQRReport::OnEndPage, &report, note("EndPage"));
    QObject::connect(&report, &TQRReport::BeforeDetail, &report, note("BeforeDetail"));
    QObject::connect(&report, &TQRReport::AfterDetail, &report, note("AfterDetail"));
    QObject::connect(&report, &TQRReport::AfterPrint, &report, note("End"));
    QObject::connect(&report, &TQRReport::OnNeedData, &report, [this, &log](bool& more) {
        log << "Need";
        more = ++asked <= 4;
    });
    for (TQRBand* band : report.Bands())
        QObject::connect(band, &TQRBand::AfterPrint, band,
                         [&log, band](bool) { log << band->objectName(); });
    report.Preview();
    EXPECT_EQ(log.join(' '),
              "Begin StartPage Title Header "
              "Need BeforeDetail Detail AfterDetail Need BeforeDetail Detail AfterDetail "
              "Need BeforeDetail Detail AfterDetail Need BeforeDetail "
              "Footer EndPage Overlay StartPage Header Detail AfterDetail "
              "Need Summary Footer Overlay EndPage End");
}

TEST_F(ShortPageReport, PaperAndOrientationApplyDuringLayoutOnly)
{
    QPrinter& printer = TQRPrinter::Instance().Printer();
    const QPageSize before = printer.pageLayout().pageSize();
    report.PaperSize = qrpA5;
    report.Orientation = QPageLayout::Landscape;
    FeedRows(1);
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(TQRPrinter::Instance().PageSize(), QSize(793, 560)) << "A5 across, at 96 per inch";
    EXPECT_TRUE(printer.pageLayout().pageSize().isEquivalentTo(before)) << "paper put back";
    TQRPrinter::Instance().Cleanup();
    printer.setPageOrientation(QPageLayout::Portrait);
}

TEST_F(ShortPageReport, ColumnsFillDownThenAcross)
{
    report.Columns = 2;
    report.ColumnMarginInches = 16 / 96.0; // column width (288 - 16) / 2 = 136
    Band(rbColumnHeader, 10, "Columns");
    FeedRows(5);
    report.Preview();
    EXPECT_EQ(Placements(), "1:Title@0,0 1:Header@0,20 1:Columns@0,50 1:Detail@0,60 "
                            "1:Detail@0,95 1:Detail@0,130 "
                            "1:Columns@152,50 1:Detail@152,60 1:Detail@152,95 "
                            "1:Summary@152,130 1:Footer@0,170");
    for (const TQRBandPlacement& p : report.Placements()) {
        EXPECT_EQ(p.Rect.width(), 136) << "every band is one column wide";
    }
}

TEST_F(ShortPageReport, ForcedNewPageAndDisabledBands)
{
    detail->ForceNewPage = true;
    summary->Enabled = false;
    FeedRows(2);
    report.Preview();
    EXPECT_EQ(Placements(), "1:Title@0,0 1:Header@0,20 1:Detail@0,50 1:Footer@0,170 "
                            "2:Header@0,0 2:Detail@0,30 2:Footer@0,170");
}

TEST_F(ShortPageReport, BandTallerThanAPagePrintsAfterOneBreak)
{
    detail->Height = 400;
    FeedRows(1);
    report.Preview();
    EXPECT_EQ(Placements(), "1:Title@0,0 1:Header@0,20 1:Footer@0,170 "
                            "2:Header@0,0 2:Detail@0,30 2:Footer@0,170 "
                            "3:Header@0,0 3:Summary@0,30 3:Footer@0,170");
}

TEST_F(ShortPageReport, RowsTheOwnerDeclinesOrNoHandler)
{
    // No rows: no detail, every other band.
    FeedRows(0);
    report.Preview();
    EXPECT_EQ(Placements(), "1:Title@0,0 1:Header@0,20 1:Summary@0,50 1:Footer@0,170");

    // Without a row handler exactly one detail prints; the filter is not asked.
    TQRReport plain;
    plain.ShowProgress = false;
    auto* only = new TQRBand(&plain, rbDetail, 10);
    int filtered = 0;
    QObject::connect(&plain, &TQRReport::OnFilter, &plain, [&](bool&) { ++filtered; });
    plain.Preview();
    ASSERT_EQ(plain.Placements().size(), 1);
    EXPECT_EQ(plain.Placements()[0].Band, only);
    EXPECT_EQ(filtered, 0);

    // The filter vetoes rows OnNeedData supplied; BeforePrint of a band can skip it.
    QObject::connect(&report, &TQRReport::OnFilter, &report,
                     [this](bool& print) { print = asked != 2; });
    QObject::connect(header, &TQRBand::BeforePrint, header, [](bool& print) { print = false; });
    asked = 0;
    QObject::disconnect(&report, &TQRReport::OnNeedData, nullptr, nullptr);
    FeedRows(3);
    report.Preview();
    EXPECT_EQ(Placements(), "1:Title@0,0 1:Detail@0,20 1:Detail@0,55 1:Summary@0,90 "
                            "1:Footer@0,170");
}

TEST_F(ShortPageReport, PrintReportFalseGivesNoPagesAndNoPreview)
{
    FeedRows(3);
    QObject::connect(&report, &TQRReport::BeforePrint, &report, [](bool& print) { print = false; });
    report.Preview();
    EXPECT_EQ(previews, 0);
    EXPECT_TRUE(report.Placements().isEmpty());
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(report.Prepare());
    EXPECT_EQ(TQRPrinter::Instance().State(), TQRPrinterState::Idle);
}

TEST_F(ShortPageReport, CancelInTheProgressWindowStopsAfterTheCurrentRow)
{
    report.ShowProgress = true;
    TQRPrinter::Instance().ProgressCaption = QStringLiteral("Preparing Test");
    QObject::connect(&report, &TQRReport::OnNeedData, &report, [this](bool& more) {
        more = ++asked <= 8;
        if (asked == 2) {
            auto* progress = qobject_cast<TQRProgress*>(QApplication::activeModalWidget());
            ASSERT_NE(progress, nullptr);
            EXPECT_TRUE(progress->isVisible());
            EXPECT_EQ(progress->windowTitle(), "Preparing Test");
            EXPECT_EQ(progress->size(), QSize(400, 140));
            // Clicked through the message loop, as the user would.
            QMetaObject::invokeMethod(progress->CancelButton(), "click", Qt::QueuedConnection);
        }
    });
    report.Preview();
    EXPECT_EQ(previews, 0);
    EXPECT_EQ(Placements(), "1:Title@0,0 1:Header@0,20 1:Detail@0,50 1:Detail@0,85 "
                            "1:Summary@0,120 1:Footer@0,170");
    EXPECT_EQ(TQRPrinter::Instance().State(), TQRPrinterState::Idle);
}

TEST_F(ShortPageReport, OtherWindowsTakeNoInputDuringLayout)
{
    QWidget other;
    auto* button = new QPushButton("Other", &other);
    other.show();
    QSignalSpy clicked(button, &QPushButton::clicked);
    QObject::connect(&report, &TQRReport::OnNeedData, &report, [&](bool& more) {
        more = ++asked <= 1;
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(button, Qt::Key_Space);
    });
    report.Preview();
    EXPECT_EQ(clicked.count(), 0);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1) << "input reaches the window again after the layout";
}

TEST_F(ShortPageReport, WithoutAHookTheEnginesOwnPreviewShowsThePages)
{
    hook.reset();
    FeedRows(8);
    QString indicator;
    QTimer poll; // waits for the preview window to come up
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* preview = QApplication::activeModalWidget();
        if (!preview || preview->objectName() != "QRStandardPreview")
            return;
        poll.stop();
        auto buttons = preview->findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 4);
        buttons[1]->click(); // next page
        indicator = preview->findChild<QLabel*>()->text();
        buttons[3]->click(); // close
    });
    poll.start();
    report.Preview();
    EXPECT_EQ(indicator, "Page 2 of 3");
    EXPECT_EQ(TQRPrinter::Instance().State(), TQRPrinterState::Idle);
}

TEST(ProgressWindow, BarMovesByTwentiethsAndCancelSetsTheFlag)
{
    TQRPrinter::Instance().ClearCancel();
    TQRProgress progress("Caption", "Printing report x", 100);
    EXPECT_EQ(progress.BarStep(), 5);
    QList<int> values;
    for (int i = 0; i < 10; ++i) {
        progress.Step();
        values << progress.Value();
    }
    EXPECT_EQ(values, QList<int>({0, 0, 0, 0, 5, 5, 5, 5, 5, 10}));
    // The bar drew the first value at once and shows the newest one after the interval.
    EXPECT_EQ(progress.Bar()->value(), 5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return progress.Bar()->value() == 10; }));
    EXPECT_EQ(TQRProgress("c", "m", 7).BarStep(), 1);
    EXPECT_TRUE(progress.CancelButton()->isDefault());
    EXPECT_EQ(progress.CancelButton()->geometry(), QRect(170, 75, 60, 26));
    EXPECT_EQ(progress.CancelButton()->text(), "Cancel");
    progress.show();
    QTest::keyClick(&progress, Qt::Key_Escape);
    EXPECT_TRUE(TQRPrinter::Instance().Cancelled());
    TQRPrinter::Instance().ClearCancel();
}

} // namespace

// Whatever runs in a band's message pass may delete the report (its owner closed): the layout
// stops there without touching it, silently, and the page store is free for the next report.
TEST(ReportDeletedDuringLayout, StopsWithoutTouchingItAndLeavesTheStoreIdle)
{
    PrinterPage page{288, 192};
    for (const bool toPdf : {false, true}) {
        auto* report = new TQRReport;
        new TQRBand(report, rbDetail, 30);
        int rows = 0;
        QObject::connect(report, &TQRReport::OnNeedData, report, [&rows, report](bool& more) {
            more = ++rows <= 100;
            if (rows == 3)
                QTimer::singleShot(0, [report] { delete report; });
        });
        const QPointer<TQRReport> alive(report);
        if (toPdf)
            EXPECT_THROW(report->PrintToPdf(page.File(), QStringLiteral("Printing")), calc::EAbort);
        else
            EXPECT_THROW(report->Preview(), calc::EAbort);
        EXPECT_TRUE(alive.isNull());
        EXPECT_EQ(rows, 3) << "the layout went on after the report was deleted";
        EXPECT_EQ(TQRPrinter::Instance().State(), TQRPrinterState::Idle);
    }
}
