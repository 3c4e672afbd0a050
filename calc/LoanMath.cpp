#include "calc/LoanMath.h"

#include "calc/Errors.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace calc {

namespace {

// Clears the upper halves of the vector registers. Code elsewhere in the process (libraries
// that the window system loads) can leave them in use; plain double arithmetic then runs tens
// of times slower on processors with wide vector units, so the summation loop starts clean.
#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx"))) void ZeroUpper()
{
    __builtin_ia32_vzeroupper();
}

void ClearUpperVectorState()
{
    static const bool avx = __builtin_cpu_supports("avx"); // the instruction needs it
    if (avx)
        ZeroUpper();
}
#else
void ClearUpperVectorState() {}
#endif

// A value that leaves a formula must be a finite number.
double checked(double x)
{
    if (std::isnan(x))
        throw EInvalidOp();
    if (std::isinf(x))
        throw EOverflow();
    return x;
}

// ln(x), with the logarithm of zero or of a negative number an invalid operation.
double checkedLog(double x)
{
    if (std::isnan(x) || x <= 0.0)
        throw EInvalidOp();
    return std::log(x);
}

// e^x; overflow is an error, underflow gives 0 silently.
double checkedExp(double x)
{
    return checked(std::exp(checked(x)));
}

double checkedDivide(double numerator, double denominator)
{
    if (denominator == 0.0) {
        if (numerator == 0.0 || std::isnan(numerator))
            throw EInvalidOp();
        throw EZeroDivide();
    }
    return checked(numerator / denominator);
}

// Present value of n end-of-month payments of 1 at monthly rate r (> -1), accurate near r = 0.
double annuityFactor(int n, double r)
{
    if (r == 0.0)
        return n;
    return -std::expm1(-n * std::log1p(r)) / r;
}

// d(annuityFactor)/dr.
double annuityFactorSlope(int n, double r)
{
    if (std::fabs(r) < 1e-9)
        return -0.5 * n * (n + 1.0);
    const double v = std::exp(-n * std::log1p(r)); // (1 + r)^-n
    return (n * v / (1.0 + r) * r + std::expm1(-n * std::log1p(r))) / (r * r);
}

// The unique monthly rate r > -1 with payment * annuityFactor(n, r) = principal, for n >= 1 and
// a positive, finite principal and payment. Newton's method kept inside a bracket that always holds
// the root, falling back to bisection whenever a Newton step would leave it or stalls.
double solveAnnuityRate(int n, double principal, double payment, double start)
{
    auto f = [&](double r) { return payment * annuityFactor(n, r) - principal; };
    // The factor falls strictly from +inf (r -> -1) to 0 (r -> inf), and is below 1/r for r > 0.
    double hi = payment / principal;
    double lo = 0.0;
    if (f(0.0) < 0.0) {
        hi = 0.0;
        lo = -0.5;
        while (f(lo) < 0.0)
            lo = -1.0 + (1.0 + lo) / 16.0; // approaches -1; f -> inf there, so this ends
    }
    double r = (start > lo && start < hi) ? start : 0.5 * (lo + hi);
    for (int i = 0; i < 400; ++i) {
        const double fr = f(r);
        if (fr == 0.0)
            return r;
        if (fr > 0.0)
            lo = r;
        else
            hi = r;
        const double slope = payment * annuityFactorSlope(n, r);
        double next = slope != 0.0 ? r - fr / slope : lo;
        if (!(next > lo && next < hi) || std::isnan(next))
            next = 0.5 * (lo + hi);
        if (next == r || hi - lo <= 4e-16 * std::fabs(r) + 1e-300)
            return next;
        r = next;
    }
    return r;
}

} // namespace

double CalcPayment(int n, double principal, double monthlyRate)
{
    if (n == 0)
        return 0.0;
    if (monthlyRate == 0.0)
        return checkedDivide(principal, n);
    const double t = checkedExp(-n * checkedLog(1.0 + monthlyRate));
    return checkedDivide(principal * monthlyRate, 1.0 - t);
}

double CalcPVofOne(int n, double rate)
{
    const double a = checked(1.0 + rate);
    const double lnA = checkedLog(a);
    double s = checked(1.0 + checkedDivide(1.0, a));
    if (a == 1.0)
        return n >= 2 ? n : s; // every term is 1
    ClearUpperVectorState();
    // 1 / a^k is taken as e^(-k ln a): one exponential a term.
    for (int k = 2; k <= n - 1; ++k) {
        const double next = s + std::exp(-k * lnA);
        // a > 1: the terms fall, so once one leaves the sum unchanged every later one does.
        if (next == s)
            break;
        // a < 1: the terms grow, so a sum that has overflowed stays infinite.
        if (std::isinf(next))
            throw EOverflow();
        s = next;
    }
    return checked(s);
}

double CalcSimpleAPR(int n, double amountFinanced, double payment,
                     const ProcessMessagesFn& processMessages, const PVofOneFn& pvOfOne)
{
    if (!(amountFinanced > 0.0))
        return 0.0;
    auto pv = [&](double g) {
        const double m = g / 1200.0;
        const double factor = pvOfOne ? pvOfOne(n, m) : CalcPVofOne(n, m);
        return checked(factor * payment / (1.0 + m));
    };
    double g = 12.5;
    double step = 0.0;
    std::exception_ptr failure;
    for (int i = 0; i < 30; ++i) {
        try {
            const double pv1 = pv(g);
            const double pv2 = pv(g + 0.1);
            step = checked(0.1 * checkedDivide(amountFinanced - pv1, pv2 - pv1));
            g = checked(g + step);
        } catch (const EMathError&) {
            failure = std::current_exception();
            break;
        }
        if (processMessages)
            processMessages();
    }
    if (!failure && std::fabs(step) <= 1e-9 * std::fmax(1.0, std::fabs(g)))
        return g;
    // The steps have not settled (a start far from the root, or a guess that fell to -1200 %
    // or below). The present value falls strictly with the rate, so a root exists exactly when
    // the payment is positive and both amounts are finite; for n <= 2 the factor counts two
    // payments, as CalcPVofOne does.
    if (!(payment > 0.0 && std::isfinite(payment) && std::isfinite(amountFinanced))) {
        if (failure)
            std::rethrow_exception(failure);
        throw EInvalidOp();
    }
    const double start = !failure && g > -1200.0 ? g / 1200.0 : 0.0;
    return checked(solveAnnuityRate(std::max(n, 2), amountFinanced, payment, start) * 1200.0);
}

double CalcExactAPR(int n, double amountFinanced, double payment)
{
    if (n != 1)
        return CalcSimpleAPR(n, amountFinanced, payment);
    if (!(amountFinanced > 0.0))
        return 0.0;
    // No rate makes a payment that is not positive worth a positive amount.
    if (!(payment > 0.0 && std::isfinite(payment) && std::isfinite(amountFinanced)))
        throw EInvalidOp();
    return checked((checkedDivide(payment, amountFinanced) - 1.0) * 1200.0);
}

double CalcIR(int n, double principal, double payment)
{
    if (n == 0 || principal == 0.0)
        return 0.0;
    double r = 10.0 / 12.0;
    double d = 1.0;
    double u = r;
    for (int i = 1; d > 0.000001 && i < 100; ++i) {
        u = checked((1.0 - checkedExp(-n * checkedLog(1.0 + r))) * payment / principal);
        d = std::fabs(u - r);
        r = u;
    }
    // The fixed-point iteration contracts slowly for short terms and may settle on the trivial
    // root 0; for a real loan the exact rate exists and is unique, so finish with a solver.
    if (n >= 1 && principal > 0.0 && payment > 0.0 && std::isfinite(principal) &&
        std::isfinite(payment))
        u = solveAnnuityRate(n, principal, payment, u);
    return checked(u * 1200.0);
}

} // namespace calc
