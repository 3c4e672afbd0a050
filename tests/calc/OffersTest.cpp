#include "calc/Offers.h"

#include "calc/Errors.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace calc;

namespace {

// The table of tests/calc/data/offers_reference.py, the exact decimal computation, run for each
// test run so that its table and this test never drift apart: each offer's figures, each
// comparison's best offers and the break-even of each of its pairs, and schedules paid with
// extra principal.
struct ReferenceOffer {
    Offer offer;
    std::string payment;
    double apr = 0, tip = 0;
    std::string financed, charge, total, interest, points, prepaid, upFront;
    int fiveYearMonths = 0;
    std::string fiveYearTotal, fiveYearPrincipal, costAt12, costAtEnd;
};
struct ReferencePair {
    std::string first, second, kind;
    int higher = 0, month = 0, cheaper = 0;
};
struct ReferenceComparison {
    std::string name;
    std::vector<std::string> offers;
    int apr = 0, fiveYearTotal = 0, tip = 0;
    std::vector<ReferencePair> pairs;
};
struct ReferenceExtra {
    std::string name, offer;
    ExtraPayments extra;
    int payoff = 0, saved = 0;
    std::string interest, interestSaved, totalExtra, mi, paid, lastPayment, lastExtra;
    std::size_t years = 0;
    std::string firstYearExtra;
};
struct Reference {
    std::map<std::string, ReferenceOffer> offers;
    std::vector<ReferenceComparison> comparisons;
    std::vector<ReferenceExtra> extras;
};

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

Reference RunReference(QString& error)
{
    QProcess python;
    python.start("python3", {TALLYHORN_SOURCE_DIR "/tests/calc/data/offers_reference.py"});
    if (!python.waitForFinished(120000) || python.exitStatus() != QProcess::NormalExit ||
        python.exitCode() != 0)
        error = "offers_reference.py failed: " + python.errorString() + ' ' +
                QString::fromLocal8Bit(python.readAllStandardError());
    std::istringstream output(python.readAllStandardOutput().toStdString());
    Reference ref;
    std::string line, kind, name, bar;
    while (std::getline(output, line)) {
        std::istringstream in(line);
        in >> kind;
        if (kind == "offer") {
            ReferenceOffer r;
            Offer& o = r.offer;
            in >> name >> o.loan >> o.term >> o.rate >> o.points >> o.fees >> o.costs >> o.mi >>
                o.miMonths >> bar >> r.payment >> r.apr >> r.tip >> r.financed >> r.charge >>
                r.total >> r.interest >> r.points >> r.prepaid >> r.upFront >> r.fiveYearMonths >>
                r.fiveYearTotal >> r.fiveYearPrincipal >> r.costAt12 >> r.costAtEnd;
            ref.offers[name] = r;
        } else if (kind == "compare") {
            ReferenceComparison c;
            std::string offers;
            in >> c.name >> offers >> bar >> c.apr >> c.fiveYearTotal >> c.tip;
            c.offers = Split(offers, ',');
            ref.comparisons.push_back(c);
        } else if (kind == "pair") {
            ReferencePair p;
            in >> p.first >> p.second >> bar >> p.kind >> p.higher >> p.month >> p.cheaper;
            ref.comparisons.back().pairs.push_back(p);
        } else if (kind == "extra") {
            ReferenceExtra x;
            std::string lumps;
            in >> x.name >> x.offer >> x.extra.monthly >> x.extra.fromMonth >> lumps >> bar >>
                x.payoff >> x.saved >> x.interest >> x.interestSaved >> x.totalExtra >> x.mi >>
                x.paid >> x.lastPayment >> x.lastExtra >> x.years >> x.firstYearExtra;
            if (lumps != "-")
                for (const std::string& lump : Split(lumps, ',')) {
                    const std::vector<std::string> parts = Split(lump, ':');
                    x.extra.lumps.push_back({std::stoi(parts[0]), std::stod(parts[1])});
                }
            ref.extras.push_back(x);
        }
    }
    return ref;
}

const char* KindName(BreakEven::Kind kind)
{
    switch (kind) {
    case BreakEven::Kind::Month: return "month";
    case BreakEven::Kind::Never: return "never";
    case BreakEven::Kind::Sooner: return "sooner";
    }
    return "?";
}

} // namespace

// Every figure of every offer, comparison, pair and prepaid schedule of the reference.
TEST(Offers, FiguresEqualTheExactComputation)
{
    QString error;
    const Reference ref = RunReference(error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(ref.offers.size(), 22u);
    ASSERT_EQ(ref.comparisons.size(), 9u);
    ASSERT_EQ(ref.extras.size(), 6u);

    std::map<std::string, OfferFigures> figures;
    for (const auto& [name, r] : ref.offers) {
        SCOPED_TRACE(name);
        const OfferFigures f = ComputeOffer(r.offer);
        const Disclosure& d = f.disclosure;
        EXPECT_EQ(CentsText(d.regularPayment), r.payment);
        EXPECT_NEAR(d.apr, r.apr, 1e-6);
        EXPECT_NEAR(d.tip, r.tip, 1e-9);
        EXPECT_EQ(CentsText(d.amountFinanced), r.financed);
        EXPECT_EQ(CentsText(d.financeCharge), r.charge);
        EXPECT_EQ(CentsText(d.totalOfPayments), r.total);
        EXPECT_EQ(CentsText(d.totalInterest), r.interest);
        EXPECT_EQ(CentsText(f.pointsAmount), r.points);
        EXPECT_EQ(CentsText(f.prepaid), r.prepaid);
        EXPECT_EQ(CentsText(f.upFront), r.upFront);
        EXPECT_EQ(f.fiveYearMonths, r.fiveYearMonths);
        EXPECT_EQ(CentsText(f.fiveYearTotal), r.fiveYearTotal);
        EXPECT_EQ(CentsText(f.fiveYearPrincipal), r.fiveYearPrincipal);
        EXPECT_EQ(CostAtMonth(f, 0), f.upFront);
        EXPECT_EQ(CentsText(CostAtMonth(f, 12)), r.costAt12);
        EXPECT_EQ(CentsText(CostAtMonth(f, static_cast<int>(d.rows.size()))), r.costAtEnd);
        figures[name] = f;
    }

    for (const ReferenceComparison& c : ref.comparisons) {
        SCOPED_TRACE(c.name);
        std::vector<OfferFigures> offers;
        for (const std::string& name : c.offers)
            offers.push_back(figures.at(name));
        EXPECT_EQ(LowestApr(offers), c.apr);
        EXPECT_EQ(LowestFiveYearTotal(offers), c.fiveYearTotal);
        EXPECT_EQ(LowestTip(offers), c.tip);
        for (const ReferencePair& p : c.pairs) {
            SCOPED_TRACE(p.first + " against " + p.second);
            const BreakEven b = ComputeBreakEven(figures.at(p.first), figures.at(p.second));
            EXPECT_EQ(KindName(b.kind), p.kind);
            if (b.kind == BreakEven::Kind::Sooner) {
                EXPECT_EQ(b.cheaper, p.cheaper);
                continue;
            }
            EXPECT_EQ(b.higher, p.higher);
            EXPECT_EQ(b.month, p.month);
            // The pair the other way round: the same month, the other index.
            const BreakEven turned = ComputeBreakEven(figures.at(p.second), figures.at(p.first));
            EXPECT_EQ(turned.kind, b.kind);
            EXPECT_EQ(turned.higher, 1 - b.higher);
            EXPECT_EQ(turned.month, b.month);
        }
    }

    for (const ReferenceExtra& x : ref.extras) {
        SCOPED_TRACE(x.name);
        const OfferFigures& f = figures.at(x.offer);
        const PrepaidSchedule s = ApplyExtraPayments(f.disclosure, f.inputs, x.extra);
        EXPECT_EQ(s.payoffMonth, x.payoff);
        EXPECT_EQ(s.paymentsSaved, x.saved);
        EXPECT_EQ(CentsText(s.totalInterest), x.interest);
        EXPECT_EQ(CentsText(s.interestSaved), x.interestSaved);
        EXPECT_EQ(CentsText(s.totalExtra), x.totalExtra);
        EXPECT_EQ(CentsText(s.totalMI), x.mi);
        EXPECT_EQ(CentsText(s.totalPaid), x.paid);
        ASSERT_EQ(s.rows.size(), static_cast<std::size_t>(x.payoff));
        EXPECT_EQ(CentsText(s.rows.back().payment), x.lastPayment);
        EXPECT_EQ(CentsText(s.rows.back().extra), x.lastExtra);
        EXPECT_EQ(s.rows.back().balance, 0);
        ASSERT_EQ(s.years.size(), x.years);
        EXPECT_EQ(CentsText(s.years.front().extra), x.firstYearExtra);
        // Each row takes its principal and extra off the balance; the years add up to the
        // totals and the loan.
        Cents balance = f.disclosure.loan, interest = 0, principal = 0, extra = 0;
        for (const ScheduleRow& row : s.rows) {
            balance -= row.principal + row.extra;
            EXPECT_EQ(row.balance, balance) << "month " << row.number;
        }
        for (const YearTotal& y : s.years) {
            interest += y.interest;
            principal += y.principal;
            extra += y.extra;
            EXPECT_EQ(y.balance, s.rows[y.lastPayment - 1].balance);
        }
        EXPECT_EQ(interest, s.totalInterest);
        EXPECT_EQ(extra, s.totalExtra);
        EXPECT_EQ(principal + extra, f.disclosure.loan);
    }
    // No extra at all is the contract's own schedule.
    const OfferFigures& plain = figures.at("withMI");
    const PrepaidSchedule none = ApplyExtraPayments(plain.disclosure, plain.inputs, {});
    EXPECT_EQ(none.payoffMonth, 360);
    EXPECT_EQ(none.totalInterest, plain.disclosure.totalInterest);
    EXPECT_EQ(none.totalPaid, plain.disclosure.totalOfPayments);
}

// The best offer on the APR row is chosen as the APRs are shown, to three decimals: solver
// noise below the shown digits picks no winner, and a shared lowest marks none.
TEST(Offers, BestAprComparesTheShownDigits)
{
    const struct {
        std::vector<double> aprs;
        int best;
    } cases[] = {
        {{6.9541581, 6.9541579}, -1},
        {{7.2, 6.9541579, 6.9541581}, -1},
        {{6.9546, 6.9544}, 1},
        {{7.1, 6.8, 6.8004, 6.7996}, -1},
        {{7.1, 6.8, 6.8006, 6.7994}, 3},
        {{6.5}, 0},
        {{}, -1},
    };
    for (const auto& c : cases) {
        std::vector<OfferFigures> offers(c.aprs.size());
        for (std::size_t i = 0; i < c.aprs.size(); ++i)
            offers[i].disclosure.apr = c.aprs[i];
        EXPECT_EQ(LowestApr(offers), c.best) << c.aprs.size() << " offers";
    }
}

TEST(Offers, BadInputIsARangeMessage)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Offer good{300000, 30, 6.5, 1.5, 2400, 0, 0, 0};
    auto with = [&](auto change) {
        Offer o = good;
        change(o);
        return o;
    };
    const struct {
        Offer offer;
        const char* message;
    } offers[] = {
        {with([](Offer& o) { o.loan = 0; }),
         "The loan amount must be more than 0 and less than 1000000000000, not 0"},
        {with([](Offer& o) { o.term = 15.5; }),
         "The term must be a whole number of years from 1 to 1000, not 15.5"},
        {with([](Offer& o) { o.term = 1001; }),
         "The term must be a whole number of years from 1 to 1000, not 1001"},
        {with([&](Offer& o) { o.rate = nan; }),
         "The note rate must be from 0 to less than 100000, not NAN"},
        {with([](Offer& o) { o.points = -0.25; }),
         "The points must be from 0 to less than 100, not -0.25"},
        {with([&](Offer& o) { o.fees = inf; }),
         "The fees must be from 0 to less than 1000000000000, not INF"},
        {with([](Offer& o) { o.costs = -1; }),
         "The other loan costs must be from 0 to less than 1000000000000, not -1"},
        {with([](Offer& o) { o.mi = -5; }),
         "The mortgage insurance must be from 0 to less than 1000000000000, not -5"},
        {with([](Offer& o) { o.miMonths = 361; }),
         "The number of mortgage insurance months must be from 0 to 360, not 361"},
        {with([](Offer& o) { o.points = 99.5; }),
         "The points and fees together must be less than the loan amount, not 300900"},
    };
    for (const auto& c : offers) {
        try {
            ComputeOffer(c.offer);
            ADD_FAILURE() << c.message << ": no error";
        } catch (const ERangeError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }

    const OfferFigures f = ComputeOffer(good);
    const struct {
        ExtraPayments extra;
        const char* message;
    } extras[] = {
        {{-1, 1, {}},
         "The extra monthly payment must be from 0 to less than 1000000000000, not -1"},
        {{nan, 1, {}},
         "The extra monthly payment must be from 0 to less than 1000000000000, not NAN"},
        {{100, 0, {}}, "The first month of the extra payment must be from 1 to 360, not 0"},
        {{100, 361, {}}, "The first month of the extra payment must be from 1 to 360, not 361"},
        {{0, 1, {{12, 500}, {361, 500}}},
         "The month of a lump payment must be from 1 to 360, not 361"},
        {{0, 1, {{60, 0}}},
         "The lump payment of month 60 must be more than 0 and less than 1000000000000, not 0"},
        {{0, 1, {{60, inf}}},
         "The lump payment of month 60 must be more than 0 and less than 1000000000000, not INF"},
    };
    for (const auto& c : extras) {
        try {
            ApplyExtraPayments(f.disclosure, f.inputs, c.extra);
            ADD_FAILURE() << c.message << ": no error";
        } catch (const ERangeError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    EXPECT_THROW(CostAtMonth(f, -1), ERangeError);
    EXPECT_THROW(CostAtMonth(f, 361), ERangeError);
}
