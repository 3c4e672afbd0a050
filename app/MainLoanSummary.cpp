// The calculator window's Loan Summary command: the disclosure figures of the loan the fields
// hold, in their own dialog.
#include "app/LoanSummaryDialog.h"
#include "app/Main.h"
#include "app/ModalDialog.h"
#include "calc/AprTable.h"
#include "calc/Errors.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumCtrl.h"
#include "loan/TableTexts.h"
#include "platform/LoopGuard.h"
#include "platform/MessageBox.h"
#include "report/QRPrinter.h"

#include <QPointer>

void TfrmMain::mnuFileLoanSummaryClick()
{
    if (m_reporting || TQRPrinter::Instance().State() != TQRPrinterState::Idle)
        return;
    // Refused from inside its own dialog's loop (the key again, a menu of the window).
    const TReentryGuard entry(this, m_modalBusy[ModalLoanSummary]);
    if (!entry.Entered())
        return;
    // The figures belong to the inputs the fields hold now: a stale result (AutoCalc off) is
    // brought up to date first, as the print command does.
    const QPointer<TfrmMain> self(this);
    if (!CommitFieldBeingEdited() || !self)
        return;
    if (!ChartCurrent()) {
        CalcAPRTable(btnCalculate);
        if (!self || !ChartCurrent())
            return;
    }
    if (!m_model)
        return;
    const calc::UserLoan& user = m_model->User();
    const auto refuse = [this](const QString& text) {
        MessageBox(text, QStringLiteral("Tallyhorn"), MessageIcon::Information, MessageButtons::Ok,
                   this);
    };
    // Fees of the whole loan or more: the table stands, but no disclosure exists.
    if (!(user.fees < user.loan)) {
        refuse(QStringLiteral("The prepaid finance charge must be from 0 to less than the loan "
                              "amount, not %1")
                   .arg(TableTexts::Money(user.fees)));
        return;
    }
    std::unique_ptr<TfrmLoanSummary> dialog;
    try {
        dialog = std::make_unique<TfrmLoanSummary>(*m_model, this);
    } catch (const calc::ERangeError& e) {
        refuse(QString::fromStdString(e.what()));
        return;
    }
    ShowModalDialog(this, std::move(dialog));
}
