// What one run of the command line asks for, as the parser has read and checked it.
//
// Money is in currency units, rates in annual percent (8.75 means 8.75 % a year), the term in
// whole years; counts of payments are monthly payments.
#pragma once

#include "calc/Disclosure.h"
#include "calc/Offers.h"
#include "loan/OutputFormat.h"

#include <QString>
#include <optional>
#include <vector>

enum class TCommandKind { Help, Version, Table, Apr, Payment, Chart, Schedule, Compare };

enum class TChartPaper { Letter, A4, A5 };

// One --offer of the compare command: the keys given (checked), the others left to the
// command's options and the settings file.
struct TOfferOption {
    std::optional<double> loan, term, rate, points, fees, costs, mi;
    std::optional<int> miMonths;
};

struct TCommandRequest {
    TCommandKind kind = TCommandKind::Help;
    TOutputFormat format = TOutputFormat::Text;

    // table and chart: the inputs left out come from the settings file.
    std::optional<double> price;
    std::optional<double> downPercent;
    std::optional<double> term;
    std::optional<double> rate; // also the note rate of the payment command
    double fees = 0;
    double loanStep = 1000;
    double feeStep = 1000;

    // apr and payment.
    double amountFinanced = 0;
    double payment = 0;
    double loan = 0;
    int payments = 0;

    // apr: the payment streams (given instead of payment and payments), and the disclosed APR
    // to check against the computed one.
    std::vector<calc::PaymentStream> streams;
    std::optional<double> disclosed;

    // schedule: the monthly mortgage insurance and the number of payments that carry it.
    double mi = 0;
    int miMonths = 0;

    // schedule: extra principal payments (none when !extra.Any()).
    calc::ExtraPayments extra;

    // compare: the offers, 2 to 4, in the order given.
    std::vector<TOfferOption> offers;

    // chart, schedule and compare (schedule and compare: optional, the report as a PDF file).
    QString output;
    TChartPaper paper = TChartPaper::Letter;

    // True when the table's loan inputs are all given, so the settings file is not needed.
    bool HasAllLoanInputs() const { return price && downPercent && term && rate; }
};
