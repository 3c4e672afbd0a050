#include "calc/LoanMath.h"

#include "calc/Errors.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <tuple>

using namespace calc;

namespace {
const double defaultPayment = CalcPayment(360, 100000, 8.75 / 1200);
const double NaN = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

// The rate text of the table's cells, without its leading blank: "8.750%".
std::string Rate(double percent)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f%%", percent);
    return text;
}
} // namespace

TEST(CalcPayment, ReferenceValues)
{
    EXPECT_NEAR(defaultPayment, 786.7004056, 1e-7);
    EXPECT_DOUBLE_EQ(CalcPayment(360, 100000, 0), 100000.0 / 360);
    EXPECT_EQ(CalcPayment(0, 100000, 0.01), 0.0);
    EXPECT_NEAR(CalcPayment(180, 80000, 6.5 / 1200), 696.89, 0.005);
    EXPECT_NEAR(CalcPayment(12, 100000, 8.75 / 1200), 8733.5587, 1e-4);
}

TEST(CalcPayment, MathErrors)
{
    EXPECT_THROW(CalcPayment(360, 100000, -1.0), EInvalidOp);   // ln(0)
    EXPECT_THROW(CalcPayment(360, 100000, -1.5), EInvalidOp);   // ln of a negative number
    EXPECT_THROW(CalcPayment(360, 100000, 1e-20), EZeroDivide); // 1 + r rounds to 1
    EXPECT_THROW(CalcPayment(360, 0, 1e-20), EInvalidOp);       // 0 / 0
    EXPECT_THROW(CalcPayment(-100000, 100000, 0.5), EOverflow); // (1 + r)^n too large
    EXPECT_THROW(CalcPayment(360, NaN, 0.01), EInvalidOp);
    EXPECT_THROW(CalcPayment(360, 100000, NaN), EInvalidOp);
    EXPECT_THROW(CalcPayment(360, inf, 0.01), EOverflow);
    EXPECT_THROW(CalcPayment(360, 1e308, 1e10), EOverflow);
}

TEST(CalcPayment, UnderflowIsSilent)
{
    // (1 + r)^-n underflows to 0: the payment is simply principal * r.
    EXPECT_DOUBLE_EQ(CalcPayment(100000, 1000, 1.0), 1000.0);
}

TEST(CalcPVofOne, SumsTheAnnuityDue)
{
    for (int n : {2, 3, 12, 360})
        EXPECT_DOUBLE_EQ(CalcPVofOne(n, 0), n) << n;
    for (double x : {0.0, 0.01, 0.5, -0.5})
        for (int n : {-3, 0, 1, 2})
            EXPECT_DOUBLE_EQ(CalcPVofOne(n, x), 1 + 1 / (1 + x)) << n << " " << x;
    const double x = 0.01;
    double expected = 0;
    for (int k = 0; k < 360; ++k)
        expected += std::pow(1 + x, -k);
    EXPECT_NEAR(CalcPVofOne(360, x), expected, 1e-11);
}

TEST(CalcPVofOne, MathErrors)
{
    EXPECT_THROW(CalcPVofOne(12, -1.0), EInvalidOp);
    EXPECT_THROW(CalcPVofOne(12, -2.0), EInvalidOp);
    EXPECT_THROW(CalcPVofOne(12, NaN), EInvalidOp);
    EXPECT_THROW(CalcPVofOne(100000, -0.5), EOverflow); // 2^k grows past a double
    EXPECT_NO_THROW(CalcPVofOne(100000, 1.0));          // terms underflow silently
    // The overflow is reported at once, not after two billion more terms.
    EXPECT_THROW(CalcPVofOne(INT_MAX, -0.5), EOverflow);
}

TEST(CalcPVofOne, StoppingEarlyKeepsEveryBitOfTheTermByTermSum)
{
    // The plain loop, term by term to the end (a term that has underflowed adds nothing).
    auto fullSum = [](int n, double x) {
        const double lnA = std::log(1 + x);
        double s = 1 + 1 / (1 + x);
        for (int k = 2; k <= n - 1; ++k) {
            const double term = std::exp(-k * lnA);
            if (term == 0)
                break;
            s += term;
        }
        return s;
    };
    const struct {
        int n;
        double x;
    } cases[] = {{360, 8.75 / 1200}, {528, 1.361 / 1200},    {480, -9.72 / 1200}, {100000, 1e-3},
                 {5000, 0.5},        {INT_MAX, 12.5 / 1200}, {INT_MAX, 0.1}};
    for (const auto& c : cases) {
        const double expected = fullSum(c.n, c.x);
        const double actual = CalcPVofOne(c.n, c.x);
        EXPECT_EQ(std::memcmp(&expected, &actual, sizeof actual), 0)
            << c.n << " at " << c.x << ": " << expected << " against " << actual;
    }
}

TEST(CalcSimpleAPR, ReferenceValues)
{
    EXPECT_NEAR(CalcSimpleAPR(360, 100000, defaultPayment), 8.75, 5e-8);
    EXPECT_NEAR(CalcSimpleAPR(360, 99000, defaultPayment), 8.8610757, 5e-8);
    EXPECT_NEAR(CalcSimpleAPR(360, 95000, defaultPayment), 9.3248575, 5e-8);
    const double p15 = CalcPayment(180, 80000, 6.5 / 1200);
    EXPECT_EQ(Rate(CalcSimpleAPR(180, 77000, p15)), "7.111%");
    EXPECT_EQ(Rate(CalcSimpleAPR(180, 80000, p15)), "6.500%");
}

TEST(CalcSimpleAPR, GuardsAndProcessesMessages)
{
    int passes = 0;
    auto count = [&] { ++passes; };
    EXPECT_EQ(CalcSimpleAPR(360, 0, defaultPayment, count), 0.0);
    EXPECT_EQ(CalcSimpleAPR(360, -5000, defaultPayment, count), 0.0);
    EXPECT_EQ(CalcSimpleAPR(360, NaN, defaultPayment, count), 0.0);
    EXPECT_EQ(passes, 0);
    CalcSimpleAPR(360, 100000, defaultPayment, count);
    EXPECT_EQ(passes, 30);
}

TEST(CalcSimpleAPR, MathErrorsWhereNoRateExists)
{
    // A zero payment gives a zero slope.
    EXPECT_THROW(CalcSimpleAPR(360, 100000, 0), EMathError);
    EXPECT_THROW(CalcSimpleAPR(0, 100000, 0), EMathError);
    EXPECT_THROW(CalcSimpleAPR(360, 100000, NaN), EInvalidOp);
    EXPECT_THROW(CalcSimpleAPR(360, 100000, -786), EMathError);
    EXPECT_THROW(CalcSimpleAPR(360, inf, 786), EMathError);
    EXPECT_THROW(CalcSimpleAPR(360, 100000, inf), EMathError);
}

TEST(CalcSimpleAPR, SettledStepsKeepTheirExactResult)
{
    // The 30 Newton steps on their own: where they settle, their value is the result.
    auto thirtySteps = [](int n, double amount, double payment) {
        double g = 12.5;
        for (int i = 0; i < 30; ++i) {
            const double m1 = g / 1200, m2 = (g + 0.1) / 1200;
            const double pv1 = CalcPVofOne(n, m1) * payment / (1 + m1);
            const double pv2 = CalcPVofOne(n, m2) * payment / (1 + m2);
            g = g + 0.1 * ((amount - pv1) / (pv2 - pv1));
        }
        return g;
    };
    const double p15 = CalcPayment(180, 80000, 6.5 / 1200);
    for (const auto& [n, amount, payment] : {std::tuple{360, 100000.0, defaultPayment},
                                             {360, 90000.0, defaultPayment},
                                             {180, 77000.0, p15},
                                             {12, 95000.0, 8733.5587}})
        EXPECT_EQ(CalcSimpleAPR(n, amount, payment), thirtySteps(n, amount, payment))
            << n << " " << amount;
}

TEST(CalcSimpleAPR, FindsTheExactRateWhereTheStepsDoNotSettle)
{
    struct Case {
        const char* name;
        int n;
        double amount, payment;
        const char* apr; // to four decimals, where known
    };
    const double tablePayment = CalcPayment(528, 3712.74 * (1 - 0.6569), 1.361 / 1200);
    const Case cases[] = {
        // The total of the payments far below the amount financed: a negative APR that the
        // steps from 12.5 % overshoot to -1200 % or below.
        {"FarBelow", 480, 6000, 1, "-9.7205"},
        {"TableCell", 528, 3712.74 * (1 - 0.6569) + 4 * 2500 - 38.70, tablePayment, "-6.9207"},
        // A payment far above the amount financed: a huge APR far from the start.
        {"FarAbove", 12, 1000, 900, nullptr},
        {"OnePayment", 1, 100, 99, nullptr}};
    for (const Case& c : cases) {
        double apr = 0;
        ASSERT_NO_THROW(apr = CalcSimpleAPR(c.n, c.amount, c.payment)) << c.name;
        if (c.apr) {
            char text[32];
            std::snprintf(text, sizeof text, "%.4f", apr);
            EXPECT_STREQ(text, c.apr) << c.name;
        }
        // The rate satisfies the annuity equation, evaluated with extra precision (two
        // payments for n below 2, as the present-value factor counts them).
        const long double v = 1 / (1 + static_cast<long double>(apr) / 1200);
        long double pv = 0, vk = 1;
        for (int k = 1; k <= std::max(c.n, 2); ++k)
            pv += vk *= v;
        EXPECT_NEAR(static_cast<double>(pv * c.payment / c.amount), 1.0, 1e-12) << c.name;
    }
}

// The APR of exactly n payments, one payment included (the table's solver counts two there).
TEST(CalcExactAPR, SatisfiesTheAnnuityEquationForEveryCount)
{
    EXPECT_EQ(Rate(CalcExactAPR(1, 1000, 1010)), "12.000%");
    EXPECT_EQ(Rate(CalcExactAPR(1, 1000, 990)), "-12.000%");
    EXPECT_EQ(CalcExactAPR(360, 99000, defaultPayment), CalcSimpleAPR(360, 99000, defaultPayment));
    const struct {
        int n;
        double amount, payment;
    } cases[] = {{1, 1000, 1010},  {1, 250000, 1e6},  {2, 1000, 510},
                 {3, 5000, 1700},  {12, 95000, 8733}, {360, 99000, defaultPayment},
                 {12000, 1e5, 800}};
    for (const auto& c : cases) {
        const double apr = CalcExactAPR(c.n, c.amount, c.payment);
        const long double v = 1 / (1 + static_cast<long double>(apr) / 1200);
        long double pv = 0, vk = 1;
        for (int k = 1; k <= c.n; ++k)
            pv += vk *= v;
        EXPECT_NEAR(static_cast<double>(pv * c.payment / c.amount), 1.0, 1e-12) << c.n;
    }
    EXPECT_EQ(CalcExactAPR(1, 0, 1010), 0.0);
    EXPECT_THROW(CalcExactAPR(1, 1000, 0), EInvalidOp);
}

TEST(CalcIR, ExactRateForEveryRealLoan)
{
    EXPECT_NEAR(CalcIR(360, 100000, defaultPayment), 8.75, 1e-9);
    EXPECT_NEAR(CalcIR(12, 100000, CalcPayment(12, 100000, 8.75 / 1200)), 8.75, 1e-9);
    EXPECT_EQ(Rate(CalcIR(360, 102000, defaultPayment)), "8.533%");
    for (int n : {1, 2, 12, 60, 180, 360, 480})
        for (double rate : {-5.0, 0.5, 3.0, 8.75, 18.0, 250.0})
            EXPECT_NEAR(CalcIR(n, 123456, CalcPayment(n, 123456, rate / 1200)), rate, 1e-9)
                << n << " months at " << rate;
    // A payment that repays exactly the principal: a rate of 0.
    EXPECT_NEAR(CalcIR(360, 36000, 100), 0.0, 1e-9);
    // With no fees the note rate equals the APR in every row of the default table.
    for (int k = -5; k <= 5; ++k)
        EXPECT_EQ(Rate(CalcIR(360, 100000 + 1000.0 * k, defaultPayment)),
                  Rate(CalcSimpleAPR(360, 100000 + 1000.0 * k, defaultPayment)));
}

TEST(CalcIR, DegenerateLoansKeepTheIteration)
{
    EXPECT_EQ(CalcIR(360, 0, defaultPayment), 0.0);
    EXPECT_EQ(CalcIR(0, 100000, defaultPayment), 0.0);
    EXPECT_EQ(CalcIR(360, 100000, 0), 0.0);
    // A negative loan amount: the iteration alternates and stops at its update limit.
    const double payment = CalcPayment(360, 30000, 8.75 / 1200);
    EXPECT_EQ(Rate(CalcIR(360, -7500, payment)), "-37.762%");
}

TEST(CalcIR, MathErrors)
{
    // The first update falls below -100 % a month.
    EXPECT_THROW(CalcIR(360, -100, 294), EInvalidOp);
    // Slightly larger in size than the payment: the next power overflows.
    EXPECT_THROW(CalcIR(360, -300, 294), EOverflow);
    EXPECT_THROW(CalcIR(360, NaN, 294), EInvalidOp);
    EXPECT_THROW(CalcIR(360, 100000, NaN), EInvalidOp);
}
