#include "report/QRAPRChart.h"

#include "controls/NumberFormats.h"
#include "platform/Regional.h"
#include "report/QRBand.h"
#include "report/QRFonts.h"
#include "report/QRLabel.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "report/QRShape.h"
#include "report/QRSysData.h"

namespace {
const QString Arial = QStringLiteral("Arial");

// Character heights (report units) of the chart's fonts.
constexpr int Height20pt = 27;
constexpr int Height10pt = 13;
constexpr int Height9pt = 12;
constexpr int Height8pt = 11;

enum class TSize { Auto, Fixed };

TQRLabel* Label(TQRBand* band, const char* name, int left, int top, int width, int height,
                const QString& caption, int fontHeight, bool bold, const QColor& color,
                TAlignment alignment, TSize size = TSize::Auto)
{
    auto* label = new TQRLabel(band);
    label->setObjectName(QString::fromLatin1(name));
    label->SetBounds(left, top, width, height);
    label->SetAlignment(alignment);
    label->SetAutoSize(size == TSize::Auto);
    label->SetFont(QRFonts::ReportFont(Arial, fontHeight, bold), color);
    label->SetCaption(caption);
    return label;
}

TQRShape* HorizontalLine(TQRBand* band, const char* name, int left, int top, int width,
                         int penWidth)
{
    auto* shape = new TQRShape(band);
    shape->setObjectName(QString::fromLatin1(name));
    shape->Pen = QPen(Qt::black, penWidth);
    shape->SetBounds(left, top, width, 0);
    shape->SetShape(qrsHorLine);
    return shape;
}

// Every amount to the cent: 15 significant digits hold the cents of any amount below 10^13.
QString Money(double value)
{
    return NumberFormats::CurrencyText(value, 15, 2, Regional::Current());
}

QString Percent(double value)
{
    return NumberFormats::GeneralText(value, Regional::Current(), 5) + QLatin1Char('%');
}
} // namespace

TQRAPRChart::TQRAPRChart(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("QRAPRChart"));
    Rep = new TQRReport(this);
    Rep->setObjectName(QStringLiteral("Rep"));
    Rep->ReportTitle = QStringLiteral("of Annual Percentage Rates");
    Rep->DocumentTitle = QStringLiteral("Chart of Annual Percentage Rates");
    Rep->Orientation = QPageLayout::Portrait;
    Rep->PaperSize = qrpDefault;
    Rep->Columns = 1;
    Rep->TitleBeforeHeader = true;
    Rep->RestartData = true;
    Rep->DisplayPrintDialog = false;
    Rep->ShowProgress = true;
    Rep->LeastPage = QSize(Width, Height);
    connect(Rep, &TQRReport::BeforePrint, this, &TQRAPRChart::RepBeforePrint);
    connect(Rep, &TQRReport::OnNeedData, this, &TQRAPRChart::RepNeedData);

    CreateTitle();
    CreatePageHeader();
    CreateDetail();
    CreatePageFooter();
}

void TQRAPRChart::CreateTitle()
{
    Title = new TQRBand(Rep, rbTitle, 116);
    Title->setObjectName(QStringLiteral("Title"));
    Label(Title, "QRLabel13", 25, 60, 444, 32, QStringLiteral("Chart of Annual Percentage Rates"),
          Height20pt, true, Qt::black, taLeftJustify);
    QRDateTime = new TQRSysData(Title);
    QRDateTime->setObjectName(QStringLiteral("QRDateTime"));
    QRDateTime->SetBounds(27, 92, 106, 14);
    QRDateTime->Data = qrsDateTime;
    QRDateTime->Text = QStringLiteral("Printed at ");
    QRDateTime->SetAlignment(taCenter);
    QRDateTime->SetFont(QRFonts::ReportFont(Arial, Height8pt));
    QRDateTime->SetAutoSize(true);
}

void TQRAPRChart::CreatePageHeader()
{
    TQRBand* b = PageHeader = new TQRBand(Rep, rbPageHeader, 264);
    b->setObjectName(QStringLiteral("PageHeader"));
    connect(b, &TQRBand::BeforePrint, this, &TQRAPRChart::PageHeaderBeforePrint);
    const QColor text; // the system's window-text colour
    const QColor black = Qt::black;
    const TAlignment right = taRightJustify;

    HorizontalLine(b, "QRShape3", 25, 3, 735, 1);
    Label(b, "QRLabel8", 123, 18, 160, 16, "Mortgage Loan Variables", Height10pt, true, text,
          right);
    Label(b, "QRLabel9", 565, 18, 70, 16, "Fixed Fees", Height10pt, true, text, right);
    Label(b, "QRLabel1", 106, 41, 87, 15, "Purchase Price:", Height9pt, false, text, right);
    Label(b, "QRLabel3", 93, 60, 100, 15, "Down Payment %:", Height9pt, false, text, right);
    Label(b, "QRLabel4", 62, 79, 131, 15, "Down Payment Amount:", Height9pt, false, text, right);
    Label(b, "QRLabel5", 117, 97, 76, 15, "Loan Amount:", Height9pt, false, text, right);
    Label(b, "QRLabel6", 130, 117, 63, 15, "Loan Term:", Height9pt, false, text, right);
    Label(b, "QRLabel7", 120, 135, 73, 15, "Interest Rate:", Height9pt, false, text, right);
    Label(b, "QRLabel11", 98, 154, 95, 15, "Monthly Payment:", Height9pt, false, text, right);
    Label(b, "QRLabel12", 100, 173, 93, 15, "Total Fixed Fees:", Height9pt, false, text, right);
    Label(b, "QRLabel14", 166, 192, 27, 15, "APR:", Height9pt, false, text, right);

    // A figure that is wider than its box prints smaller, never cut and never over its caption.
    const auto figure = [&](const char* name, int left, int width, int top, const char* placeholder,
                            bool bold) {
        TQRLabel* label = Label(b, name, left, top, width, 15, placeholder, Height9pt, bold, black,
                                right, TSize::Fixed);
        label->ShrinkToFit = true;
        return label;
    };
    // The loan's values end at 298; their boxes reach left to just past the captions (193).
    const auto value = [&](const char* name, int top, const char* placeholder) {
        return figure(name, 196, 102, top, placeholder, true);
    };
    lblPurchasePrice = value("lblPurchasePrice", 41, "Purchase Price");
    lblDownPaymentPercent = value("lblDownPaymentPercent", 60, "DownPayment%");
    lblDownPaymentAmount = value("lblDownPaymentAmount", 79, "DownPayment");
    lblLoanAmount = value("lblLoanAmount", 98, "LoanAmount");
    lblLoanTerm = value("lblLoanTerm", 117, "LoanTerm");
    lblInterestRate = value("lblInterestRate", 135, "InterestRate");
    lblPayment = value("lblPayment", 154, "Payment");
    lblTotalFixedFees = value("lblTotalFixedFees", 173, "TotalFixedFees");
    lblAPR = value("lblAPR", 192, "APR");

    Label(b, "QRLabel18", 504, 42, 87, 15, "Origination Fee:", Height9pt, false, text, right);
    Label(b, "QRLabel19", 553, 61, 38, 15, "Points:", Height9pt, false, text, right);
    Label(b, "QRLabel20", 454, 80, 137, 15, "Prepaid Mortgage Interest:", Height9pt, false, text,
          right);
    Label(b, "QRLabel24", 418, 99, 173, 15, "Mortgage Insurance Premiums:", Height9pt, false, text,
          right);
    Label(b, "QRLabel25", 500, 118, 91, 15, "Buydown Funds:", Height9pt, false, text, right);
    Label(b, "QRLabel26", 495, 136, 96, 15, "Flood Check Fee:", Height9pt, false, text, right);
    Label(b, "QRLabel30", 492, 155, 99, 15, "Tax Servicing Fee:", Height9pt, false, text, right);
    Label(b, "QRLabel31", 527, 174, 64, 15, "Other Fees:", Height9pt, false, text, right);
    Label(b, "QRLabel32", 561, 193, 30, 15, "Total:", Height9pt, false, text, right);

    // The fees end at 676, within 594 to 676, clear of their captions (which end at 591).
    const auto fee = [&](const char* name, int top, const char* placeholder, bool bold = false) {
        return figure(name, 594, 82, top, placeholder, bold);
    };
    lblOriginationFee = fee("lblOriginationFee", 42, "OriginationFee");
    lblPoints = fee("lblPoints", 61, "Points");
    lblPMI = fee("lblPMI", 80, "PMI");
    lblMIP = fee("lblMIP", 99, "MIP");
    lblBuydown = fee("lblBuydown", 118, "Buydown");
    lblFloodCheck = fee("lblFloodCheck", 136, "FloodCheck");
    lblTaxServicing = fee("lblTaxServicing", 155, "TaxServicing");
    lblOtherFees = fee("lblOtherFees", 174, "OtherFees");
    lblTotalFixed = fee("lblTotalFixed", 193, "TotalFixed", true);

    HorizontalLine(b, "QRShape4", 25, 226, 735, 1);
    Label(b, "QRLabel15", 52, 246, 82, 15, "Loan Amounts", Height9pt, true, text, right);
    Label(b, "QRLabel10", 271, 245, 335, 16, "Annual Percentage Rates by Loan's Total Fixed Fees",
          Height10pt, true, text, right);
    HorizontalLine(b, "QRShape12", 177, 256, 84, 3);
    HorizontalLine(b, "QRShape13", 616, 256, 84, 3);
}

void TQRAPRChart::CreateDetail()
{
    Detail = new TQRBand(Rep, rbDetail, 24);
    Detail->setObjectName(QStringLiteral("Detail"));
    Detail->Font = QRFonts::ReportFont(Arial, Height9pt);
    Detail->FontColor = Qt::black;
    struct Cell {
        int boxLeft;
        int boxWidth;
        int labelLeft;
    };
    static constexpr Cell cells[8] = {{46, 90, 50},   {137, 85, 138}, {223, 85, 224},
                                      {309, 85, 310}, {395, 85, 397}, {481, 85, 483},
                                      {567, 85, 569}, {653, 86, 655}};
    for (int i = 0; i < 8; ++i) {
        auto* box = new TQRShape(Detail);
        box->setObjectName(QStringLiteral("QRShapeCell%1").arg(i + 1));
        box->SetShape(qrsRectangle);
        box->Pen = QPen(Qt::black, 1);
        box->Brush = Qt::NoBrush;
        box->SetBounds(cells[i].boxLeft, 0, cells[i].boxWidth, 22);

        auto* label = new TQRLabel(Detail);
        label->setObjectName(QStringLiteral("lblColumn%1").arg(i + 1));
        label->SetAutoSize(false);
        label->SetAlignment(taCenter);
        label->SetBounds(cells[i].labelLeft, 3, 82, 15);
        label->ShrinkToFit = true; // a 10-digit loan amount prints whole
        lblColumn[static_cast<size_t>(i)] = label;
    }
}

void TQRAPRChart::CreatePageFooter()
{
    TQRBand* b = PageFooter = new TQRBand(Rep, rbPageFooter, 109);
    b->setObjectName(QStringLiteral("PageFooter"));
    const QColor text;
    HorizontalLine(b, "QRShape2", 25, 2, 735, 1);
    lblApplicationTitle = Label(b, "lblApplicationTitle", 25, 4, 75, 14, "lblApplicationTitle",
                                Height8pt, false, text, taLeftJustify);
    QRLabel2 =
        Label(b, "QRLabel2", 642, 4, 118, 14, "QRLabel2", Height8pt, false, text, taRightJustify);
    Label(b, "QRLabel34", 36, 33, 713, 14,
          "NOTE:  While effort was made to ensure the accuracy of these calculations, there is NO "
          "WARRANTY, expressed or implied, for the accuracy or the",
          Height8pt, false, Qt::black, taLeftJustify);
    Label(b, "QRLabel36", 36, 47, 713, 14,
          "applicability of this information to your particular financial situation.  Please "
          "consult your own qualified advisor before making any financial decisions.",
          Height8pt, false, Qt::black, taLeftJustify);
}

void TQRAPRChart::RepBeforePrint(bool&)
{
    lblApplicationTitle->SetCaption(QString::fromLatin1(ApplicationTitle));
    QRLabel2->SetCaption(m_source.WebAddress);
    m_row = 0;
}

void TQRAPRChart::RepNeedData(bool& moreData)
{
    for (int column = 0; column < 8; ++column)
        lblColumn[static_cast<size_t>(column)]->SetCaption(
            m_source.Cell ? m_source.Cell(column, m_row) : QString());
    ++m_row;
    moreData = (m_source.RowCount ? m_source.RowCount() : 0) >= m_row;
}

void TQRAPRChart::PageHeaderBeforePrint(bool&)
{
    const TAPRChartValues v = m_source.Values ? m_source.Values() : TAPRChartValues{};
    lblPurchasePrice->SetCaption(Money(v.PurchasePrice));
    lblDownPaymentPercent->SetCaption(Percent(v.DownPaymentPercent));
    lblDownPaymentAmount->SetCaption(Money(v.DownPayment));
    lblLoanAmount->SetCaption(Money(v.Loan));
    lblLoanTerm->SetCaption(NumberFormats::GeneralText(v.Term, Regional::Current()) +
                            (v.Term == 1 ? QStringLiteral(" Year") : QStringLiteral(" Years")));
    lblInterestRate->SetCaption(Percent(v.Interest));
    lblPayment->SetCaption(Money(v.Payment));
    lblTotalFixedFees->SetCaption(Money(v.FixedFees));
    lblAPR->SetCaption(Percent(v.APR));
    lblOriginationFee->SetCaption(Money(v.OriginationFees));
    lblPoints->SetCaption(Money(v.Points));
    lblPMI->SetCaption(Money(v.PrepaidMortgageInterest));
    lblMIP->SetCaption(Money(v.MortgageInsurancePremiums));
    lblBuydown->SetCaption(Money(v.BuydownFunds));
    lblFloodCheck->SetCaption(Money(v.FloodCheckFee));
    lblTaxServicing->SetCaption(Money(v.TaxServicingFee));
    lblOtherFees->SetCaption(Money(v.OtherFees));
    lblTotalFixed->SetCaption(Money(v.Total));
}

void TQRAPRChart::Preview()
{
    TQRPrinter::Instance().ProgressCaption = QString::fromLatin1(ProgressCaption);
    Rep->Preview();
}

bool TQRAPRChart::PrintToPdf(const QString& path)
{
    return Rep->PrintToPdf(path, QString::fromLatin1(ProgressCaption));
}
