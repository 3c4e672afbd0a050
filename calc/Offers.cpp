#include "calc/Offers.h"

#include "calc/Errors.h"
#include "calc/LoanMath.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace calc {

namespace {

void CheckAmount(double value, const std::string& what)
{
    if (!(value >= 0 && value < MaxDisclosureAmount))
        OutOfRange(what, "from 0 to less than " + MaxDisclosureAmountText, value);
}

// The running cost of an offer, month by month (CostAtMonth's sums carried along).
class CostWalk {
public:
    explicit CostWalk(const OfferFigures& f) : m_f(f) {}
    // The cost after the next month.
    Cents Next()
    {
        const ScheduleRow& row = m_f.disclosure.rows[m_month++];
        m_paid += row.payment + row.mi;
        return m_f.upFront + m_paid + row.balance - m_f.disclosure.loan;
    }

private:
    const OfferFigures& m_f;
    Cents m_paid = 0;
    std::size_t m_month = 0;
};

} // namespace

DisclosureInputs OfferDisclosureInputs(const Offer& offer)
{
    if (!(offer.loan > 0 && offer.loan < MaxDisclosureAmount))
        OutOfRange("loan amount", "more than 0 and less than " + MaxDisclosureAmountText,
                   offer.loan);
    if (!(offer.term >= 1 && offer.term <= MaxOfferTermYears &&
          offer.term == std::floor(offer.term)))
        OutOfRange("term", "a whole number of years from 1 to " + std::to_string(MaxOfferTermYears),
                   offer.term);
    if (!(offer.rate >= 0 && offer.rate < 1e5))
        OutOfRange("note rate", "from 0 to less than 100000", offer.rate);
    if (!(offer.points >= 0 && offer.points < 100))
        OutOfRange("points", "from 0 to less than 100", offer.points);
    CheckAmount(offer.fees, "fees");
    CheckAmount(offer.costs, "other loan costs");
    CheckAmount(offer.mi, "mortgage insurance");
    const int n = static_cast<int>(offer.term) * 12;
    if (!(offer.miMonths >= 0 && offer.miMonths <= n))
        OutOfRange("number of mortgage insurance months", "from 0 to " + std::to_string(n),
                   offer.miMonths);

    const Cents loan = ToCents(offer.loan, "loan amount");
    if (loan < 1)
        OutOfRange("loan amount", "at least 0.01", offer.loan);
    const Cents prepaid = OfferPointsAmount(loan, offer.points) + ToCents(offer.fees, "fees");
    if (prepaid >= loan)
        OutOfRange("points and fees together", "less than the loan amount",
                   static_cast<double>(prepaid) / 100);

    DisclosureInputs in;
    in.loan = static_cast<double>(loan) / 100;
    in.n = n;
    in.noteRate = offer.rate;
    in.prepaid = static_cast<double>(prepaid) / 100;
    in.payment = CalcPayment(n, in.loan, offer.rate / 1200);
    in.miAmount = offer.mi;
    in.miMonths = offer.miMonths;
    return in;
}

Cents OfferPointsAmount(Cents loan, double points)
{
    // Points count with three decimals, as the field holds them: 1.125 points of $300,000.01
    // is exactly 30000001 x 1125 / 100000 cents, rounded half up.
    return MulDivRounded(loan, ScaledDecimal(points, 3), 100000);
}

OfferFigures ComputeOffer(const Offer& offer)
{
    OfferFigures f;
    f.inputs = OfferDisclosureInputs(offer);
    f.disclosure = ComputeDisclosure(f.inputs);
    f.pointsAmount = OfferPointsAmount(f.disclosure.loan, offer.points);
    f.prepaid = f.disclosure.prepaid;
    f.upFront = f.prepaid + ToCents(offer.costs, "other loan costs");

    const auto& rows = f.disclosure.rows;
    f.fiveYearMonths = std::min<int>(InFiveYearsMonths, static_cast<int>(rows.size()));
    f.fiveYearTotal = f.upFront;
    for (int k = 0; k < f.fiveYearMonths; ++k) {
        f.fiveYearTotal += rows[k].payment + rows[k].mi;
        f.fiveYearPrincipal += rows[k].principal;
    }
    return f;
}

Cents CostAtMonth(const OfferFigures& figures, int month)
{
    const auto& rows = figures.disclosure.rows;
    if (!(month >= 0 && month <= static_cast<int>(rows.size())))
        OutOfRange("month", "from 0 to " + std::to_string(rows.size()), month);
    Cents paid = 0;
    for (int k = 0; k < month; ++k)
        paid += rows[k].payment + rows[k].mi;
    const Cents balance = month == 0 ? figures.disclosure.loan : rows[month - 1].balance;
    return figures.upFront + paid + balance - figures.disclosure.loan;
}

BreakEven ComputeBreakEven(const OfferFigures& a, const OfferFigures& b)
{
    const int months =
        static_cast<int>(std::min(a.disclosure.rows.size(), b.disclosure.rows.size()));
    std::vector<Cents> costA(months + 1), costB(months + 1);
    CostWalk walkA(a), walkB(b);
    costA[0] = a.upFront;
    costB[0] = b.upFront;
    for (int m = 1; m <= months; ++m) {
        costA[m] = walkA.Next();
        costB[m] = walkB.Next();
    }

    BreakEven result;
    if (a.upFront == b.upFront) {
        result.kind = BreakEven::Kind::Sooner;
        result.cheaper = costB[months] < costA[months] ? 1 : 0;
        return result;
    }
    result.higher = a.upFront > b.upFront ? 0 : 1;
    const std::vector<Cents>& higher = result.higher == 0 ? costA : costB;
    const std::vector<Cents>& lower = result.higher == 0 ? costB : costA;
    // From the end of the shorter term back: the first month of the run of months, reaching
    // the end, in which the offer with more up front costs strictly less.
    int first = months + 1;
    while (first > 1 && higher[first - 1] < lower[first - 1])
        --first;
    if (first > months) {
        result.kind = BreakEven::Kind::Never;
    } else {
        result.kind = BreakEven::Kind::Month;
        result.month = first;
    }
    return result;
}

namespace {

template <typename Less> int Lowest(const std::vector<OfferFigures>& offers, Less less)
{
    if (offers.empty())
        return -1;
    int best = 0;
    for (int i = 1; i < static_cast<int>(offers.size()); ++i)
        if (less(offers[i], offers[best]))
            best = i;
    // A lowest value another offer shares marks no offer: calling the first of equals best
    // would tell the user of a difference that is not there.
    for (int i = 0; i < static_cast<int>(offers.size()); ++i)
        if (i != best && !less(offers[best], offers[i]))
            return -1;
    return best;
}

} // namespace

int LowestApr(const std::vector<OfferFigures>& offers)
{
    // The APRs compare as shown, to three decimals: a solver's last-digit difference between
    // two offers with the same rate and costs must not pick a winner.
    return Lowest(offers, [](const OfferFigures& x, const OfferFigures& y) {
        return ScaledDecimal(x.disclosure.apr, 3) < ScaledDecimal(y.disclosure.apr, 3);
    });
}

int LowestFiveYearTotal(const std::vector<OfferFigures>& offers)
{
    return Lowest(offers, [](const OfferFigures& x, const OfferFigures& y) {
        return x.fiveYearTotal < y.fiveYearTotal;
    });
}

int LowestTip(const std::vector<OfferFigures>& offers)
{
    // Compared exactly: interest_x / loan_x < interest_y / loan_y in whole cents.
    return Lowest(offers, [](const OfferFigures& x, const OfferFigures& y) {
        using Wide = __int128;
        return Wide(x.disclosure.totalInterest) * y.disclosure.loan <
               Wide(y.disclosure.totalInterest) * x.disclosure.loan;
    });
}

bool ExtraPayments::Any() const
{
    return monthly > 0 || !lumps.empty();
}

PrepaidSchedule ApplyExtraPayments(const Disclosure& contract, const DisclosureInputs& inputs,
                                   const ExtraPayments& extra)
{
    const int n = static_cast<int>(contract.rows.size());
    const std::string months = "from 1 to " + std::to_string(n);
    if (!(extra.monthly >= 0 && extra.monthly < MaxDisclosureAmount))
        OutOfRange("extra monthly payment", "from 0 to less than " + MaxDisclosureAmountText,
                   extra.monthly);
    if (!(extra.fromMonth >= 1 && extra.fromMonth <= n))
        OutOfRange("first month of the extra payment", months, extra.fromMonth);
    std::vector<Cents> extras(static_cast<std::size_t>(n) + 1, 0);
    for (const LumpSum& lump : extra.lumps) {
        if (!(lump.month >= 1 && lump.month <= n))
            OutOfRange("month of a lump payment", months, lump.month);
        const std::string what = "lump payment of month " + std::to_string(lump.month);
        if (!(lump.amount > 0 && lump.amount < MaxDisclosureAmount))
            OutOfRange(what, "more than 0 and less than " + MaxDisclosureAmountText, lump.amount);
        extras[static_cast<std::size_t>(lump.month)] += ToCents(lump.amount, what.c_str());
    }
    const Cents monthly = ToCents(extra.monthly, "extra monthly payment");
    for (int k = extra.fromMonth; k <= n; ++k)
        extras[static_cast<std::size_t>(k)] += monthly;

    PrepaidSchedule s;
    PaySchedule(contract.loan, ScaledDecimal(inputs.noteRate, 3), contract.regularPayment, n,
                ToCents(inputs.miAmount, "mortgage insurance"), inputs.miMonths, extras, s.rows,
                s.years);
    for (const ScheduleRow& row : s.rows) {
        s.totalInterest += row.interest;
        s.totalExtra += row.extra;
        s.totalMI += row.mi;
        s.totalPaid += row.payment + row.extra + row.mi;
    }
    s.payoffMonth = s.rows.empty() ? 0 : s.rows.back().number;
    s.paymentsSaved = n - s.payoffMonth;
    s.interestSaved = contract.totalInterest - s.totalInterest;
    return s;
}

} // namespace calc
