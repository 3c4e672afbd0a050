// The APR table around the user's loan: eleven loan amounts (rows 1 to 11), the note rate the
// user's payment implies for each (column 1), and the APR for six fee totals (columns 2 to 7).
//
// Columns and rows count from 0; row 0 and column 0 hold the headers. Rates are annual
// percent; money is in currency units.
#pragma once

#include "calc/LoanMath.h"

#include <functional>
#include <string>

namespace calc {

constexpr int AprTableCols = 8;
constexpr int AprTableRows = 12;
constexpr int AprTableLoanRows = 11;
constexpr int AprTableFeeCols = 6;

// The increment of the radio-group item at `index` (0 to 9): 100, 250, 500, 1000, 2000, 2500,
// 3000, 4000, 5000, 7500. Indices outside 0..9 give 0.
double IncrementOfItem(int index);

// The user's own loan, derived from the inputs.
struct UserLoan {
    int n = 0;              // number of monthly payments, 12 x the term
    double downPayment = 0; // percent / 100 x price
    double loan = 0;        // price - down payment
    double payment = 0;     // monthly principal and interest
    double fees = 0;        // total fixed fees
};

// n = 12 x term, converted to an integer through its shortest decimal text (15 significant
// digits, `decimalSeparator` as the regional one): exact for a whole term. A text that is not
// a 32-bit integer (a count beyond it, a fraction, INF, NAN) is the conversion error
// "'%s' is not a valid integer value".
int PaymentCount(double termYears, char decimalSeparator = '.');

// The loan formulas a calculation uses; each empty one is the plain function of LoanMath.h.
// A caller may pass functions that give the same results sooner (worked out ahead, say); such
// a function raises the error the formula would raise for its arguments.
struct LoanFormulas {
    std::function<double(int n, double principal, double monthlyRate)> payment;
    std::function<double(int n, double amountFinanced, double payment)> simpleAPR;
    std::function<double(int n, double principal, double payment)> noteRate;
};

// Computes the down payment, loan amount and payment of the user's loan.
UserLoan ComputeUserLoan(double price, double downPercent, double termYears, double noteRate,
                         double fees, const LoanFormulas& formulas = {},
                         char decimalSeparator = '.');

struct AprTableFormats {
    std::function<std::string(double)> currency; // header texts: loan amounts and fee totals
    std::function<std::string(double)> rate;     // body texts
};

// Receives each cell as soon as it is computed.
using AprCellFn = std::function<void(int col, int row, const std::string& text)>;

// Builds the table in this order: (1, 0) "  IR %  "; (2..7, 0) the fee totals; (0, 0)
// "Loan / Fees"; (0, 1..11) the loan amounts; column 1 rows 1 to 11 (note rates); then
// columns 2 to 7, each from row 1 to row 11 (APRs). Math errors propagate; cells handed out
// before the error stay with the caller. `processMessages` reaches the plain APR solver only;
// a formula passed in `formulas` does its own message processing.
void BuildAprTable(const UserLoan& user, double loanIncrement, double feeIncrement,
                   const AprTableFormats& formats, const AprCellFn& onCell,
                   const ProcessMessagesFn& processMessages = {},
                   const LoanFormulas& formulas = {});

// Loan amount of row r (1 to 11): loan + (r - 6) x increment.
inline double RowLoan(const UserLoan& user, double loanIncrement, int row)
{
    return user.loan + (row - 6) * loanIncrement;
}

// Fee total of column c (2 to 7): fees + (c - 2) x increment.
inline double ColumnFees(const UserLoan& user, double feeIncrement, int col)
{
    return user.fees + (col - 2) * feeIncrement;
}

} // namespace calc
