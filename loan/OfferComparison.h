// Two to four loan offers side by side: their inputs and figures (calc::ComputeOffer), the
// break-even of every pair, and the texts every road shows for them: the Compare Offers
// dialog, its copy for a spreadsheet, the printed Offer Comparison and the compare command.
//
// The texts are laid out as a table: rows are figures, columns are offers ("Offer 1" ...),
// and a last column "Lowest" names the best offer on the cost rows in words ("Offer 2"), so a
// printout and a screen reader convey it without colour. Money texts are those of the Loan
// Summary ("$1,234.56"), rates and percentages three decimals and "%" ("6.612%"). Offers are
// indexed from 0 in the interface and named from 1 in every text ("Offer 1").
#pragma once

#include "calc/Offers.h"
#include "loan/OutputFormat.h"
#include "report/QROfferComparison.h"

#include <QString>
#include <QStringList>
#include <vector>

class TOfferComparison {
public:
    // One row of the table.
    struct Row {
        QString key;                // name in CSV and JSON ("apr", "fiveYearTotal")
        QString caption;            // "Annual Percentage Rate (APR)"
        QStringList texts;          // one per offer, as shown ("6.612%")
        std::vector<double> values; // one per offer: currency units, percent, years or counts
        int lowest = -1;            // the best (lowest) offer on a cost row; -1: not marked
        bool costRow = false;       // a row that names its lowest offer (APR, TIP, 5-year total)

        // "Offer 2" on a marked row, "Tie" on a cost row whose lowest value two or more offers
        // share, else empty: the text of the "Lowest" column.
        QString LowestText() const;
    };

    // The break-even of one pair of offers.
    struct PairRow {
        int first = 0;   // the offer with the higher up-front cost (the lower index when equal)
        int second = 0;  // the other one
        QString caption; // "Offer 2 vs Offer 1: Break-Even"
        // "month 38 (3 years 2 months)": from then on `first` costs less, to the end of the
        // shorter term; "never"; "no break-even: equal up-front costs" with "; Offer 1 costs
        // less" where one has cost less by the end of the shorter term.
        QString text;
        calc::BreakEven breakEven; // as calc::ComputeBreakEven gives it for (first, second)
    };

    // Computes every offer's figures and every pair's break-even. calc::ERangeError when the
    // count is outside calc::MinOffers..calc::MaxOffers, or for an offer outside the ranges
    // ComputeOffer accepts; its text then begins with the offer's name ("offer 2: ...").
    // Math errors propagate.
    explicit TOfferComparison(std::vector<calc::Offer> offers);

    int Count() const { return int(m_offers.size()); }
    const std::vector<calc::Offer>& Offers() const { return m_offers; }
    const std::vector<calc::OfferFigures>& Figures() const { return m_figures; }

    // "Offer 1" for index 0.
    static QString OfferName(int index);

    // What each offer is: Loan Amount, Term, Note Rate, Points ("1.500%" or "None"), Points
    // Paid (in money), Other Prepaid Finance Charges, Other Loan Costs, Mortgage Insurance
    // ("$120.00 x 84" or "None"). Never marked.
    std::vector<Row> InputRows() const;
    // Monthly Principal & Interest, Annual Percentage Rate (APR) (marked), Total Interest
    // Percentage (TIP) (marked), Amount Financed, Finance Charge, Total of Payments, Paid Up
    // Front (points, fees and costs), In 5 Years: Total Paid (marked), In 5 Years: Principal
    // Paid Off (the equity gained, unmarked). An In 5 Years text of a loan shorter than 60
    // months says so: "$40,000.00 (in 3 years)".
    std::vector<Row> FigureRows() const;
    // Every pair (first, second) of offers in index order: 1-2, 1-3, ..., 3-4.
    std::vector<PairRow> BreakEvenRows() const;

    // The lines that explain the table, for every output and the printout.
    static QStringList Notes();

    // "38 months" as "3 years 2 months", "12" as "1 year", "8" as "8 months".
    static QString Duration(int months);

    // What the Offer Comparison report prints: the same rows and texts, except that a shorter
    // loan's In 5 Years texts end in "*" in place of "(in 3 years)", with a note that says so
    // ("* Offer 2: In 5 Years over its whole term, 3 years.").
    TOfferReportSource Source() const;

    // The compare command's outputs. Text: the table with the captions, one column per offer
    // and the "Lowest" column, then the break-even lines and the notes. CSV: "figure", one
    // column per offer and "lowest" (the best offer's number, 1-based) with plain numbers, then
    // the break-even pairs. JSON: the offers with their inputs and figures (numbers at full
    // precision, money to the cent), the lowest offer of each cost row and the break-evens.
    QString Text() const;
    QString Csv() const;
    QString Json() const;
    QString Format(TOutputFormat format) const;
    // The table as shown, tab-separated with a header line ("\tOffer 1\tOffer 2\tLowest"),
    // then the break-even lines ("caption\ttext"), for pasting into a spreadsheet.
    QString CopyText() const;

private:
    std::vector<calc::Offer> m_offers;
    std::vector<calc::OfferFigures> m_figures;
};
