#include "calc/Disclosure.h"

#include "calc/Errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace calc {

namespace {

using Wide = __int128;

std::string NumberText(double v)
{
    if (std::isnan(v))
        return "NAN";
    if (std::isinf(v))
        return v < 0 ? "-INF" : "INF";
    char text[40];
    std::snprintf(text, sizeof text, "%.15G", v);
    return text;
}

// `value` x 10^decimals rounded to a whole number, halves away from zero, from the value's
// decimal of 15 significant digits (correctly rounded): the digits a double reliably holds, so
// a typed 1000.005 counts as 1000.005 (and 1000.01 in cents), as every money text shows it,
// and not as its binary neighbour 1000.00499.... For finite values below 10^15 in size.
Wide RoundReadable(double value, int decimals)
{
    if (value == 0.0)
        return 0;
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, std::fabs(value),
                                      std::chars_format::scientific, 14);
    *result.ptr = '\0';
    Wide digits = 0; // the 15 digits d.dddddddddddddd as a whole number
    const char* c = text;
    for (; c < result.ptr && *c != 'e'; ++c)
        if (*c >= '0' && *c <= '9')
            digits = digits * 10 + (*c - '0');
    const int exponent = std::atoi(c + 1);
    int shift = exponent - 14 + decimals; // value x 10^decimals = digits x 10^shift
    Wide scaled = digits;
    if (shift >= 0) {
        if (shift > 20)
            throw EOverflow();
        while (shift-- > 0)
            scaled *= 10;
    } else if (shift < -30) {
        scaled = 0;
    } else {
        Wide unit = 1;
        while (shift++ < 0)
            unit *= 10;
        scaled = (2 * digits + unit) / (2 * unit);
    }
    return value < 0 ? -scaled : scaled;
}

// Present value of n end-of-month payments of 1 at monthly rate r (> -1), accurate near 0.
double AnnuityFactor(int n, double r)
{
    if (r == 0.0)
        return n;
    return -std::expm1(-n * std::log1p(r)) / r;
}

// d(AnnuityFactor)/dr.
double AnnuityFactorSlope(int n, double r)
{
    if (std::fabs(r) < 1e-9)
        return -0.5 * n * (n + 1.0);
    const double v = std::exp(-n * std::log1p(r));
    return (n * v / (1.0 + r) * r + std::expm1(-n * std::log1p(r))) / (r * r);
}

// Present value of the streams at monthly rate r and its slope.
void StreamValue(const std::vector<PaymentStream>& streams, double r, double& value, double& slope)
{
    value = 0;
    slope = 0;
    const double lnGrowth = std::log1p(r);
    double before = 0; // payments before the stream
    for (const PaymentStream& s : streams) {
        if (s.payment == 0.0) {
            // Worth nothing at any rate; skipped so that a long deferral that overflows far
            // below 0 % never meets it as 0 x infinity.
            before += s.count;
            continue;
        }
        const double deferral = std::exp(-before * lnGrowth); // (1 + r)^-before
        const double a = AnnuityFactor(s.count, r);
        value += s.payment * deferral * a;
        slope += s.payment * deferral * (AnnuityFactorSlope(s.count, r) - before / (1.0 + r) * a);
        before += s.count;
    }
}

double Checked(double x)
{
    if (std::isnan(x))
        throw EInvalidOp();
    if (std::isinf(x))
        throw EOverflow();
    return x;
}

} // namespace

void OutOfRange(const std::string& what, const std::string& range, double value)
{
    throw ERangeError("The " + what + " must be " + range + ", not " + NumberText(value));
}

Cents ToCents(double value, const char* what)
{
    if (!(std::fabs(value) < MaxDisclosureAmount))
        OutOfRange(what, "less than " + MaxDisclosureAmountText + " in size", value);
    return static_cast<Cents>(RoundReadable(value, 2));
}

std::int64_t MulDivRounded(std::int64_t a, std::int64_t b, std::int64_t divisor)
{
    Wide product = Wide(a) * b;
    const bool negative = product < 0;
    if (negative)
        product = -product;
    const Wide q = (2 * product + divisor) / (2 * Wide(divisor));
    return static_cast<std::int64_t>(negative ? -q : q);
}

std::int64_t ScaledDecimal(double value, int decimals)
{
    if (!std::isfinite(value))
        throw EInvalidOp();
    return static_cast<std::int64_t>(RoundReadable(value, decimals));
}

std::string CentsText(Cents value)
{
    const unsigned long long size = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                              : static_cast<unsigned long long>(value);
    char text[40];
    std::snprintf(text, sizeof text, "%s%llu.%02llu", value < 0 ? "-" : "", size / 100, size % 100);
    return text;
}

double CalcStreamAPR(double amountFinanced, const std::vector<PaymentStream>& streams)
{
    if (streams.empty())
        throw ERangeError("The payment streams must hold at least one stream");
    long long total = 0;
    double largest = 0;
    for (const PaymentStream& s : streams) {
        if (s.count < 1)
            OutOfRange("number of payments of a stream", "at least 1", s.count);
        total += s.count;
        if (total > MaxDisclosurePayments)
            OutOfRange("number of payments", "at most " + std::to_string(MaxDisclosurePayments),
                       static_cast<double>(total));
        if (!(s.payment >= 0 && s.payment < MaxStreamPayment))
            OutOfRange("payment", "from 0 to less than 10000000000000000", s.payment);
        largest = std::fmax(largest, s.payment);
    }
    if (largest == 0)
        throw ERangeError("The payment streams must hold a payment above 0");
    if (!(std::fabs(amountFinanced) < MaxDisclosureAmount))
        OutOfRange("amount financed", "less than " + MaxDisclosureAmountText + " in size",
                   amountFinanced);
    if (!(amountFinanced > 0))
        return 0.0;
    if (total == 1)
        return Checked((streams.front().payment / amountFinanced - 1.0) * 1200.0);

    // The value falls strictly from +inf (r -> -1) to 0 (r -> inf) and stays below
    // largest / r for r > 0, so [lo, hi] below always holds the root.
    auto f = [&](double r) {
        double value = 0, slope = 0;
        StreamValue(streams, r, value, slope);
        return value - amountFinanced;
    };
    double lo = 0.0, hi = largest / amountFinanced;
    if (f(0.0) < 0.0) {
        hi = 0.0;
        lo = -0.5;
        while (f(lo) < 0.0)
            lo = -1.0 + (1.0 + lo) / 16.0;
    }
    // Newton's steps inside the bracket; where they shrink it slowly (far from the root, where
    // a long deferral makes the value steep, each step moves the rate by only about 1/count), a
    // halving step instead, so the bracket at least halves every other step.
    double r = 0.5 * (lo + hi);
    double widthBefore = hi - lo;
    for (int i = 0; i < 400; ++i) {
        double value = 0, slope = 0;
        StreamValue(streams, r, value, slope);
        const double fr = value - amountFinanced;
        if (fr == 0.0)
            break;
        if (fr > 0.0)
            lo = r;
        else
            hi = r;
        double next = slope != 0.0 ? r - fr / slope : lo;
        const bool slow = hi - lo > 0.5 * widthBefore;
        widthBefore = hi - lo;
        if (slow || !(next > lo && next < hi))
            next = 0.5 * (lo + hi);
        if (next == r || hi - lo <= 4e-16 * std::fabs(r) + 1e-300) {
            r = next;
            break;
        }
        r = next;
    }
    return Checked(r * 1200.0);
}

bool IsIrregular(const std::vector<PaymentStream>& streams)
{
    // An irregular first or final payment keeps a transaction regular: a first or last stream
    // of one payment is left out before the payments are compared.
    std::size_t first = 0, end = streams.size();
    if (end - first > 1 && streams[first].count == 1)
        ++first;
    if (end - first > 1 && streams[end - 1].count == 1)
        --end;
    for (std::size_t i = first + 1; i < end; ++i)
        if (streams[i].payment != streams[first].payment)
            return true;
    return false;
}

AprToleranceCheck CheckAprTolerance(double disclosedPercent, double computedPercent, bool irregular)
{
    if (!(std::fabs(disclosedPercent) < 1e5))
        OutOfRange("disclosed APR", "less than 100000 in size", disclosedPercent);
    AprToleranceCheck check;
    check.difference = Checked(disclosedPercent - computedPercent);
    check.tolerance = irregular ? 0.25 : 0.125;
    // A difference of exactly the tolerance is accurate: the solver's last-digit noise (a
    // billionth of a point is far below any disclosed decimal) does not decide it.
    check.accurate = std::fabs(check.difference) <= check.tolerance + 1e-9;
    return check;
}

void PaySchedule(Cents loan, std::int64_t rateThousandths, Cents payment, int n, Cents mi,
                 int miMonths, const std::vector<Cents>& extra, std::vector<ScheduleRow>& rows,
                 std::vector<YearTotal>& years)
{
    rows.reserve(static_cast<std::size_t>(n));
    Cents balance = loan;
    for (int k = 1; k <= n && balance > 0; ++k) {
        ScheduleRow row;
        row.number = k;
        row.interest = MulDivRounded(balance, rateThousandths, 1200000);
        row.payment = payment;
        if (k == n || balance + row.interest <= row.payment)
            row.payment = balance + row.interest; // the last payment clears the balance
        row.principal = row.payment - row.interest;
        balance -= row.principal;
        // Extra principal comes after the regular payment, never beyond what is owed.
        if (static_cast<std::size_t>(k) < extra.size())
            row.extra = std::min(extra[static_cast<std::size_t>(k)], balance);
        balance -= row.extra;
        row.balance = balance;
        row.mi = k <= miMonths ? mi : 0;
        rows.push_back(row);

        if (years.empty() || (k - 1) % 12 == 0) {
            YearTotal year;
            year.year = (k - 1) / 12 + 1;
            year.firstPayment = k;
            years.push_back(year);
        }
        YearTotal& year = years.back();
        year.lastPayment = k;
        year.payment += row.payment;
        year.interest += row.interest;
        year.principal += row.principal;
        year.mi += row.mi;
        year.extra += row.extra;
        year.balance = row.balance;
    }
}

Disclosure ComputeDisclosure(const DisclosureInputs& in)
{
    if (!(in.n >= 1 && in.n <= MaxDisclosurePayments))
        OutOfRange("number of payments", "from 1 to " + std::to_string(MaxDisclosurePayments),
                   in.n);
    if (!(in.loan > 0 && in.loan < MaxDisclosureAmount))
        OutOfRange("loan amount", "more than 0 and less than " + MaxDisclosureAmountText, in.loan);
    if (!(in.noteRate >= 0 && in.noteRate < 1e5))
        OutOfRange("note rate", "from 0 to less than 100000", in.noteRate);
    if (!(in.prepaid >= 0 && in.prepaid < in.loan))
        OutOfRange("prepaid finance charge", "from 0 to less than the loan amount", in.prepaid);
    if (!(in.payment > 0 && in.payment < MaxDisclosureAmount))
        OutOfRange("payment", "more than 0 and less than " + MaxDisclosureAmountText, in.payment);
    if (!(in.miAmount >= 0 && in.miAmount < MaxDisclosureAmount))
        OutOfRange("mortgage insurance", "from 0 to less than " + MaxDisclosureAmountText,
                   in.miAmount);
    if (!(in.miMonths >= 0 && in.miMonths <= in.n))
        OutOfRange("number of mortgage insurance months", "from 0 to " + std::to_string(in.n),
                   in.miMonths);

    Disclosure d;
    d.loan = ToCents(in.loan, "loan amount");
    d.prepaid = ToCents(in.prepaid, "prepaid finance charge");
    d.regularPayment = ToCents(in.payment, "payment");
    const Cents mi = ToCents(in.miAmount, "mortgage insurance");
    d.amountFinanced = d.loan - d.prepaid;
    if (d.loan < 1)
        OutOfRange("loan amount", "at least 0.01", in.loan);
    if (d.amountFinanced < 1)
        OutOfRange("amount financed (the loan amount less the prepaid finance charge)",
                   "at least 0.01", static_cast<double>(d.amountFinanced) / 100);
    // The monthly interest is the exact decimal product of the balance and the note rate as
    // the fields hold it (three decimals), rounded to cents with halves up: a rate of 4.8 is
    // 4800 thousandths, never its binary neighbour 4.79999....
    const std::int64_t rateThousandths = ScaledDecimal(in.noteRate, 3);

    PaySchedule(d.loan, rateThousandths, d.regularPayment, in.n, mi, in.miMonths, {}, d.rows,
                d.years);
    for (const ScheduleRow& row : d.rows) {
        d.totalInterest += row.interest;
        d.totalMI += row.mi;
        d.totalOfPayments += row.payment + row.mi;
    }
    d.financeCharge = d.totalOfPayments - d.amountFinanced;
    d.tip = static_cast<double>(d.totalInterest) / static_cast<double>(d.loan) * 100.0;

    // The APR of the payments as disclosed: each row's payment and insurance in cents, the
    // adjusted last payment included, against the amount financed in cents.
    for (const ScheduleRow& row : d.rows) {
        const double amount = static_cast<double>(row.payment + row.mi) / 100.0;
        if (!d.streams.empty() && d.streams.back().payment == amount)
            ++d.streams.back().count;
        else
            d.streams.push_back({1, amount});
    }
    d.irregular = IsIrregular(d.streams);
    d.apr = CalcStreamAPR(static_cast<double>(d.amountFinanced) / 100.0, d.streams);
    return d;
}

} // namespace calc
