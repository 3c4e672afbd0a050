// The loan's disclosure figures: the payment schedule with interest rounded to cents each
// month, the totals printed beside the APR, the APR of a stream of changing monthly payments
// (actuarial method) and the tolerance check of a disclosed APR.
//
// Money in the schedule and the figures is held in whole cents (std::int64_t) so that every
// total is exact; rates are annual percent (8.75 means 8.75 % a year). Payment numbers and
// years count from 1.
//
// Errors: an input outside its range throws ERangeError naming the value and its range; the
// solver's own faults are the math errors of LoanMath.h. No NaN or infinity is ever returned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace calc {

using Cents = std::int64_t;

// `count` consecutive monthly payments of `payment` (currency units).
struct PaymentStream {
    int count = 0;
    double payment = 0;
};

// The largest amount (in size) and number of payments the figures accept.
constexpr double MaxDisclosureAmount = 1e12;
// The largest payment of a stream: a schedule's adjusted last payment (balance and a month's
// interest) may exceed the largest loan.
constexpr double MaxStreamPayment = 1e16;
constexpr int MaxDisclosurePayments = 12000;
// MaxDisclosureAmount as the range messages write it.
inline const std::string MaxDisclosureAmountText = "1000000000000";

// Throws ERangeError "The <what> must be <range>, not <value>", the value in its general text
// of 15 significant digits ("NAN", "INF").
[[noreturn]] void OutOfRange(const std::string& what, const std::string& range, double value);

// APR in annual percent at which the streams, paid one after the other at the end of each
// month, are worth `amountFinanced`: the unique rate i with
//   amountFinanced = sum over the payments k = 1, 2, ... of payment_k / (1 + i/1200)^k,
// solved exactly by a bracketed Newton iteration. A non-positive amount financed gives 0, as
// CalcSimpleAPR does; one stream is CalcSimpleAPR's rate within rounding, and exactly
// (payment / amountFinanced - 1) x 1200 for a single payment. ERangeError for no streams, a
// count below 1, more than MaxDisclosurePayments payments in all, a payment that is negative,
// not finite or MaxStreamPayment or more, no positive payment, or an amount financed that
// is not finite or MaxDisclosureAmount or more in size.
double CalcStreamAPR(double amountFinanced, const std::vector<PaymentStream>& streams);

// True when the payment amount changes between streams, other than in a first or last stream
// of a single payment (an irregular first or final payment, such as the adjusted last payment,
// keeps a transaction regular).
bool IsIrregular(const std::vector<PaymentStream>& streams);

// Whether a disclosed APR is accurate: within 1/8 of a percentage point of the computed APR
// for a regular transaction, 1/4 for an irregular one; a difference of exactly the tolerance is
// accurate.
struct AprToleranceCheck {
    bool accurate = false;
    double difference = 0; // disclosed - computed, percentage points
    double tolerance = 0;  // 0.125 or 0.25
};
AprToleranceCheck CheckAprTolerance(double disclosedPercent, double computedPercent,
                                    bool irregular);

// The loan as the window holds it.
struct DisclosureInputs {
    double loan = 0;     // loan amount; rounded to cents
    int n = 0;           // number of monthly payments, 1 to MaxDisclosurePayments
    double noteRate = 0; // annual percent, 0 to below 100000
    double prepaid = 0;  // prepaid finance charges (the fixed fees); from 0, below the loan
    double payment = 0;  // the unrounded monthly payment (CalcPayment's); rounded to cents
    double miAmount = 0; // monthly mortgage insurance, from 0
    int miMonths = 0;    // payments that carry it, 0 to n
};

struct ScheduleRow {
    int number = 0;      // 1 to n
    Cents payment = 0;   // principal and interest
    Cents interest = 0;  // balance before x note rate (3 decimals) / 1200, to cents, halves up
    Cents principal = 0; // payment - interest
    Cents balance = 0;   // after the payment; 0 after the last
    Cents mi = 0;        // mortgage insurance paid with it
    Cents extra = 0;     // extra principal paid with it (0 in the contract's schedule)
};

struct YearTotal {
    int year = 0;
    int firstPayment = 0, lastPayment = 0;
    Cents payment = 0, interest = 0, principal = 0, mi = 0, extra = 0;
    Cents balance = 0; // at the end of the year
};

struct Disclosure {
    std::vector<ScheduleRow> rows;
    std::vector<YearTotal> years;
    Cents loan = 0;
    Cents prepaid = 0;
    Cents regularPayment = 0; // the scheduled principal and interest
    Cents amountFinanced = 0; // loan - prepaid finance charges
    Cents totalInterest = 0;
    Cents totalMI = 0;
    Cents totalOfPayments = 0;          // every payment with its mortgage insurance
    Cents financeCharge = 0;            // total of payments - amount financed
    double tip = 0;                     // total interest percentage: total interest / loan x 100
    double apr = 0;                     // annual percent
    bool irregular = false;             // mortgage insurance changes the payment
    std::vector<PaymentStream> streams; // the payments the APR is solved for
};

// The schedule and figures. The interest of each month is the balance times the note rate
// rounded to three decimals (as the fields hold it) over 1200, worked out exactly in decimal
// and rounded to cents, halves up; the last payment is whatever brings the balance to 0.00 (a
// payment that would take the balance below zero earlier ends the schedule there). The APR is
// that of the payments as disclosed: each row's payment and insurance in cents, the adjusted
// last payment included, against the amount financed in cents. ERangeError also when the loan
// or the amount financed comes to less than a cent.
Disclosure ComputeDisclosure(const DisclosureInputs& inputs);

// The monthly schedule both the contract and a schedule with extra payments are paid by: from
// `loan` cents, each month's interest (the balance x `rateThousandths` / 1200000, halves up),
// the regular `payment` (the last of the n payments, or one that would take the balance below
// zero, clears it), then `extra[k]` more principal (none where `extra` is shorter), never
// beyond what is owed; `mi` for the first `miMonths` payments. Ends when the balance reaches
// zero. Appends the rows and the yearly subtotals.
void PaySchedule(Cents loan, std::int64_t rateThousandths, Cents payment, int n, Cents mi,
                 int miMonths, const std::vector<Cents>& extra, std::vector<ScheduleRow>& rows,
                 std::vector<YearTotal>& years);

// `value` rounded to whole cents, halves away from zero, from its decimal of 15 significant
// digits (a typed 1000.005 is 1000.01, as the money texts show it, not its binary 1000.00499...).
// ERangeError when it is not finite or MaxDisclosureAmount or more in size.
Cents ToCents(double value, const char* what = "amount");

// a x b / divisor rounded to a whole number, halves away from zero, worked out exactly (the
// product in 128 bits); divisor above 0.
std::int64_t MulDivRounded(std::int64_t a, std::int64_t b, std::int64_t divisor);

// `value` x 10^decimals as a whole number, rounded half away from zero from its decimal of 15
// significant digits (ToCents is ScaledDecimal(value, 2)). For finite values below 10^15 in
// size; EOverflow beyond.
std::int64_t ScaledDecimal(double value, int decimals);

// "1234.56", "-0.05": plain decimal text with two decimals.
std::string CentsText(Cents value);

} // namespace calc
