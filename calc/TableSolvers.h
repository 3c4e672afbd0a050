// Works out the note rates and APRs of one table ahead of its build, on all of the processor's
// cores, each distinct set of arguments once (with equal increments a whole diagonal of the
// table shares one amount financed). The build then reads the results in its own order, and
// meets the error a solver raised exactly where a build that solves as it goes would meet it.
// The results are the solvers' own: the same function on the same arguments.
#pragma once

#include "calc/AprTable.h"

#include <exception>
#include <vector>

class TTableSolvers {
public:
    // Solves for the table of `user` with the given increments, and for the user's own APR.
    TTableSolvers(const calc::UserLoan& user, double loanIncrement, double feeIncrement);

    // For calc::BuildAprTable. Arguments not solved ahead are solved when asked for.
    calc::LoanFormulas Solvers() const;

    // The APR of the user's own loan (amount financed: loan less fees); raises its error.
    double UserApr() const;

private:
    struct Job {
        bool apr = false;    // else the note rate
        double argument = 0; // principal or amount financed
        double result = 0;
        std::exception_ptr error;
    };
    double Result(bool apr, int n, double argument, double payment) const;

    calc::UserLoan m_user;
    std::vector<Job> m_jobs;
};
