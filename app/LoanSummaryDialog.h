// The Loan Summary dialog (File > Loan Summary...): the disclosure figures of the window's loan,
// a monthly mortgage insurance and its number of payments, the resulting APR, and the buttons
// Preview Schedule, Copy (the figures as tab-separated text) and Close. F1 opens its help topic.
#pragma once

#include "loan/LoanSummary.h"

#include <QDialog>
#include <memory>

class QDoubleSpinBox;
class QGridLayout;
class QLabel;
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

    // The figures shown now (with the insurance entered).
    const TLoanSummary& Summary() const { return *m_summary; }

private:
    void Recalculate();
    void PreviewSchedule();
    void CopyFigures();

    calc::LoanModel m_model;
    std::unique_ptr<TLoanSummary> m_summary;
    QList<QLabel*> m_values;   // the figures' texts, loan fields then disclosure fields
    QList<QLabel*> m_captions; // their captions (the APR's follows what it is)
    QDoubleSpinBox* edtMI;
    QSpinBox* edtMIMonths;
    QLabel* lblMessage;
    QPushButton* btnPreview;
    QPushButton* btnCopy;
    QPushButton* btnClose;
    TQRSchedule* m_report = nullptr; // made on the first preview
};
