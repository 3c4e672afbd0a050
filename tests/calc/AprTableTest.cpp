#include "calc/AprTable.h"

#include "calc/Errors.h"
#include "tests/support/DefaultTable.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace calc;

namespace {
// Plain stand-ins for the regional formats: "$95000" and "8.750".
const AprTableFormats formats{
    [](double v) { return "$" + std::to_string(static_cast<long long>(v)); },
    [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", v);
        return std::string(text);
    }};

struct Recorded {
    std::vector<std::pair<int, int>> order;
    std::map<std::pair<int, int>, std::string> cells;
    std::string At(int col, int row) const { return cells.at({col, row}); }
};

Recorded Build(const UserLoan& user, double loanInc, double feeInc)
{
    Recorded r;
    BuildAprTable(user, loanInc, feeInc, formats, [&](int col, int row, const std::string& text) {
        r.order.emplace_back(col, row);
        r.cells[{col, row}] = text;
    });
    return r;
}
} // namespace

TEST(AprTable, IncrementsComeFromTheItemIndex)
{
    const double expected[] = {100, 250, 500, 1000, 2000, 2500, 3000, 4000, 5000, 7500};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(IncrementOfItem(i), expected[i]);
    EXPECT_EQ(IncrementOfItem(-1), 0);
    EXPECT_EQ(IncrementOfItem(10), 0);
}

TEST(AprTable, UserLoanOfTheExamples)
{
    UserLoan u = ComputeUserLoan(100000, 0, 30, 8.75, 0);
    EXPECT_EQ(u.n, 360);
    EXPECT_EQ(u.loan, 100000);
    EXPECT_NEAR(u.payment, 786.7004056, 1e-7);
    u = ComputeUserLoan(100000, 20, 15, 6.5, 3000);
    EXPECT_EQ(u.downPayment, 20000);
    EXPECT_EQ(u.loan, 80000);
    EXPECT_NEAR(u.payment, 696.89, 0.005);
    EXPECT_EQ(ComputeUserLoan(100000, 0, 0, 8.75, 0).payment, 0);
}

// The down payment is the price's cents times the percent (three decimals), half up, and the
// loan the rest: the two add up to the price to the cent (worked out in decimal by hand).
TEST(AprTable, DownPaymentAndLoanAddUpToThePriceInCents)
{
    const struct {
        double price, percent, fees;
        double down, loan, feesInCents;
    } rows[] = {
        {100000.01, 50, 0, 50000.01, 50000.00, 0}, // 50000.005
        {250000, 12.345, 1000.005, 30862.50, 219137.50, 1000.01},
        {99999.99, 33.333, 0, 33333.00, 66666.99, 0},   // 33332.9966667
        {100000.004, 10, 0.004, 10000.00, 90000.00, 0}, // the price counts as 100000.00
    };
    for (const auto& r : rows) {
        const UserLoan u = ComputeUserLoan(r.price, r.percent, 30, 6, r.fees);
        EXPECT_EQ(u.downPayment, r.down) << r.price << " " << r.percent;
        EXPECT_EQ(u.loan, r.loan) << r.price << " " << r.percent;
        EXPECT_EQ(u.fees, r.feesInCents) << r.fees;
    }
}

TEST(AprTable, DefaultTableInItsOrder)
{
    const Recorded r = Build(ComputeUserLoan(100000, 0, 30, 8.75, 0), 1000, 1000);
    ASSERT_EQ(r.order.size(), 96u);
    EXPECT_EQ(r.order[0], std::make_pair(1, 0));
    EXPECT_EQ(r.order[7], std::make_pair(0, 0));
    EXPECT_EQ(r.order[8], std::make_pair(0, 1));
    EXPECT_EQ(r.order[19], std::make_pair(1, 1));
    EXPECT_EQ(r.order[30], std::make_pair(2, 1));
    EXPECT_EQ(r.order[95], std::make_pair(7, 11));
    EXPECT_EQ(r.At(1, 0), "  IR %  ");
    EXPECT_EQ(r.At(0, 0), "Loan / Fees");
    EXPECT_EQ(r.At(2, 0), "$0");
    EXPECT_EQ(r.At(7, 0), "$5000");
    EXPECT_EQ(r.At(0, 1), "$95000");
    EXPECT_EQ(r.At(0, 11), "$105000");
    for (int row = 1; row <= 11; ++row)
        for (int col = 1; col <= 7; ++col)
            EXPECT_EQ(r.At(col, row), DefaultAprTable[row - 1][col - 1]) << col << ", " << row;
}

TEST(AprTable, TwentyPercentDownWithFees)
{
    const UserLoan u = ComputeUserLoan(100000, 20, 15, 6.5, 3000);
    EXPECT_NEAR(CalcSimpleAPR(u.n, u.loan - u.fees, u.payment), 7.111, 5e-4);
    const Recorded r = Build(u, 2500, 500);
    EXPECT_EQ(r.At(0, 1), "$67500");
    EXPECT_EQ(r.At(0, 11), "$92500");
    EXPECT_EQ(r.At(2, 0), "$3000");
    EXPECT_EQ(r.At(7, 0), "$5500");
    EXPECT_EQ(r.At(1, 6), "6.500"); // the exact note rate
    EXPECT_EQ(r.At(2, 6), "7.111");
    EXPECT_EQ(r.At(6, 8), "6.500"); // 85,000 with 5,000 of fees finances 80,000
}

TEST(AprTable, NegativeAndZeroRowsComplete)
{
    const UserLoan u = ComputeUserLoan(30000, 0, 30, 8.75, 0);
    const Recorded r = Build(u, 7500, 1000);
    EXPECT_EQ(r.At(0, 1), "$-7500");
    EXPECT_EQ(r.At(1, 1), "-37.762");
    EXPECT_EQ(r.At(1, 2), "0.000");
    for (int col = 2; col <= 7; ++col) {
        EXPECT_EQ(r.At(col, 1), "0.000");
        EXPECT_EQ(r.At(col, 2), "0.000");
    }
}

TEST(AprTable, ARowBelowMinusOneHundredPercentIsAMathError)
{
    UserLoan u = ComputeUserLoan(30000, 0, 30, 8.75, 0);
    u.loan = 400; // row 1 then lends 400 - 5 x 100 = -100 against a payment of 236
    Recorded r;
    EXPECT_THROW(BuildAprTable(u, 100, 1000, formats,
                               [&](int c, int w, const std::string& t) {
                                   r.cells[{c, w}] = t;
                               }),
                 EInvalidOp);
    EXPECT_EQ(r.At(0, 0), "Loan / Fees"); // the headers were handed out before the error
    EXPECT_EQ(r.cells.count({1, 1}), 0u);
}

TEST(AprTable, PaymentCountGoesThroughTheShortestDecimalText)
{
    struct Case {
        const char* name;
        double term;
        char separator;
        int months;          // when it converts
        const char* message; // when it does not
    };
    const Case cases[] = {
        {"WholeTerm", 30, '.', 360, nullptr},
        {"LargestTerm", 178956970, '.', 2147483640, nullptr},
        {"NegativeTerm", -2, '.', -24, nullptr},
        {"JustPastAnInt", 178956971, '.', 0, "'2147483652' is not a valid integer value"},
        {"FarPast", 1e20, '.', 0, "'1.2E21' is not a valid integer value"},
        {"RegionalSeparator", 1e20, ',', 0, "'1,2E21' is not a valid integer value"},
        {"Fraction", 2.55, '.', 0, "'30.6' is not a valid integer value"},
        // 12 x 2.4999999999999996 rounds to 30 in 15 digits, where a cut would give 29.
        {"RoundsInFifteenDigits", 2.4999999999999996, '.', 30, nullptr},
        {"Infinite", HUGE_VAL, '.', 0, "'INF' is not a valid integer value"}};
    for (const Case& c : cases) {
        if (!c.message) {
            EXPECT_EQ(PaymentCount(c.term, c.separator), c.months) << c.name;
            continue;
        }
        try {
            PaymentCount(c.term, c.separator);
            ADD_FAILURE() << c.name << " converted";
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.name;
        }
    }
}
