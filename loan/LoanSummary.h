// The disclosure figures and payment schedule of the user's loan (calc::ComputeDisclosure),
// with the texts the window, the report and the command line show for them.
//
// Money is in currency units, rates in annual percent; the schedule's money is in cents.
#pragma once

#include "calc/Disclosure.h"
#include "calc/LoanModel.h"
#include "calc/Offers.h"
#include "loan/OutputFormat.h"
#include "report/QRSchedule.h"

#include <QJsonObject>
#include <QString>
#include <optional>
#include <vector>

class TLoanSummary {
public:
    // One figure: its caption, its text as shown ("$183,212.97", "8.750%") and its number.
    struct Figure {
        QString label;
        QString text;
        double value;
    };

    // The loan of `model` with `mi` a month of mortgage insurance for the first `miMonths`
    // payments. calc::ERangeError for inputs outside the figures' ranges (fees not below the
    // loan, more insurance months than payments); math errors propagate.
    TLoanSummary(const calc::LoanModel& model, double mi, int miMonths);

    // Extra principal payments the borrower chooses: the schedule's outputs (Text, Csv, Json,
    // Source) then show the schedule as paid (calc::ApplyExtraPayments), with an "Extra"
    // column and ending at the payoff, and add ExtraFields() and ContractNote(); the loan's
    // and the disclosure figures and the APR stay the contract's. An ExtraPayments with
    // nothing in it (!Any()) clears them. calc::ERangeError (naming the month or amount) for
    // an amount that is negative or not finite, or a month outside 1..Payments().
    void SetExtraPayments(const calc::ExtraPayments& extra);
    // The schedule as paid, when extra payments are set.
    const std::optional<calc::PrepaidSchedule>& Paid() const { return m_paid; }
    const calc::ExtraPayments& Extra() const { return m_extra; }

    // With extra payments: Extra Each Month ("$200.00" or "None"; captioned "Extra from
    // Payment 13" when it starts later), One-Time Payments ("2 ($15,000.00)" or "None"), Total
    // Extra Principal, Payoff Month ("260 of 360"), Payments Saved, Interest Saved. Empty
    // without them.
    std::vector<Figure> ExtraFields() const;
    // "The APR and disclosure figures are those of the contract; extra payments are prepayments
    // you choose."
    static QString ContractNote();

    const calc::Disclosure& Figures() const { return m_figures; }
    double NoteRate() const { return m_rate; }
    int Payments() const { return m_n; }

    // Loan Amount, Number of Payments, Note Rate, Monthly Payment, Prepaid Finance Charges,
    // Mortgage Insurance.
    std::vector<Figure> LoanFields() const;
    // Annual Percentage Rate (captioned "APR of These Payments" where it differs from the
    // window's APR field: it is the APR of the payments as disclosed, to the cent, with their
    // insurance and the adjusted last payment), Finance Charge, Amount Financed, Total of
    // Payments, Total Interest, Total Interest Percentage.
    std::vector<Figure> DisclosureFields() const;

    // What the Amortization Schedule report prints.
    TScheduleSource Source() const;

    // "label<TAB>text" lines of both lists, for the clipboard.
    QString CopyText() const;
    // The figures as a JSON object (numbers at full precision, money to the cent), with
    // "numberOfPayments" the payments the schedule holds: fewer than the term's (Payments())
    // where a payment rounded up clears the loan early.
    QJsonObject FiguresJson() const;

    // The schedule command's outputs: the figures, each payment and the yearly subtotals.
    QString Text() const;
    QString Csv() const;
    QString Json() const;
    QString Format(TOutputFormat format) const;

    // Cents as the window's money fields show them ("$1,234.56").
    static QString Money(calc::Cents cents);

private:
    // The extra payments' figures for JSON and CSV (with extra payments set).
    QJsonObject ExtraJson() const;
    // The rows and years printed: the contract's, or those as paid with the extra payments.
    const std::vector<calc::ScheduleRow>& Rows() const;
    const std::vector<calc::YearTotal>& Years() const;

    calc::Disclosure m_figures;
    calc::DisclosureInputs m_inputs;
    calc::ExtraPayments m_extra;
    std::optional<calc::PrepaidSchedule> m_paid;
    double m_rate = 0;
    int m_n = 0;
    double m_miAmount = 0;
    double m_windowApr = 0; // the window's APR field (NaN when it has none)
    int m_miMonths = 0;
};
