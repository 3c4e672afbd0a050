// The table's solvers worked out ahead on several threads: every answer, and every error, is
// the plain formula's for the same arguments. These tests also run under ThreadSanitizer
// (the test_threads program).
#include "calc/TableSolvers.h"

#include "calc/Errors.h"
#include "calc/LoanMath.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>

namespace {
struct SolverCase {
    const char* name;
    double price;
    double termYears;
    double fees;
    double loanStep;
    double feeStep;
};

// The number as its shortest exact text, or the error's text.
std::string Outcome(const std::function<double()>& solve)
{
    try {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", solve());
        return text;
    } catch (const calc::EMathError& e) {
        return std::string("error: ") + e.what();
    }
}

// Every argument the table asks for, through the solvers and through the plain formulas.
void ExpectThePlainFormulasAnswers(const SolverCase& c)
{
    const calc::UserLoan user = calc::ComputeUserLoan(c.price, 0, c.termYears, 8.75, c.fees);
    const TTableSolvers solvers(user, c.loanStep, c.feeStep);
    const calc::LoanFormulas formulas = solvers.Solvers();
    EXPECT_EQ(Outcome([&] { return solvers.UserApr(); }), Outcome([&] {
                  return calc::CalcSimpleAPR(user.n, user.loan - user.fees, user.payment);
              }))
        << c.name;
    for (int row = 1; row < calc::AprTableRows; ++row) {
        const double loan = calc::RowLoan(user, c.loanStep, row);
        EXPECT_EQ(Outcome([&] { return formulas.noteRate(user.n, loan, user.payment); }),
                  Outcome([&] { return calc::CalcIR(user.n, loan, user.payment); }))
            << c.name << " row " << row;
        for (int col = 2; col < calc::AprTableCols; ++col) {
            const double financed = loan - calc::ColumnFees(user, c.feeStep, col);
            EXPECT_EQ(Outcome([&] { return formulas.simpleAPR(user.n, financed, user.payment); }),
                      Outcome([&] { return calc::CalcSimpleAPR(user.n, financed, user.payment); }))
                << c.name << " row " << row << " col " << col;
        }
    }
    // Arguments not worked out ahead are solved when asked for.
    EXPECT_EQ(Outcome([&] { return formulas.noteRate(user.n + 12, user.loan, user.payment); }),
              Outcome([&] { return calc::CalcIR(user.n + 12, user.loan, user.payment); }))
        << c.name;
}

const SolverCase cases[] = {
    {"DefaultInputs", 100000, 30, 0, 1000, 1000},
    {"FeesAndUnequalSteps", 250000, 15, 3200, 2500, 750},
    {"RowLendingBelowZero", 37400, 30, 0, 7500, 1000},
    {"NoPayment", 0, 30, 0, 1000, 1000},
};

TEST(TableSolvers, EveryAnswerAndErrorIsThePlainFormulas)
{
    for (const SolverCase& c : cases)
        ExpectThePlainFormulasAnswers(c);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// The address space this process uses now, in bytes (VmSize).
rlim_t AddressSpaceInUse()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmSize:", 0) == 0)
            return rlim_t(std::stoull(line.substr(7))) * 1024;
    return 0;
}

// With no room left for a thread's stack no helper starts: the table is solved on the
// calling thread alone, with the same answers. It runs in a fresh process, where no stack of
// an ended thread is kept for reuse.
void SolveWithoutRoomForThreads()
{
    rlimit previous{};
    getrlimit(RLIMIT_AS, &previous);
    rlimit tight = previous;
    tight.rlim_cur = AddressSpaceInUse() + 2 * 1024 * 1024; // less than one thread stack
    setrlimit(RLIMIT_AS, &tight);
    const calc::UserLoan user = calc::ComputeUserLoan(250000, 0, 15, 8.75, 3200);
    const TTableSolvers solvers(user, 2500, 750);
    const bool same = Outcome([&] { return solvers.UserApr(); }) == Outcome([&] {
                          return calc::CalcSimpleAPR(user.n, user.loan - user.fees, user.payment);
                      });
    setrlimit(RLIMIT_AS, &previous);
    std::fprintf(stderr, "solved alone\n");
    std::_Exit(same ? 0 : 1);
}

TEST(TableSolversDeathTest, WithoutRoomForAHelperThreadTheCallerSolvesAlone)
{
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(SolveWithoutRoomForThreads(), testing::ExitedWithCode(0), "solved alone");
    GTEST_FLAG_SET(death_test_style, style);
}
#endif
} // namespace
