// The Loan Summary dialog (File > Loan Summary...): the disclosure figures of the window's loan,
// a monthly mortgage insurance and its number of payments, the resulting APR, and the buttons
// Preview Schedule, Copy (the figures as tab-separated text) and Close. Extra principal the
// borrower chooses to pay (each month from a payment on, and one-time payments) adds the
// payoff month and what it saves; the disclosure figures and the APR stay the contract's. F1
// opens its help topic.
#pragma once

#include "calc/Offers.h"
#include "loan/LoanSummary.h"

#include <QDialog>
#include <memory>
#include <vector>

class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TQRSchedule;

class TfrmLoanSummary : public QDialog {
    Q_OBJECT

public:
    // `model` is the window's loan, its fees the prepaid finance charges.
    explicit TfrmLoanSummary(const calc::LoanModel& model, QWidget* parent = nullptr);
    ~TfrmLoanSummary() override;

    static constexpr int HelpContextNumber = 36;
    // The extra payments' figures (TLoanSummary::ExtraFields).
    static constexpr int ExtraFigureCount = 6;

    // The figures shown now (with the insurance entered).
    const TLoanSummary& Summary() const { return *m_summary; }

    // One-time payments as typed: "60:10000, 120:5000" (month:amount, separated by commas,
    // semicolons or blanks; an amount may have grouping). Throws calc::EConvertError with a
    // message for the user naming the entry that is not month:amount.
    static std::vector<calc::LumpSum> ParseLumps(const QString& text);

private:
    void Recalculate();
    // The extra payments entered, applied to the summary; false with the message shown when
    // they are not valid (the extra figures are then hidden).
    bool ApplyExtras();
    void PreviewSchedule();
    void CopyFigures();

    calc::LoanModel m_model;
    std::unique_ptr<TLoanSummary> m_summary;
    QList<QLabel*> m_values;   // the figures' texts, loan fields then disclosure fields
    QList<QLabel*> m_captions; // their captions (the APR's follows what it is)
    QDoubleSpinBox* edtMI;
    QSpinBox* edtMIMonths;
    QLabel* lblMessage;
    QDoubleSpinBox* edtExtra;
    QSpinBox* edtExtraFrom;
    QLineEdit* edtLumps;
    QLabel* lblExtraMessage;
    QLabel* lblContractNote;
    QList<QLabel*> m_extraValues; // the extra payments' figures, hidden without them
    QList<QLabel*> m_extraCaptions;
    QPushButton* btnPreview;
    QPushButton* btnCopy;
    QPushButton* btnClose;
    TQRSchedule* m_report = nullptr; // made on the first preview
};
