// The APR chart: a one-page report of the loan's inputs and results, the itemised fixed fees
// and the whole APR table, under the heading "Chart of Annual Percentage Rates". Its bands are
// fixed here; the texts come from the owner's TAPRChartSource while the report is laid out.
#pragma once

#include "Version.h"
#include "report/APRChartSource.h"

#include <QObject>
#include <array>

class TQRBand;
class TQRLabel;
class TQRReport;
class TQRShape;
class TQRSysData;

class TQRAPRChart : public QObject {
    Q_OBJECT

public:
    explicit TQRAPRChart(QObject* parent = nullptr);

    static constexpr const char* ProgressCaption = "Preparing APR Chart";
    static constexpr const char* ApplicationTitle = "Tallyhorn, " TALLYHORN_VERSION;
    // The chart's extent in report units: its rules and footer run to 760, and title, page
    // header, the 12 table rows and footer take 116 + 264 + 12 x 24 + 109. It always prints
    // as one whole page: on a smaller printable area it is scaled down to fit.
    static constexpr int Width = 760;
    static constexpr int Height = 777;

    void SetSource(TAPRChartSource source) { m_source = std::move(source); }

    // Lays the chart out and shows it in the preview (the page store's preview hook); the
    // progress window is captioned "Preparing APR Chart".
    void Preview();
    // Lays the chart out and prints it to the PDF file `path` on the shared printer's paper,
    // with no progress window and no preview. False when the file cannot be written or the
    // page store is busy with another report.
    bool PrintToPdf(const QString& path);

    // The report's handlers.
    void RepBeforePrint(bool& printReport);
    void RepNeedData(bool& moreData);
    void PageHeaderBeforePrint(bool& printBand);

    // The rows handed out so far in this layout.
    int RowCounter() const { return m_row; }

    TQRReport* Rep = nullptr;
    TQRBand* Title = nullptr;
    TQRBand* PageHeader = nullptr;
    TQRBand* Detail = nullptr;
    TQRBand* PageFooter = nullptr;

    TQRSysData* QRDateTime = nullptr;
    TQRLabel* lblPurchasePrice = nullptr;
    TQRLabel* lblDownPaymentPercent = nullptr;
    TQRLabel* lblDownPaymentAmount = nullptr;
    TQRLabel* lblLoanAmount = nullptr;
    TQRLabel* lblLoanTerm = nullptr;
    TQRLabel* lblInterestRate = nullptr;
    TQRLabel* lblPayment = nullptr;
    TQRLabel* lblTotalFixedFees = nullptr;
    TQRLabel* lblAPR = nullptr;
    TQRLabel* lblOriginationFee = nullptr;
    TQRLabel* lblPoints = nullptr;
    TQRLabel* lblPMI = nullptr;
    TQRLabel* lblMIP = nullptr;
    TQRLabel* lblBuydown = nullptr;
    TQRLabel* lblFloodCheck = nullptr;
    TQRLabel* lblTaxServicing = nullptr;
    TQRLabel* lblOtherFees = nullptr;
    TQRLabel* lblTotalFixed = nullptr;
    TQRLabel* lblApplicationTitle = nullptr;
    TQRLabel* QRLabel2 = nullptr;
    std::array<TQRLabel*, 8> lblColumn{};

private:
    void CreateTitle();
    void CreatePageHeader();
    void CreateDetail();
    void CreatePageFooter();

    TAPRChartSource m_source;
    int m_row = 0;
};
