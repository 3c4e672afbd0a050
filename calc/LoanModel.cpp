#include "calc/LoanModel.h"

#include "calc/TableSolvers.h"

namespace calc {

LoanModel::LoanModel(const LoanInputs& inputs, const LoanFormulas& formulas, char decimalSeparator)
    : m_inputs(inputs), m_formulas(formulas),
      m_user(ComputeUserLoan(inputs.price, inputs.downPercent, inputs.term, inputs.rate,
                             inputs.fees, formulas, decimalSeparator))
{
}

LoanModel LoanModel::SolvedAhead(const LoanInputs& inputs)
{
    LoanModel model(inputs);
    auto solvers =
        std::make_shared<const TTableSolvers>(model.m_user, inputs.loanStep, inputs.feeStep);
    model.m_formulas = solvers->Solvers();
    model.m_ahead = std::move(solvers);
    return model;
}

double LoanModel::Apr() const
{
    if (!m_apr) {
        const double financed = m_user.loan - m_user.fees;
        m_apr = m_formulas.simpleAPR ? m_formulas.simpleAPR(m_user.n, financed, m_user.payment)
                                     : CalcSimpleAPR(m_user.n, financed, m_user.payment);
    }
    return *m_apr;
}

void LoanModel::BuildTable(const AprTableFormats& formats, const AprCellFn& onCell,
                           const ProcessMessagesFn& processMessages) const
{
    BuildAprTable(m_user, m_inputs.loanStep, m_inputs.feeStep, formats, onCell, processMessages,
                  m_formulas);
}

DisclosureInputs LoanModel::Disclosed(double mi, int miMonths) const
{
    DisclosureInputs in;
    in.loan = m_user.loan;
    in.n = m_user.n;
    in.noteRate = m_inputs.rate;
    in.prepaid = m_user.fees;
    in.payment = m_user.payment;
    in.miAmount = mi;
    in.miMonths = miMonths;
    return in;
}

} // namespace calc
