#include "calc/LoanMath.h"

#include "calc/Errors.h"

#include <cmath>

namespace calc {

namespace {

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
// a positive principal and payment. Newton's method kept inside a bracket that always holds the
// root, falling back to bisection whenever a Newton step would leave it or stalls.
double solveNoteRate(int n, double principal, double payment, double start)
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
    // 1 / a^k is taken as e^(-k ln a): one exponential a term. Once a term underflows to 0
    // (a > 1) every later one does too, so the sum is final.
    for (int k = 2; k <= n - 1; ++k) {
        const double term = std::exp(-k * lnA);
        if (term == 0.0)
            break;
        s += term;
    }
    return checked(s);
}

double CalcSimpleAPR(int n, double amountFinanced, double payment,
                     const ProcessMessagesFn& processMessages)
{
    if (!(amountFinanced > 0.0))
        return 0.0;
    constexpr int referenceSteps = 30;
    constexpr int extraSteps = 200;
    double g = 12.5;
    double step = 0.0;
    auto newtonStep = [&] {
        const double m1 = g / 1200.0;
        const double pv1 = checked(CalcPVofOne(n, m1) * payment / (1.0 + m1));
        const double g2 = g + 0.1;
        const double m2 = g2 / 1200.0;
        const double pv2 = checked(CalcPVofOne(n, m2) * payment / (1.0 + m2));
        step = checked(0.1 * checkedDivide(amountFinanced - pv1, pv2 - pv1));
        g = checked(g + step);
    };
    for (int i = 0; i < referenceSteps; ++i) {
        newtonStep();
        if (processMessages)
            processMessages();
    }
    // The 30 steps are the reference; where they have not settled the solver goes on.
    auto settled = [&] { return std::fabs(step) <= 1e-9 * std::fmax(1.0, std::fabs(g)); };
    for (int i = 0; i < extraSteps && !settled(); ++i) {
        newtonStep();
        if (processMessages && i % 8 == 7)
            processMessages();
    }
    if (!settled())
        throw EInvalidOp("The APR calculation does not converge");
    return g;
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
        u = solveNoteRate(n, principal, payment, u);
    return checked(u * 1200.0);
}

} // namespace calc
