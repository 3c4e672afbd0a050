// Comparing loan offers: each offer's figures from its own schedule in cents (payment, APR,
// Total Interest Percentage, the In 5 Years figures of a Loan Estimate's comparisons page) and
// the month from which an offer with more paid up front costs less than another.
//
// Money in the figures is in whole cents (calc::Cents); inputs are currency units, rates and
// points annual percent / percent of the loan.
#pragma once

#include "calc/Disclosure.h"

#include <optional>
#include <vector>

namespace calc {

// One offer as the user enters it.
struct Offer {
    double loan = 0;   // loan amount
    double term = 30;  // whole years
    double rate = 0;   // note rate, annual percent (three decimals count)
    double points = 0; // percent of the loan, paid up front (a prepaid finance charge)
    double fees = 0;   // other prepaid finance charges, currency units
    double costs = 0;  // other loan costs that are not finance charges (appraisal, title ...)
    double mi = 0;     // monthly mortgage insurance
    int miMonths = 0;  // payments that carry it
};

constexpr int MinOffers = 2;
constexpr int MaxOffers = 4;
constexpr int InFiveYearsMonths = 60;
// The longest term, as the command line's table accepts it (12000 payments, the schedule's
// most).
constexpr int MaxOfferTermYears = 1000;

struct OfferFigures {
    DisclosureInputs inputs; // the loan as ComputeDisclosure took it (for ApplyExtraPayments)
    Disclosure disclosure;   // schedule, payment, APR, TIP, amount financed, finance charge ...
    Cents pointsAmount = 0;  // the points in cents: loan x points / 100, halves up
    Cents prepaid = 0;       // points + fees: the prepaid finance charges
    Cents upFront = 0;       // points + fees + costs: everything paid at closing for the loan
    // In 5 Years: the first min(60, payments) payments with their insurance, plus upFront;
    // the principal paid off in those months.
    int fiveYearMonths = 0; // 60, or the whole (shorter) schedule
    Cents fiveYearTotal = 0;
    Cents fiveYearPrincipal = 0;
};

// The figures of one offer: its payment is CalcPayment's over term x 12 months, rounded to
// cents, the schedule and APR those of ComputeDisclosure with points + fees as the prepaid
// finance charges. ERangeError naming the input for an offer outside the ranges: a loan
// above 0 and below MaxDisclosureAmount, a whole term of 1 to MaxOfferTermYears years, a rate
// from 0 to below 100000, points from 0 to below 100, fees, costs and insurance from 0 to
// below MaxDisclosureAmount, insurance months 0 to the payments, points and fees together
// below the loan.
OfferFigures ComputeOffer(const Offer& offer);

// The disclosure inputs of an offer (validated as ComputeOffer does): the loan in whole
// cents, the payment CalcPayment's unrounded for that loan, points + fees as the prepaid
// finance charges.
DisclosureInputs OfferDisclosureInputs(const Offer& offer);

// The points in cents: `loan` cents x points (three decimals, as typed) / 100, exactly,
// halves up.
Cents OfferPointsAmount(Cents loan, double points);

// What an offer has cost by the end of month m (0 = at closing): upFront plus the payments
// and insurance of months 1..m plus the balance still owed after month m, less the loan.
// ERangeError for a month outside 0..payments.
Cents CostAtMonth(const OfferFigures& figures, int month);

// The break-even of a pair of offers.
struct BreakEven {
    enum class Kind {
        Month,  // `month`: from this month on the offer with more up front costs less
        Never,  // it never does (to the end of the shorter term)
        Sooner, // equal up-front costs: no break-even, `cheaper` costs less (or the same)
                // from the first month
    };
    Kind kind = Kind::Never;
    int higher = 0;  // index (0 or 1 of the pair) of the offer with the higher up-front cost
    int month = 0;   // Kind::Month: the first month from which it costs less through to the
                     // end of the shorter term
    int cheaper = 0; // Kind::Sooner: the offer that costs less at the end of the shorter term
};
BreakEven ComputeBreakEven(const OfferFigures& a, const OfferFigures& b);

// Index of the best offer on a cost row (the lowest value), for the APR (as shown, to three
// decimals), the 5-year total and the TIP (exactly); -1 for no offers, or when another offer
// shares the lowest value (a tie marks none).
int LowestApr(const std::vector<OfferFigures>& offers);
int LowestFiveYearTotal(const std::vector<OfferFigures>& offers);
int LowestTip(const std::vector<OfferFigures>& offers);

// Extra principal payments the borrower chooses to make: `monthly` each month from payment
// `fromMonth` on, and one-time `lumps` (month, amount). The contract's figures and APR stay
// those of ComputeDisclosure; only the schedule actually paid changes.
struct LumpSum {
    int month = 0;
    double amount = 0;
};
struct ExtraPayments {
    double monthly = 0;
    int fromMonth = 1;
    std::vector<LumpSum> lumps;
    bool Any() const;
};

// The schedule paid with extra payments: rows with their `extra` (each capped at what is
// still owed after the regular payment), ending when the balance reaches zero; the payoff
// month, the payments saved and the interest saved against the contract's schedule.
struct PrepaidSchedule {
    std::vector<ScheduleRow> rows;
    std::vector<YearTotal> years;
    int payoffMonth = 0;
    int paymentsSaved = 0;
    Cents totalInterest = 0;
    Cents interestSaved = 0;
    Cents totalExtra = 0;
    Cents totalMI = 0;
    Cents totalPaid = 0; // payments, extras and insurance
};
// Each month: the contract's interest rule and regular payment, then that month's extra
// (`monthly` from `fromMonth`, plus its lumps, which add up) capped at the balance;
// insurance for months up to inputs.miMonths while the loan runs. ERangeError for a
// negative or non-finite amount (a lump of 0 too), a month outside 1..payments.
PrepaidSchedule ApplyExtraPayments(const Disclosure& contract, const DisclosureInputs& inputs,
                                   const ExtraPayments& extra);

} // namespace calc
