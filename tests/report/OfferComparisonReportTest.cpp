// The Offer Comparison laid out with four offers (the most lines and the narrowest columns) on
// Letter, A4 and A5: one page, every band inside it, no text past the page or over another.
#include "loan/OfferComparison.h"
#include "report/QRBand.h"
#include "report/QROfferComparison.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "tests/report/PrinterPage.h"

#include <gtest/gtest.h>

namespace {

struct Paper {
    const char* name;
    int width, height; // printable area with quarter-inch margins, report units
};

class OfferComparisonReport : public ::testing::TestWithParam<Paper> {};

TEST_P(OfferComparisonReport, FourOffersFitOnePageWithNoTextOverAnother)
{
    const Paper paper = GetParam();
    PrinterPage page(paper.width, paper.height);
    const TOfferComparison offers({{.loan = 400000, .rate = 7, .fees = 1500, .costs = 800},
                                   {.loan = 400000, .rate = 6.75, .points = 0.5, .fees = 1500},
                                   {.loan = 395000, .rate = 6.5, .points = 1.25, .fees = 1500},
                                   {.loan = 999999.99,
                                    .term = 3,
                                    .rate = 6.25,
                                    .points = 1.25,
                                    .mi = 210.55,
                                    .miMonths = 24}});
    TQROfferComparison report;
    report.SetSource(offers.Source());
    report.Report()->ShowProgress = false;
    ASSERT_TRUE(report.Report()->Prepare());
    EXPECT_EQ(TQRPrinter::Instance().PageCount(), 1);
    for (const TQRBandPlacement& p : report.Report()->Placements()) {
        EXPECT_LE(p.Rect.bottom(), paper.height) << p.Band->objectName().toStdString();
        EXPECT_LE(p.Rect.right(), paper.width);
    }
    const QList<TQRPrintedText>& texts = report.Report()->PrintedTexts();
    int rows = 0;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const TQRPrintedText& t = texts[i];
        if (t.Text.isEmpty())
            continue;
        rows += t.Name == "lblCaption";
        EXPECT_FALSE(t.Box.isEmpty()) << t.Text.toStdString(); // measured, so comparable
        EXPECT_GE(t.Box.left(), 0) << t.Text.toStdString();
        EXPECT_LE(t.Box.right(), paper.width) << t.Text.toStdString();
        for (qsizetype j = i + 1; j < texts.size(); ++j)
            if (!texts[j].Text.isEmpty()) {
                EXPECT_FALSE(t.Box.intersects(texts[j].Box))
                    << paper.name << ": '" << t.Text.toStdString() << "' over '"
                    << texts[j].Text.toStdString() << "'";
            }
    }
    // Every input and figure row and the six pairs' break-evens printed with their captions.
    EXPECT_EQ(rows, int(offers.InputRows().size() + offers.FigureRows().size()) + 6);
}

INSTANTIATE_TEST_SUITE_P(Papers, OfferComparisonReport,
                         ::testing::Values(Paper{"Letter", 768, 1008}, Paper{"A4", 746, 1074},
                                           Paper{"A5", 511, 746}),
                         [](const auto& p) { return std::string(p.param.name); });

} // namespace
