// The APR chart laid out from the calculator window: band rectangles, the printed texts and
// their right edges, the table rows, and the chart printed to a PDF file.
#include "app/Main.h"
#include "controls/Aligrid.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "platform/RadioGroup.h"
#include "report/QRAPRChart.h"
#include "report/QRBand.h"
#include "report/QRFonts.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "report/QRSysData.h"
#include "tests/report/PdfText.h"
#include "tests/report/PrinterPage.h"
#include "tests/support/FindChild.h"
#include "tests/support/MissingTool.h"
#include "tests/support/TempFolder.h"

#include <QBuffer>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

struct ChartCase {
    const char* name;
    bool twentyDownWithFees;
    std::map<std::string, std::string> values; // value label -> text
};

void PrintTo(const ChartCase& c, std::ostream* os)
{
    *os << c.name;
}

class APRChart : public ::testing::TestWithParam<ChartCase> {
protected:
    void SetUp() override
    {
        w = std::make_unique<TfrmMain>();
        w->SetMessageInterval(0);
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        QTest::mouseClick(Find<TExplorerButton>(*w, "btnAutoCalcStatus"),
                          Qt::LeftButton); // AutoCalc on: the table
        if (GetParam().twentyDownWithFees)
            EnterTwentyPercentDownWithFees();
        chart = &w->Chart();
        ASSERT_NE(chart, nullptr);
        chart->Rep->Clock = [] { return QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)); };
        chart->Rep->ShowProgress = false;
    }
    void TearDown() override
    {
        if (w)
            w->close();
        w.reset();
    }
    void EnterTwentyPercentDownWithFees()
    {
        Find<TFnpNumericEdit>(*w, "edtDownPaymentPercent")->SetValue(20);
        Find<TFnpNumericEdit>(*w, "edtTerm")->SetValue(15);
        Find<TFnpNumericEdit>(*w, "edtInterest")->SetValue(6.5);
        Find<TRadioGroup>(*w, "rgFixed")->SetItemIndex(2);
        QTest::mouseClick(Find<QPushButton>(*w, "btnCalcFixed"), Qt::LeftButton);
        Find<TNumEdit>(*w, "edtOriginationFees")->SetValue(3000);
        Find<TNumEdit>(*w, "edtFloodCheckFee")->SetValue(25.5);
        QTest::mouseClick(Find<TRadioGroup>(*w, "rgLoan")->Button(5), Qt::LeftButton);
        QTest::mouseClick(Find<QPushButton>(*w, "btnCloseFixedFees"), Qt::LeftButton);
        ASSERT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->text(), "7.116");
    }
    const TQRPrintedText* Text(const QString& name) const
    {
        for (const TQRPrintedText& t : chart->Rep->PrintedTexts())
            if (t.Name == name)
                return &t;
        ADD_FAILURE() << "not printed: " << name.toStdString();
        return nullptr;
    }
    // The right edge the text of a right-aligned label reaches: one blank left of its box.
    int RightEdge(const QString& name) const
    {
        const TQRPrintedText* t = Text(name);
        return t ? t->Box.x() + t->Box.width() : -1;
    }

    TempProgramFolder folder;
    PrinterPage page{816, 1056}; // Letter without margins
    std::unique_ptr<TfrmMain> w;
    TQRAPRChart* chart = nullptr;
};

TEST_P(APRChart, LaysOutOnePageFromTheWindow)
{
    TQRPrinter& store = TQRPrinter::Instance();
    int previews = 0;
    const TQRPreviewHook hook([&] {
        ++previews;
        EXPECT_EQ(store.State(), TQRPrinterState::Ready);
        EXPECT_EQ(store.PageCount(), 1);
        EXPECT_EQ(store.ProgressCaption, "Preparing APR Chart");
        EXPECT_EQ(store.Title, "of Annual Percentage Rates");
        QBuffer bytes;
        bytes.open(QIODevice::WriteOnly);
        QPicture copy(*store.Page(1));
        copy.save(&bytes);
        RecordProperty("PagePictureBytes", static_cast<int>(bytes.size()));
    });
    Find<QAction>(*w, "mnuFilePrint")->trigger();
    ASSERT_EQ(previews, 1);
    EXPECT_EQ(store.State(), TQRPrinterState::Idle);

    // Bands: title 116, page header 264, 12 rows of 24, the footer at the page foot (109).
    QStringList bands;
    int total = 0;
    for (const TQRBandPlacement& p : chart->Rep->Placements()) {
        bands << QStringLiteral("%1@%2,%3,%4x%5")
                     .arg(p.Band->objectName())
                     .arg(p.Rect.x())
                     .arg(p.Rect.y())
                     .arg(p.Rect.width())
                     .arg(p.Rect.height());
        total += p.Rect.height();
    }
    QStringList expected{"Title@0,0,816x116", "PageHeader@0,116,816x264"};
    for (int row = 0; row < 12; ++row)
        expected << QStringLiteral("Detail@0,%1,816x24").arg(380 + 24 * row);
    expected << "PageFooter@0,947,816x109";
    EXPECT_EQ(bands, expected);
    EXPECT_EQ(total, 777);
    EXPECT_EQ(chart->RowCounter(), 13) << "row 12, one past the last, is asked for once";

    // Right-aligned labels end one blank's width left of their laid-out edges.
    const int blank = QRFonts::TextSize(" ", QRFonts::ReportFont("Arial", 12)).width();
    const int boldBlank = QRFonts::TextSize(" ", QRFonts::ReportFont("Arial", 12, true)).width();
    for (const char* caption : {"QRLabel1", "QRLabel3", "QRLabel4", "QRLabel5", "QRLabel6",
                                "QRLabel7", "QRLabel11", "QRLabel12", "QRLabel14"})
        EXPECT_NEAR(RightEdge(caption), 193 - blank, 1) << caption;
    for (const char* caption : {"QRLabel18", "QRLabel19", "QRLabel20", "QRLabel24", "QRLabel25",
                                "QRLabel26", "QRLabel30", "QRLabel31", "QRLabel32"})
        EXPECT_NEAR(RightEdge(caption), 591 - blank, 1) << caption;
    for (const char* value : {"lblPurchasePrice", "lblLoanTerm", "lblAPR"})
        EXPECT_NEAR(RightEdge(value), 298 - boldBlank, 1) << value;
    for (const char* fee : {"lblOriginationFee", "lblPMI", "lblFloodCheck", "lblOtherFees"})
        EXPECT_NEAR(RightEdge(fee), 676 - blank, 1) << fee;
    EXPECT_NEAR(RightEdge("lblTotalFixed"), 676 - boldBlank, 1);

    // Texts.
    EXPECT_EQ(Text("QRLabel20")->Text, "Prepaid Mortgage Interest:");
    EXPECT_EQ(Text("QRDateTime")->Text, "Printed at 3/5/2026 2:07:09 PM");
    EXPECT_NEAR(Text("QRDateTime")->Box.x(), 27, 1) << "the centred AutoSize line starts at 27";
    EXPECT_EQ(Text("QRDateTime")->Box.y(), 92);
    EXPECT_EQ(Text("lblApplicationTitle")->Text, "Tallyhorn, 1.0.00");
    EXPECT_EQ(Text("QRLabel2")->Text, Maker::Host);
    for (const auto& [label, text] : GetParam().values)
        EXPECT_EQ(Text(QString::fromStdString(label))->Text.toStdString(), text) << label;

    // The 12 rows hold the grid's cells, each centred in its box.
    QList<QStringList> rows(12);
    for (const TQRPrintedText& t : chart->Rep->PrintedTexts()) {
        if (!t.Name.startsWith("lblColumn"))
            continue;
        const int row = (t.Box.y() - 3 - 380) / 24;
        ASSERT_GE(row, 0);
        ASSERT_LT(row, 12);
        rows[row] << t.Text;
        const int column = t.Name.mid(9).toInt();
        const int centre = QList<int>{50, 138, 224, 310, 397, 483, 569, 655}[column - 1] + 41;
        EXPECT_NEAR(t.Box.center().x(), centre, 1) << t.Text.toStdString();
    }
    for (int row = 0; row < 12; ++row) {
        QStringList grid;
        for (int column = 0; column < 8; ++column)
            if (!Find<TStringAlignGrid>(*w, "grdAPR")->Cells(column, row).isEmpty())
                grid << Find<TStringAlignGrid>(*w, "grdAPR")->Cells(column, row);
        EXPECT_EQ(rows[row], grid) << "row " << row;
    }

    // A second preview prints the same rows again.
    const QList<TQRPrintedText> first = chart->Rep->PrintedTexts();
    w->btnPrintClick();
    EXPECT_EQ(previews, 2);
    ASSERT_EQ(chart->Rep->PrintedTexts().size(), first.size());
    for (qsizetype i = 0; i < first.size(); ++i)
        EXPECT_EQ(chart->Rep->PrintedTexts()[i].Text, first[i].Text);
}

TEST_P(APRChart, PrintsToOnePdfPageWithEveryFigure)
{
    if (!PdfText::Available())
        MISSING_FOR_TEST() << "pdftotext is not installed (poppler-utils, scripts/setup)";
    const QString pdf = folder.File(QStringLiteral("chart-%1.pdf").arg(GetParam().name));
    ASSERT_TRUE(chart->PrintToPdf(pdf));
    EXPECT_EQ(TQRPrinter::Instance().State(), TQRPrinterState::Idle);
    const PdfText printed = PdfText::Read(pdf);
    EXPECT_EQ(printed.Pages, 1);
    EXPECT_EQ(printed.Title, "Chart of Annual Percentage Rates")
        << "the job's name stays "
           "\"of Annual Percentage Rates\"";
    QStringList expected{"Chart of Annual Percentage Rates",
                         "Printed at 3/5/2026 2:07:09 PM",
                         "Mortgage Loan Variables",
                         "Fixed Fees",
                         "Prepaid Mortgage Interest:",
                         "Annual Percentage Rates by Loan's Total Fixed Fees",
                         "Tallyhorn, 1.0.00",
                         Maker::Host,
                         "there is NO WARRANTY",
                         "before making any financial decisions."};
    for (const auto& [label, text] : GetParam().values)
        expected << QString::fromStdString(text);
    for (int row = 0; row < 12; ++row)
        for (int column = 0; column < 8; ++column)
            if (!Find<TStringAlignGrid>(*w, "grdAPR")->Cells(column, row).trimmed().isEmpty())
                expected << Find<TStringAlignGrid>(*w, "grdAPR")->Cells(column, row).trimmed();
    for (const QString& text : expected)
        EXPECT_TRUE(printed.Text.contains(text)) << text.toStdString();
    if (qEnvironmentVariableIsSet("TALLYHORN_KEEP_CHART"))
        QFile::copy(pdf,
                    qEnvironmentVariable("TALLYHORN_KEEP_CHART") + "-" + GetParam().name + ".pdf");
}

// On paper narrower than the chart (A5, with and without margins) it still prints as one
// whole page, scaled down to the printable area: every band on page 1, every figure and
// table cell in the PDF, the footer to its right end, and no font of a size below 0 on the way.
TEST_P(APRChart, PrintsWholeOnOnePageOfA5)
{
    if (!PdfText::Available())
        MISSING_FOR_TEST() << "pdftotext is not installed (poppler-utils, scripts/setup)";
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            if (text.contains("QFont")) // "QFont::setPointSizeF: Point size <= 0"
                warnings << text;
        });
    for (const double margin : {0.0, 0.25}) {
        SCOPED_TRACE(margin);
        TQRPrinter::Instance().Printer().setPageLayout(
            QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Portrait,
                        QMarginsF(margin, margin, margin, margin), QPageLayout::Inch));
        const QString pdf = folder.File(QStringLiteral("a5-%1.pdf").arg(GetParam().name));
        ASSERT_TRUE(chart->PrintToPdf(pdf));
        for (const TQRBandPlacement& p : chart->Rep->Placements())
            EXPECT_EQ(p.Page, 1) << p.Band->objectName().toStdString();
        const PdfText printed = PdfText::Read(pdf);
        EXPECT_EQ(printed.Pages, 1);
        QStringList expected{"Chart of Annual Percentage Rates",
                             "Other Fees:", "Total:", Maker::Host,
                             "before making any financial decisions."};
        for (const auto& [label, text] : GetParam().values)
            expected << QString::fromStdString(text);
        for (int row = 0; row < 12; ++row)
            for (int column = 0; column < 8; ++column)
                expected << Find<TStringAlignGrid>(*w, "grdAPR")->Cells(column, row).trimmed();
        expected.removeAll(QString());
        EXPECT_GE(expected.size(), 5 + 11 + 12 * 8 - 1) << "the corner cell alone is empty";
        for (const QString& text : expected)
            EXPECT_TRUE(printed.Text.contains(text)) << text.toStdString();
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
}

TEST(APRChartSource, WithoutAWindowFromAnyTable)
{
    PrinterPage page(816, 1056);
    TQRAPRChart chart;
    chart.Rep->ShowProgress = false;
    TAPRChartSource source;
    source.Values = [] {
        TAPRChartValues v;
        v.Payment = -5; // the regional negative currency format
        v.Term = 7.5;
        v.APR = 12.345678;
        return v;
    };
    source.RowCount = [] { return 5; };
    source.Cell = [](int column, int row) {
        return row < 5 ? QStringLiteral("r%1c%2").arg(row).arg(column) : QString();
    };
    chart.SetSource(source);
    ASSERT_TRUE(chart.Rep->Prepare());
    TQRPrinter::Instance().Cleanup();
    int details = 0;
    for (const TQRBandPlacement& p : chart.Rep->Placements())
        details += p.Band == chart.Detail;
    EXPECT_EQ(details, 5);
    EXPECT_EQ(chart.RowCounter(), 6);
    QStringList values;
    for (const TQRPrintedText& t : chart.Rep->PrintedTexts())
        if (t.Name == "lblPayment" || t.Name == "lblLoanTerm" || t.Name == "lblAPR" ||
            t.Name == "lblColumn8")
            values << t.Text;
    EXPECT_EQ(values, QStringList({"7.5 Years", "($5.00)", "12.346%", "r0c7", "r1c7", "r2c7",
                                   "r3c7", "r4c7"}));
}

TEST(APRChartSource, OneYearIsSingular)
{
    PrinterPage page(816, 1056);
    TQRAPRChart chart;
    chart.Rep->ShowProgress = false;
    for (const auto& [term, text] :
         {std::pair{1.0, "1 Year"}, std::pair{2.0, "2 Years"}, std::pair{30.0, "30 Years"}}) {
        TAPRChartSource source;
        source.Values = [term = term] {
            TAPRChartValues v;
            v.Term = term;
            return v;
        };
        chart.SetSource(source);
        ASSERT_TRUE(chart.Rep->Prepare());
        TQRPrinter::Instance().Cleanup();
        for (const TQRPrintedText& t : chart.Rep->PrintedTexts()) {
            if (t.Name == "lblLoanTerm") {
                EXPECT_EQ(t.Text, text);
            }
        }
    }
}

// The largest figures the window's fields can hold print whole, each within its own room: the
// values between their captions and their right edges, each table cell in its box.
TEST(APRChartLargeFigures, PrintWholeWithinTheirRoomOnLetterAndA4)
{
    for (const QSize paper : {QSize(816, 1056), QSize(794, 1123)}) {
        PrinterPage page(paper.width(), paper.height());
        TQRAPRChart chart;
        chart.Rep->ShowProgress = false;
        TAPRChartSource source;
        source.Values = [] {
            TAPRChartValues v;
            v.PurchasePrice = v.DownPayment = v.Loan = 9999999999;
            v.Payment = -9999999999; // the negative currency format is the widest
            v.FixedFees = v.Total = 7999999992;
            v.OriginationFees = v.Points = v.PrepaidMortgageInterest = 999999999;
            v.MortgageInsurancePremiums = v.BuydownFunds = v.FloodCheckFee = 999999999;
            v.TaxServicingFee = v.OtherFees = 999999999;
            v.DownPaymentPercent = v.Interest = v.APR = 99.999;
            v.Term = 40;
            return v;
        };
        source.RowCount = [] { return 12; };
        source.Cell = [](int column, int row) {
            return row >= 12     ? QString()
                   : column == 0 ? QStringLiteral("$9,999,999,999")
                                 : QStringLiteral("($999,999,999)");
        };
        chart.SetSource(source);
        ASSERT_TRUE(chart.Rep->Prepare());
        TQRPrinter::Instance().Cleanup();
        int checked = 0;
        for (const TQRPrintedText& t : chart.Rep->PrintedTexts()) {
            const std::string what = t.Name.toStdString() + " " + t.Text.toStdString();
            if (t.Name.startsWith("lblColumn")) {
                const int left =
                    QList<int>{50, 138, 224, 310, 397, 483, 569, 655}[t.Name.mid(9).toInt() - 1];
                EXPECT_GE(t.Box.left(), left) << what;
                EXPECT_LE(t.Box.left() + t.Box.width(), left + 82) << what;
            } else if (t.Name.startsWith("lbl") && t.Name != "lblApplicationTitle") {
                const bool fee = t.Box.left() > 400;
                EXPECT_GE(t.Box.left(), fee ? 592 : 194) << what;
                EXPECT_LE(t.Box.left() + t.Box.width(), fee ? 676 : 298) << what;
                EXPECT_GE(t.Box.height(), 9) << what << ": still readable";
            } else {
                continue;
            }
            ++checked;
        }
        EXPECT_EQ(checked, 18 + 12 * 8);
    }
}

INSTANTIATE_TEST_SUITE_P(Window, APRChart,
                         ::testing::Values(ChartCase{"DefaultTable",
                                                     false,
                                                     {{"lblPurchasePrice", "$100,000.00"},
                                                      {"lblDownPaymentPercent", "0%"},
                                                      {"lblDownPaymentAmount", "$0.00"},
                                                      {"lblLoanAmount", "$100,000.00"},
                                                      {"lblLoanTerm", "30 Years"},
                                                      {"lblInterestRate", "8.75%"},
                                                      {"lblPayment", "$786.70"},
                                                      {"lblTotalFixedFees", "$0.00"},
                                                      {"lblAPR", "8.75%"},
                                                      {"lblOriginationFee", "$0.00"},
                                                      {"lblTotalFixed", "$0.00"}}},
                                           ChartCase{"TwentyDownWithFees",
                                                     true,
                                                     {{"lblPurchasePrice", "$100,000.00"},
                                                      {"lblDownPaymentPercent", "20%"},
                                                      {"lblDownPaymentAmount", "$20,000.00"},
                                                      {"lblLoanAmount", "$80,000.00"},
                                                      {"lblLoanTerm", "15 Years"},
                                                      {"lblInterestRate", "6.5%"},
                                                      {"lblPayment", "$696.89"},
                                                      {"lblTotalFixedFees", "$3,025.50"},
                                                      {"lblAPR", "7.116%"},
                                                      {"lblOriginationFee", "$3,000.00"},
                                                      {"lblFloodCheck", "$25.50"},
                                                      {"lblPoints", "$0.00"},
                                                      {"lblTotalFixed", "$3,025.50"}}}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
