#include "calc/Disclosure.h"

#include "calc/Errors.h"
#include "calc/LoanMath.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

using namespace calc;

namespace {

// One line of tests/calc/data/disclosure_reference.txt, written by the Python script beside it
// from exact decimal arithmetic.
struct ReferenceLoan {
    std::string name;
    DisclosureInputs inputs;
    std::string payment, financed, charge, total, interest, mi;
    double tip = 0, apr = 0;
    std::string last, firstYear, lastYear;
    std::size_t years = 0;
};

std::vector<ReferenceLoan> ReadReference()
{
    std::ifstream file(TALLYHORN_SOURCE_DIR "/tests/calc/data/disclosure_reference.txt");
    std::vector<ReferenceLoan> loans;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        ReferenceLoan r;
        std::string bar;
        in >> r.name >> r.inputs.loan >> r.inputs.n >> r.inputs.noteRate >> r.inputs.prepaid >>
            r.inputs.miAmount >> r.inputs.miMonths >> bar >> r.payment >> r.financed >> r.charge >>
            r.total >> r.interest >> r.mi >> r.tip >> r.apr >> r.last >> r.firstYear >>
            r.lastYear >> r.years;
        r.inputs.payment = CalcPayment(r.inputs.n, r.inputs.loan, r.inputs.noteRate / 1200);
        loans.push_back(r);
    }
    return loans;
}

} // namespace

TEST(Disclosure, FiguresEqualTheExactComputation)
{
    const std::vector<ReferenceLoan> loans = ReadReference();
    ASSERT_EQ(loans.size(), 14u);
    for (const ReferenceLoan& r : loans) {
        SCOPED_TRACE(r.name);
        const Disclosure d = ComputeDisclosure(r.inputs);
        EXPECT_EQ(CentsText(d.regularPayment), r.payment);
        EXPECT_EQ(CentsText(d.amountFinanced), r.financed);
        EXPECT_EQ(CentsText(d.financeCharge), r.charge);
        EXPECT_EQ(CentsText(d.totalOfPayments), r.total);
        EXPECT_EQ(CentsText(d.totalInterest), r.interest);
        EXPECT_EQ(CentsText(d.totalMI), r.mi);
        EXPECT_NEAR(d.tip, r.tip, 1e-9);
        EXPECT_NEAR(d.apr, r.apr, 1e-9);
        ASSERT_EQ(d.rows.size(), static_cast<std::size_t>(r.inputs.n));
        EXPECT_EQ(CentsText(d.rows.back().payment), r.last);
        EXPECT_EQ(d.rows.back().balance, 0);
        ASSERT_EQ(d.years.size(), r.years);
        EXPECT_EQ(CentsText(d.years.front().interest), r.firstYear);
        EXPECT_EQ(CentsText(d.years.back().interest), r.lastYear);
        // The subtotals add up to the totals, and each row to its balance change.
        Cents interest = 0, principal = 0;
        for (const YearTotal& y : d.years) {
            interest += y.interest;
            principal += y.principal;
            EXPECT_EQ(y.firstPayment, 12 * y.year - 11);
            EXPECT_EQ(y.lastPayment, std::min(12 * y.year, r.inputs.n));
        }
        EXPECT_EQ(interest, d.totalInterest);
        EXPECT_EQ(principal, d.loan);
        // Insurance on the first payment alone is an irregular first payment: still regular.
        EXPECT_EQ(d.irregular,
                  r.inputs.miAmount > 0 && r.inputs.miMonths > 1 && r.inputs.miMonths < r.inputs.n);
    }
}

// The level case is the window's APR for every count the table uses (whole terms of 1 to 50
// years and the command line's longest) and exact for a single payment.
TEST(Disclosure, LevelStreamIsTheTablesApr)
{
    const double financed[] = {100000, 95000, 30000.5};
    std::vector<int> counts;
    for (int years = 1; years <= 50; ++years)
        counts.push_back(12 * years);
    counts.insert(counts.end(), {1200, 6000, 12000});
    for (int n : counts)
        for (double a : financed) {
            const double payment = CalcPayment(n, 100000, 8.75 / 1200);
            EXPECT_NEAR(CalcStreamAPR(a, {{n, payment}}), CalcSimpleAPR(n, a, payment), 1e-9)
                << n << " payments, " << a;
        }
    EXPECT_EQ(CalcStreamAPR(1000, {{1, 1010}}), CalcExactAPR(1, 1000, 1010));
    // Split into streams of the same payment, the loan is the same loan.
    const double p = CalcPayment(360, 100000, 8.75 / 1200);
    EXPECT_NEAR(CalcStreamAPR(99000, {{84, p}, {275, p}, {1, p}}), 8.8610757, 1e-7);
    EXPECT_EQ(CalcStreamAPR(0, {{360, p}}), 0.0);
    EXPECT_EQ(CalcStreamAPR(-5, {{360, p}}), 0.0);
}

TEST(Disclosure, ToleranceCheck)
{
    struct Case {
        double disclosed, computed;
        bool irregular, accurate;
        double difference;
    } cases[] = {
        {8.875, 8.75, false, true, 0.125},
        {8.876, 8.75, false, false, 0.126},
        {8.625, 8.75, false, true, -0.125},
        {9.0, 8.75, true, true, 0.25},
        {8.49, 8.75, true, false, -0.26},
        {8.75, 8.75, false, true, 0.0},
        // Exactly 1/8 point from a computed APR that carries binary noise (12.00000000000001).
        {11.875, CalcStreamAPR(1000, {{1, 1010}}), false, true, -0.125},
        {12.125, CalcStreamAPR(1000, {{1, 1010}}), false, true, 0.125},
        {11.874, CalcStreamAPR(1000, {{1, 1010}}), false, false, -0.126},
    };
    for (const Case& c : cases) {
        const AprToleranceCheck check = CheckAprTolerance(c.disclosed, c.computed, c.irregular);
        EXPECT_EQ(check.accurate, c.accurate) << c.disclosed << " against " << c.computed;
        EXPECT_NEAR(check.difference, c.difference, 1e-12);
        EXPECT_EQ(check.tolerance, c.irregular ? 0.25 : 0.125);
    }
    // An irregular first or final payment keeps a transaction regular; a change between longer
    // runs of payments does not.
    const struct {
        std::vector<PaymentStream> streams;
        bool irregular;
    } kinds[] = {
        {{{359, 786.7}, {1, 787.67}}, false},
        {{{1, 250}, {23, 230}}, false},
        {{{1, 841.7}, {358, 786.7}, {1, 787.67}}, false},
        {{{84, 890.87}, {276, 786.7}}, true},
        {{{1, 250}, {2, 240}, {21, 230}}, true},
        {{{12, 100}}, false},
    };
    for (const auto& k : kinds)
        EXPECT_EQ(IsIrregular(k.streams), k.irregular) << k.streams.size() << " streams";
}

TEST(Disclosure, BadInputIsARangeMessage)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    DisclosureInputs good;
    good.loan = 100000;
    good.n = 360;
    good.noteRate = 8.75;
    good.payment = CalcPayment(360, 100000, 8.75 / 1200);
    struct Case {
        const char* what;
        DisclosureInputs inputs;
        const char* message;
    };
    auto with = [&](auto change) {
        DisclosureInputs i = good;
        change(i);
        return i;
    };
    const Case cases[] = {
        {"nan loan", with([&](auto& i) { i.loan = nan; }),
         "The loan amount must be more than 0 and less than 1000000000000, not NAN"},
        {"no payments", with([](auto& i) { i.n = 0; }),
         "The number of payments must be from 1 to 12000, not 0"},
        {"fees above loan", with([](auto& i) { i.prepaid = 100000; }),
         "The prepaid finance charge must be from 0 to less than the loan amount, not 100000"},
        {"mi months", with([](auto& i) { i.miMonths = 361; }),
         "The number of mortgage insurance months must be from 0 to 360, not 361"},
        {"infinite mi", with([&](auto& i) { i.miAmount = inf; }),
         "The mortgage insurance must be from 0 to less than 1000000000000, not INF"},
        {"negative rate", with([](auto& i) { i.noteRate = -1; }),
         "The note rate must be from 0 to less than 100000, not -1"},
    };
    for (const Case& c : cases) {
        try {
            ComputeDisclosure(c.inputs);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const ERangeError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.what;
        }
    }
    EXPECT_THROW(CalcStreamAPR(1000, {}), ERangeError);
    EXPECT_THROW(CalcStreamAPR(1000, {{0, 10}}), ERangeError);
    EXPECT_THROW(CalcStreamAPR(1000, {{12, nan}}), ERangeError);
    EXPECT_THROW(CalcStreamAPR(1000, {{12, 0}}), ERangeError);
    EXPECT_THROW(CalcStreamAPR(inf, {{12, 10}}), ERangeError);
    EXPECT_THROW(CalcStreamAPR(1000, {{6000, 1}, {6001, 1}}), ERangeError);
    EXPECT_THROW(CheckAprTolerance(nan, 8.75, false), ERangeError);
    // A payment far too small still has an APR (a negative one), never a NaN.
    EXPECT_TRUE(std::isfinite(CalcStreamAPR(1e11, {{12000, 0.01}})));
    // Long runs of nothing before one payment: the exact negative APRs, (2^(-1/N) - 1) x 1200.
    for (int skipped : {2400, 2500}) {
        const double exactApr = (std::pow(0.5, 1.0 / (skipped + 1)) - 1) * 1200;
        EXPECT_NEAR(CalcStreamAPR(100000, {{skipped, 0}, {1, 50000}}), exactApr, 1e-9) << skipped;
    }
    // A loan or an amount financed that comes to less than a cent has no schedule.
    const struct {
        double loan, prepaid;
        const char* message;
    } tiny[] = {
        {0.004, 0, "The loan amount must be at least 0.01, not 0.004"},
        {1000, 999.999,
         "The amount financed (the loan amount less the prepaid finance charge) must be at least "
         "0.01, not 0"},
    };
    for (const auto& t : tiny) {
        DisclosureInputs i = good;
        i.loan = t.loan;
        i.prepaid = t.prepaid;
        i.payment = CalcPayment(360, t.loan, 8.75 / 1200);
        try {
            ComputeDisclosure(i);
            ADD_FAILURE() << t.loan << ": no error";
        } catch (const ERangeError& e) {
            EXPECT_STREQ(e.what(), t.message);
        }
    }
}
