#include "calc/TableSolvers.h"

#include "calc/LoanMath.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

TTableSolvers::TTableSolvers(const calc::UserLoan& user, double loanIncrement, double feeIncrement)
    : m_user(user)
{
    auto add = [this](bool apr, double argument) {
        const bool known = std::any_of(m_jobs.begin(), m_jobs.end(), [&](const Job& job) {
            return job.apr == apr && job.argument == argument;
        });
        if (!known)
            m_jobs.push_back(Job{apr, argument, 0, nullptr});
    };
    // The same arguments the build computes, in its order.
    add(true, user.loan - user.fees);
    for (int row = 1; row < calc::AprTableRows; ++row)
        add(false, calc::RowLoan(user, loanIncrement, row));
    for (int col = 2; col < calc::AprTableCols; ++col)
        for (int row = 1; row < calc::AprTableRows; ++row)
            add(true, calc::RowLoan(user, loanIncrement, row) -
                          calc::ColumnFees(user, feeIncrement, col));

    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < m_jobs.size(); i = next++) {
            Job& job = m_jobs[i];
            try {
                job.result = job.apr ? calc::CalcSimpleAPR(user.n, job.argument, user.payment)
                                     : calc::CalcIR(user.n, job.argument, user.payment);
            } catch (...) {
                job.error = std::current_exception();
            }
        }
    };
    const size_t threads =
        std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), m_jobs.size());
    {
        // The helpers are joined when they go out of scope. A helper that cannot start leaves
        // its share to those that did and to this thread.
        std::vector<std::jthread> helpers;
        try {
            for (size_t i = 1; i < threads; ++i)
                helpers.emplace_back(work);
        } catch (const std::system_error&) {
        }
        work();
    }
}

double TTableSolvers::Result(bool apr, int n, double argument, double payment) const
{
    if (n == m_user.n && payment == m_user.payment)
        for (const Job& job : m_jobs)
            if (job.apr == apr && job.argument == argument) {
                if (job.error)
                    std::rethrow_exception(job.error);
                return job.result;
            }
    return apr ? calc::CalcSimpleAPR(n, argument, payment) : calc::CalcIR(n, argument, payment);
}

calc::LoanFormulas TTableSolvers::Solvers() const
{
    calc::LoanFormulas formulas;
    formulas.noteRate = [this](int n, double principal, double payment) {
        return Result(false, n, principal, payment);
    };
    formulas.simpleAPR = [this](int n, double financed, double payment) {
        return Result(true, n, financed, payment);
    };
    return formulas;
}

double TTableSolvers::UserApr() const
{
    return Result(true, m_user.n, m_user.loan - m_user.fees, m_user.payment);
}
