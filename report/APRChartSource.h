// What the APR chart prints, supplied by its owner: the calculator window reads its controls,
// the command line computes the same values without a window.
#pragma once

#include <QString>
#include <functional>

// The chart's values: money amounts, annual percents (8.75 is 8.75 %) and the term in years.
struct TAPRChartValues {
    double PurchasePrice = 0;
    double DownPaymentPercent = 0;
    double DownPayment = 0;
    double Loan = 0;
    double Term = 0;
    double Interest = 0;
    double Payment = 0;
    double FixedFees = 0;
    double APR = 0;
    double OriginationFees = 0;
    double Points = 0;
    double PrepaidMortgageInterest = 0;
    double MortgageInsurancePremiums = 0;
    double BuydownFunds = 0;
    double FloodCheckFee = 0;
    double TaxServicingFee = 0;
    double OtherFees = 0;
    double Total = 0;
};

struct TAPRChartSource {
    // The values now; asked each time the page header prints.
    std::function<TAPRChartValues()> Values;
    // The table: its row count, and the text of cell (column 0-7, row); a row at or past the
    // count gives empty texts.
    std::function<int()> RowCount;
    std::function<QString(int column, int row)> Cell;
    // The maker's web address, printed at the foot of the page.
    QString WebAddress;
};
