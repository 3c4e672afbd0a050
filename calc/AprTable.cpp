#include "calc/AprTable.h"

#include "calc/Errors.h"

#include <climits>
#include <cmath>

namespace calc {

double IncrementOfItem(int index)
{
    static const double increments[] = {100, 250, 500, 1000, 2000, 2500, 3000, 4000, 5000, 7500};
    return index >= 0 && index < 10 ? increments[index] : 0.0;
}

int PaymentCount(double termYears)
{
    const double months = 12.0 * termYears;
    if (std::isnan(months))
        throw EInvalidOp();
    // A whole number of months converts exactly (the term field takes no decimals); a
    // count beyond an int cannot be a loan and is reported as a math error.
    const double whole = std::trunc(months);
    if (!(whole >= INT_MIN && whole <= INT_MAX))
        throw EOverflow();
    return static_cast<int>(whole);
}

UserLoan ComputeUserLoan(double price, double downPercent, double termYears, double noteRate,
                         double fees)
{
    UserLoan u;
    u.n = PaymentCount(termYears);
    u.downPayment = downPercent / 100.0 * price;
    u.loan = price - u.downPayment;
    u.payment = CalcPayment(u.n, u.loan, noteRate / 1200.0);
    u.fees = fees;
    return u;
}

void BuildAprTable(const UserLoan& user, double loanIncrement, double feeIncrement,
                   const AprTableFormats& formats, const AprCellFn& onCell,
                   const ProcessMessagesFn& processMessages, const AprTableSolvers& solvers)
{
    auto noteRate = [&](double principal) {
        return solvers.noteRate ? solvers.noteRate(user.n, principal, user.payment)
                                : CalcIR(user.n, principal, user.payment);
    };
    auto apr = [&](double financed) {
        return solvers.apr ? solvers.apr(user.n, financed, user.payment)
                           : CalcSimpleAPR(user.n, financed, user.payment, processMessages);
    };
    onCell(1, 0, "  IR %  ");
    for (int col = 2; col < AprTableCols; ++col)
        onCell(col, 0, formats.currency(ColumnFees(user, feeIncrement, col)));
    onCell(0, 0, "Loan / Fees");
    for (int row = 1; row < AprTableRows; ++row)
        onCell(0, row, formats.currency(RowLoan(user, loanIncrement, row)));
    for (int row = 1; row < AprTableRows; ++row)
        onCell(1, row, formats.rate(noteRate(RowLoan(user, loanIncrement, row))));
    for (int col = 2; col < AprTableCols; ++col)
        for (int row = 1; row < AprTableRows; ++row) {
            const double financed =
                RowLoan(user, loanIncrement, row) - ColumnFees(user, feeIncrement, col);
            onCell(col, row, formats.rate(apr(financed)));
        }
}

} // namespace calc
