// The engine's groups that print for every group and "Page N of M", and the Amortization
// Schedule report laid out on Letter, A4 and A5: read back from the placements and texts.
#include "calc/LoanMath.h"
#include "report/QRBand.h"
#include "report/QRLabel.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "report/QRSchedule.h"
#include "report/QRSysData.h"
#include "tests/report/PrinterPage.h"

#include <gtest/gtest.h>
#include <map>

namespace {

// The band names of the placements, in print order.
QStringList BandOrder(const TQRReport& report)
{
    QStringList names;
    for (const TQRBandPlacement& p : report.Placements())
        names << p.Band->objectName();
    return names;
}

} // namespace

TEST(ReportGroups, KeyedGroupBandsPrintForEveryGroup)
{
    PrinterPage page(700, 1000);
    TQRReport report;
    auto* header = new TQRBand(&report, rbGroupHeader, 10);
    header->setObjectName("H");
    auto* once = new TQRBand(&report, rbGroupHeader, 10);
    once->setObjectName("Once");
    auto* detail = new TQRBand(&report, rbDetail, 10);
    detail->setObjectName("D");
    auto* footer = new TQRBand(&report, rbGroupFooter, 10);
    footer->setObjectName("F");
    auto* last = new TQRBand(&report, rbGroupFooter, 10);
    last->setObjectName("Last");
    const QStringList keys{"a", "a", "b", "c", "c"};
    int row = -1;
    QObject::connect(&report, &TQRReport::OnNeedData,
                     [&](bool& more) { more = ++row < keys.size(); });
    header->GroupKey = [&] { return QVariant(keys[row]); };
    footer->GroupKey = header->GroupKey;
    report.ShowProgress = false;
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(BandOrder(report).join(' '), "Once H D D F H D F H D D F Last");
}

// "Page N of M" on a page footer: the total is the number of pages of this layout.
TEST(ReportGroups, PageNumberWithPageTotal)
{
    PrinterPage page(700, 300);
    TQRReport report;
    new TQRBand(&report, rbDetail, 40);
    auto* footer = new TQRBand(&report, rbPageFooter, 20);
    auto* field = new TQRSysData(footer);
    field->setObjectName("PageNo");
    field->Data = qrsPageNumber;
    field->Text = "Page ";
    field->PageTotal = true;
    field->SetAutoSize(true);
    int rows = 0;
    QObject::connect(&report, &TQRReport::OnNeedData, [&](bool& more) { more = ++rows <= 20; });
    report.ShowProgress = false;
    ASSERT_TRUE(report.Prepare());
    const int pages = TQRPrinter::Instance().PageCount();
    ASSERT_GT(pages, 2);
    QStringList seen;
    for (const TQRPrintedText& t : report.PrintedTexts())
        if (t.Name == "PageNo")
            seen << QString("%1:%2").arg(t.Page).arg(t.Text);
    QStringList wanted;
    for (int p = 1; p <= pages; ++p)
        wanted << QString("%1:Page %1 of %2").arg(p).arg(pages);
    EXPECT_EQ(seen, wanted);
}

struct Paper {
    const char* name;
    int width, height; // printable area with quarter-inch margins, report units
    int pages;
};

class ScheduleReport : public ::testing::TestWithParam<Paper> {};

TEST_P(ScheduleReport, EveryPageHasItsHeaderFootersAndPageOfTotal)
{
    const Paper paper = GetParam();
    PrinterPage page(paper.width, paper.height);
    calc::DisclosureInputs in;
    in.loan = 250000.55;
    in.n = 360;
    in.noteRate = 7.125;
    in.prepaid = 4321.1;
    in.payment = calc::CalcPayment(360, in.loan, in.noteRate / 1200);
    in.miAmount = 104.17;
    in.miMonths = 84;
    TScheduleSource source;
    source.Figures = calc::ComputeDisclosure(in);
    for (int i = 0; i < 6; ++i) {
        source.LoanFields.push_back({"Prepaid Finance Charges", "$4,321.10"});
        source.DisclosureFields.push_back({"Total Interest Percentage", "$369,419.14"});
    }
    TQRSchedule schedule;
    schedule.SetSource(source);
    schedule.Report()->ShowProgress = false;
    ASSERT_TRUE(schedule.Report()->Prepare());
    const int pages = TQRPrinter::Instance().PageCount();
    EXPECT_EQ(pages, paper.pages);

    // Bands: inside the page, none overlapping another on its page, the column header first
    // on every page, the summary on the last.
    std::map<int, int> bottom; // page -> lowest band bottom so far
    std::map<int, QString> firstOnPage;
    for (const TQRBandPlacement& p : schedule.Report()->Placements()) {
        const QString name = p.Band->objectName();
        EXPECT_LE(p.Rect.bottom(), paper.height) << name.toStdString() << " page " << p.Page;
        EXPECT_LE(p.Rect.right(), paper.width);
        EXPECT_GE(p.Rect.top(), bottom[p.Page]) << name.toStdString() << " page " << p.Page;
        bottom[p.Page] = p.Rect.top() + p.Rect.height();
        if (name != "TitleBand" && !firstOnPage.count(p.Page))
            firstOnPage[p.Page] = name;
        if (name == "Summary") {
            EXPECT_EQ(p.Page, pages);
        }
    }
    for (int p = 1; p <= pages; ++p)
        EXPECT_EQ(firstOnPage[p], "ColumnHeader") << "page " << p;

    // Texts: none past the page's right edge; the payments in order with a year's footer after
    // each twelfth; "Page N of M" once on every page.
    QStringList sequence, pageTexts;
    for (const TQRPrintedText& t : schedule.Report()->PrintedTexts()) {
        EXPECT_LE(t.Box.right(), paper.width) << t.Text.toStdString();
        if (t.Name == "lblDetail0" || t.Name == "lblYear0")
            sequence << t.Text;
        if (t.Name == "QRPageNumber")
            pageTexts << QString("%1:%2").arg(t.Page).arg(t.Text);
    }
    QStringList wanted, wantedPages;
    for (int k = 1; k <= 360; ++k) {
        wanted << QString::number(k);
        if (k % 12 == 0)
            wanted << QString("Year %1").arg(k / 12);
    }
    EXPECT_EQ(sequence, wanted);
    for (int p = 1; p <= pages; ++p)
        wantedPages << QString("%1:Page %1 of %2").arg(p).arg(pages);
    EXPECT_EQ(pageTexts, wantedPages);
}

INSTANTIATE_TEST_SUITE_P(Papers, ScheduleReport,
                         ::testing::Values(Paper{"Letter", 768, 1008, 8}, Paper{"A4", 746, 1074, 8},
                                           Paper{"A5", 511, 746, 11}),
                         [](const auto& p) { return std::string(p.param.name); });
