#include "loan/ChartValues.h"

#include "controls/NumberFormats.h"
#include "loan/TableTexts.h"
#include "platform/Regional.h"

namespace {
// The value a rate field of `decimals` places holds for `value`: the field keeps its text, so
// the chart prints the rounded figure (an APR of 6.7403 as 6.74%).
double FieldValue(double value, int decimals)
{
    return NumberFormats::TextToFloat(TableTexts::Fixed(value, decimals), Regional::Current()) +
           0.0; // no "-0" for a rate that rounds to zero
}
} // namespace

TAPRChartValues LoanChartValues(const calc::LoanModel& model)
{
    const calc::LoanInputs& in = model.Inputs();
    const calc::UserLoan& user = model.User();
    TAPRChartValues v;
    v.PurchasePrice = in.price;
    v.DownPaymentPercent = FieldValue(in.downPercent, 3);
    v.DownPayment = user.downPayment;
    v.Loan = user.loan;
    v.Term = FieldValue(in.term, 0);
    v.Interest = FieldValue(in.rate, 3);
    v.Payment = user.payment;
    v.FixedFees = user.fees;
    v.APR = FieldValue(model.Apr(), 3);
    return v;
}
