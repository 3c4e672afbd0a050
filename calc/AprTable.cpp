#include "calc/AprTable.h"

#include "calc/Disclosure.h"
#include "calc/Errors.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

namespace calc {

double IncrementOfItem(int index)
{
    static const double increments[] = {100, 250, 500, 1000, 2000, 2500, 3000, 4000, 5000, 7500};
    return index >= 0 && index < 10 ? increments[index] : 0.0;
}

namespace {
// The general text of v with 15 significant digits: "360", "1.2E20", "1E-7", "INF", "NAN".
std::string GeneralText15(double v, char decimalSeparator)
{
    if (std::isnan(v))
        return "NAN";
    if (std::isinf(v))
        return v < 0 ? "-INF" : "INF";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15G", v);
    std::string text = buffer;
    // "1.5E-07" -> "1.5E-7", "1E+20" -> "1E20".
    if (const auto e = text.find('E'); e != std::string::npos) {
        std::string exponent = text.substr(e + 1);
        const bool negative = exponent[0] == '-';
        exponent.erase(0, exponent.find_first_not_of("+-0"));
        text = text.substr(0, e) + "E" + (negative ? "-" : "") + exponent;
    }
    if (const auto dot = text.find('.'); dot != std::string::npos)
        text[dot] = decimalSeparator;
    return text;
}
} // namespace

int PaymentCount(double termYears, char decimalSeparator)
{
    const std::string text = GeneralText15(12.0 * termYears, decimalSeparator);
    const std::size_t digits = text[0] == '-' ? 1 : 0;
    const bool integer = text.size() > digits && text.size() - digits <= 10 &&
                         text.find_first_not_of("0123456789", digits) == std::string::npos;
    if (integer) {
        const long long value = std::stoll(text);
        if (value >= INT_MIN && value <= INT_MAX)
            return static_cast<int>(value);
    }
    throw EConvertError::invalidInteger(text);
}

UserLoan ComputeUserLoan(double price, double downPercent, double termYears, double noteRate,
                         double fees, const LoanFormulas& formulas, char decimalSeparator)
{
    UserLoan u;
    u.n = PaymentCount(termYears, decimalSeparator);
    u.downPayment = downPercent / 100.0 * price;
    u.loan = price - u.downPayment;
    // Money in whole cents wherever it fits: the down payment is the price's cents times the
    // percent as its field holds it (three decimals), exactly, rounded half up; the loan is
    // what is left of the price, so that the two add up to the price to the cent.
    if (std::isfinite(price) && std::fabs(price) < MaxDisclosureAmount &&
        std::isfinite(downPercent) && std::fabs(downPercent) < 1e5) {
        const Cents priceCents = ToCents(price);
        const Cents downCents = MulDivRounded(priceCents, ScaledDecimal(downPercent, 3), 100000);
        u.downPayment = static_cast<double>(downCents) / 100.0;
        u.loan = static_cast<double>(priceCents - downCents) / 100.0;
    }
    const double monthlyRate = noteRate / 1200.0;
    u.payment = formulas.payment ? formulas.payment(u.n, u.loan, monthlyRate)
                                 : CalcPayment(u.n, u.loan, monthlyRate);
    u.fees = std::isfinite(fees) && std::fabs(fees) < MaxDisclosureAmount
                 ? static_cast<double>(ToCents(fees)) / 100.0
                 : fees;
    return u;
}

void BuildAprTable(const UserLoan& user, double loanIncrement, double feeIncrement,
                   const AprTableFormats& formats, const AprCellFn& onCell,
                   const ProcessMessagesFn& processMessages, const LoanFormulas& formulas)
{
    auto noteRate = [&](double principal) {
        return formulas.noteRate ? formulas.noteRate(user.n, principal, user.payment)
                                 : CalcIR(user.n, principal, user.payment);
    };
    auto apr = [&](double financed) {
        return formulas.simpleAPR ? formulas.simpleAPR(user.n, financed, user.payment)
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
