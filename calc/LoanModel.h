// One loan as the user has committed it, and every figure derived from it: the results the
// calculator's fields show, the APR table, the disclosure figures with the schedule in cents.
// The window, the chart, the Loan Summary, the reports and every command read their figures
// here and only format them, so each road shows the same numbers.
//
// Money is in currency units (the schedule's in cents), rates in annual percent.
#pragma once

#include "calc/AprTable.h"
#include "calc/DefaultInputs.h"
#include "calc/Disclosure.h"

#include <memory>
#include <optional>

class TTableSolvers;

namespace calc {

// The inputs as committed: the four loan fields, the total of the fixed fees and the table's
// two increments.
struct LoanInputs {
    double price = DefaultInputs.price;
    double downPercent = DefaultInputs.downPercent;
    double term = DefaultInputs.term; // whole years
    double rate = DefaultInputs.interest;
    double fees = 0;
    double loanStep = 1000;
    double feeStep = 1000;
};

class LoanModel {
public:
    // Derives the user's loan (ComputeUserLoan) with `formulas`, which also serve the APR and
    // the table. Conversion and math errors propagate.
    explicit LoanModel(const LoanInputs& inputs, const LoanFormulas& formulas = {},
                       char decimalSeparator = '.');

    // The model of `inputs` with its table and APR solved ahead on every core (TTableSolvers),
    // for a caller that does not pass messages on while it waits.
    static LoanModel SolvedAhead(const LoanInputs& inputs);

    const LoanInputs& Inputs() const { return m_inputs; }
    // Down payment and loan in whole cents that add up to the price, fees to the cent, the
    // unrounded payment.
    const UserLoan& User() const { return m_user; }

    // The APR field's rate: the unrounded payment against the loan less the fees, from the
    // model's APR formula; worked out on first use, so a caller that shows the loan's amounts
    // first shows them before the solver's error. Math errors propagate.
    double Apr() const;

    // Builds the APR table with the model's increments and formulas (BuildAprTable).
    void BuildTable(const AprTableFormats& formats, const AprCellFn& onCell,
                    const ProcessMessagesFn& processMessages = {}) const;

    // What the disclosure figures are computed from: this loan with `mi` a month of mortgage
    // insurance for the first `miMonths` payments.
    DisclosureInputs Disclosed(double mi, int miMonths) const;
    // The schedule in cents and the figures beside it, their APR that of the payments as
    // disclosed. ERangeError for inputs outside the figures' ranges.
    Disclosure Figures(double mi, int miMonths) const
    {
        return ComputeDisclosure(Disclosed(mi, miMonths));
    }

private:
    LoanInputs m_inputs;
    LoanFormulas m_formulas;
    UserLoan m_user;
    std::shared_ptr<const TTableSolvers> m_ahead; // keeps the solved-ahead results alive
    mutable std::optional<double> m_apr;
};

} // namespace calc
