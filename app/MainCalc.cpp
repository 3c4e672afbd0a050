// The calculator window's calculation flow: the recalculation triggers, CalcAPRTable and the
// table build, AutoCalc, Reset, printing permission, fixed fees and the hint line.
#include "app/Main.h"
#include "calc/DefaultInputs.h"
#include "controls/Aligrid.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "controls/NumberFormats.h"
#include "controls/StatusLine.h"
#include "controls/URL.h"
#include "loan/TableTexts.h"
#include "platform/Application.h"
#include "platform/LoopGuard.h"
#include "platform/RadioGroup.h"
#include "platform/Regional.h"
#include "platform/ScreenCursor.h"

#include <QApplication>
#include <QFrame>
#include <QPointer>
#include <QTimer>

namespace {
const QColor yellow(255, 255, 0);

// Sets the default cursor again when a calculation ends, normally or by an exception.
struct CursorRestorer {
    ~CursorRestorer() { Screen::SetCursor(TCursor::crDefault); }
};
} // namespace

void TfrmMain::ConnectHandlers()
{
    auto guarded = [this](auto handler) {
        return [this, handler] { Application::Guard(this, handler); };
    };
    // Recalculation triggers: every loss of focus of the four inputs, the increments, Calculate.
    connect(edtPurchasePrice, &TNumEdit::OnExit, this,
            guarded([this] { InputExit(edtPurchasePrice); }));
    for (TFnpNumericEdit* edit : {edtDownPaymentPercent, edtTerm, edtInterest})
        connect(edit, &TFnpNumericEdit::OnExit, this, guarded([this, edit] { InputExit(edit); }));
    for (QWidget* input : InputFields())
        input->installEventFilter(this);
    for (TRadioGroup* group : {rgLoan, rgFixed})
        connect(group, &TRadioGroup::Click, this, guarded([this, group] { CalcAPRTable(group); }));
    // Calculate and the AutoCalc switch read the inputs: a number still being typed counts,
    // committed first as leaving its field would (a refused text stops the command).
    const auto committed = [this](auto command) {
        return [this, command] {
            const TLoopGuard guard(this);
            if (CommitFieldBeingEdited() && guard.Alive())
                command();
        };
    };
    connect(btnCalculate, &TExplorerButton::OnClick, this,
            guarded(committed([this] { CalcAPRTable(btnCalculate); })));
    connect(mnuFileCalculate, &QAction::triggered, this,
            guarded(committed([this] { CalcAPRTable(btnCalculate); })));

    connect(btnAutoCalcStatus, &TExplorerButton::OnClick, this,
            guarded(committed([this] { SetAutoCalcStatus(btnAutoCalcStatus); })));
    connect(mnuPreferencesAutoCalc, &QAction::triggered, this,
            guarded(committed([this] { SetAutoCalcStatus(mnuPreferencesAutoCalc); })));
    connect(btnReset, &TExplorerButton::OnClick, this, guarded([this] { Reset(btnReset); }));
    connect(mnuFileReset, &QAction::triggered, this, guarded([this] { Reset(mnuFileReset); }));

    // Fixed fees.
    connect(btnCalcFixed, &QPushButton::clicked, this, guarded([this] { CalculateFixedFees(); }));
    for (TNumEdit* fee : FeeFields())
        connect(fee, &TNumEdit::OnExit, this, guarded([this] { AddFixedFees(); }));
    connect(edtTotal, &TNumEdit::OnExit, this, guarded([this] { AddFixedFees(); }));
    connect(btnCloseFixedFees, &QPushButton::clicked, this,
            guarded([this] { btnCloseFixedFeesClick(); }));

    // Commands.
    for (QAction* a : {mnuFilePrint, mnuPopPrint})
        connect(a, &QAction::triggered, this, guarded([this] { btnPrintClick(); }));
    connect(btnPrint, &TExplorerButton::OnClick, this, guarded([this] { btnPrintClick(); }));
    connect(mnuFileLoanSummary, &QAction::triggered, this,
            guarded([this] { mnuFileLoanSummaryClick(); }));
    connect(mnuFileCompareOffers, &QAction::triggered, this,
            guarded([this] { mnuFileCompareOffersClick(); }));
    connect(mnuFilePrintSetup, &QAction::triggered, this,
            guarded([this] { mnuFilePrintSetupClick(); }));
    connect(btnPrinterSetup, &TExplorerButton::OnClick, this,
            guarded([this] { mnuFilePrintSetupClick(); }));
    for (QAction* a : {mnuFileExit, mnuPopExit})
        connect(a, &QAction::triggered, this, guarded([this] { btnExitClick(); }));
    connect(btnExit, &TExplorerButton::OnClick, this, guarded([this] { btnExitClick(); }));
    for (QAction* a : {mnuHelpAbout, mnuPopAbout})
        connect(a, &QAction::triggered, this, guarded([this] { btnAboutClick(); }));
    // The disclaimer is about the figures shown: a number still being typed is taken first.
    connect(btnDisclaim, &TExplorerButton::OnClick, this,
            guarded(committed([this] { btnDisclaimClick(); })));
    connect(mnuHelpDisclaimer, &QAction::triggered, this,
            guarded(committed([this] { btnDisclaimClick(); })));
    connect(mnuHelpUpdate, &QAction::triggered, this, guarded([this] { ShowUpdate(); }));
    connect(btnUpdate, &TExplorerButton::OnClick, this, guarded([this] { ShowUpdate(); }));
    connect(mnuHelpContents, &QAction::triggered, this,
            guarded([this] { mnuHelpContentsClick(); }));
    connect(btnHelp, &TExplorerButton::OnClick, this, guarded([this] { mnuHelpContentsClick(); }));
    connect(SearchforHelpOn1, &QAction::triggered, this, guarded([this] { mnuHelpSearchClick(); }));
    connect(HowtoUseHelp1, &QAction::triggered, this, guarded([this] { mnuHelpHowClick(); }));
    const std::pair<QAction*, TURL*> links[] = {{mnuInternetWebHome, UrlHome},
                                                {mnuInternetApplicationPage, UrlApplication},
                                                {mnuInternetFreeware, UrlFreeware},
                                                {mnuInternetWebSuggest, UrlSuggest},
                                                {mnuInternetEmailSuggest, UrlEmailSuggest},
                                                {mnuInternetEmailSupport, UrlEmailSupport}};
    for (const auto& [action, url] : links)
        connect(action, &QAction::triggered, this, guarded([this, url = url] { OpenUrl(url); }));
}

std::array<QWidget*, 4> TfrmMain::InputFields() const
{
    return {edtPurchasePrice, edtDownPaymentPercent, edtTerm, edtInterest};
}

void TfrmMain::InputExit(QObject* field)
{
    if (!m_exitByMouse) {
        CalcAPRTable(field);
        return;
    }
    // A mouse press moved the focus and is still on its way to the control it hit. The
    // calculation passes window messages on, so run it after the press: otherwise the button
    // would see its release before its press, and the click (on an increment, say) is lost.
    m_exitByMouse = false;
    QTimer::singleShot(0, this, [this, field = QPointer<QObject>(field)] {
        if (field)
            Application::Guard(this, [this, field] { CalcAPRTable(field); });
    });
}

calc::LoanFormulas TfrmMain::Formulas()
{
    return {
        [this](int n, double principal, double rate) { return CalcPayment(n, principal, rate); },
        [this](int n, double financed, double payment) {
            return CalcSimpleAPR(n, financed, payment);
        },
        [this](int n, double principal, double payment) { return CalcIR(n, principal, payment); }};
}

void TfrmMain::CalcAPRTable(QObject* trigger)
{
    // A request that arrives while an earlier one runs (the solver lets messages through)
    // replaces it: the earlier one stops at its next message pass and writes nothing more.
    // When the earlier one was going to build the table, the newer one builds it instead.
    const bool requested = m_autoCalc == AutoCalc::On || trigger == btnCalculate;
    m_calc.Calculate(requested, [this](const TCalcGenerations::TRun& run) {
        m_last = {edtPurchasePrice->Value(), edtInterest->Value(), edtTerm->Value(),
                  edtDownPaymentPercent->Value()};
        const LoanInputs inputs = CurrentInputs();

        Screen::SetCursor(TCursor::crHourGlass);
        CursorRestorer restorer;
        btnReset->setEnabled(true);
        mnuFileReset->setEnabled(true);

        const calc::LoanModel model(ModelInputs(), Formulas(), Separator());
        const calc::UserLoan& user = model.User();

        edtDownPayment->SetValue(user.downPayment);
        edtAPR->SetValue(model.Apr());
        edtFixedFees->SetValue(user.fees);
        edtLoan->SetValue(user.loan);
        edtPayment->SetValue(user.payment);
        m_model = model; // the results shown: what the chart and the Loan Summary format

        if (run.Build()) {
            CleanGrid();
            model.BuildTable(TableFormats(), [&](int col, int row, const std::string& text) {
                run.Check();
                grdAPR->SetCells(col, row, QString::fromStdString(text));
            });
            MarkUserCase();
            m_tableInputs = inputs;
        }
        Announce(model, run.Build());
        m_resultInputs = inputs;
        AllowPrinting();
    });
}

void TfrmMain::Announce(const calc::LoanModel& model, bool table)
{
    // On the status line, which a screen reader speaks: what was calculated and for which loan
    // (the table's own cells change silently to the ear). A new table is announced each time;
    // the fields' results only when they changed, not at every field left unchanged.
    const calc::UserLoan& user = model.User();
    const QString figures = QStringLiteral("a loan of %1: payment %2, APR %3%")
                                .arg(TableTexts::Money(user.loan), TableTexts::Money(user.payment),
                                     TableTexts::Fixed(model.Apr(), 3));
    if (!table && figures == m_announced)
        return;
    m_announced = figures;
    StatusBar1->Announce(table ? " APR table calculated for " + figures
                               : " Calculated for " + figures + "; the table is not updated");
}

calc::AprTableFormats TfrmMain::TableFormats()
{
    return TableTexts::CellFormats(); // shared with the grid's copy and the command line
}

void TfrmMain::MarkUserCase()
{
    grdAPR->SetSelection(TGridRect{1, 6, 1, 6});
    grdAPR->SetColorCol(1, yellow);
    grdAPR->SetColorRow(6, yellow);
}

void TfrmMain::CleanGrid()
{
    grdAPR->SetRowCount(calc::AprTableRows);
    for (int col = 0; col < grdAPR->ColCount(); ++col)
        for (int row = 0; row < grdAPR->RowCount(); ++row)
            grdAPR->SetCells(col, row, QString());
}

void TfrmMain::ShowAutoCalcLook(bool on)
{
    btnAutoCalcStatus->SetCaption(on ? "AutoCalc Grid:  ON" : "AutoCalc Grid:  OFF");
    mnuPreferencesAutoCalc->setChecked(on);
    btnCalculate->setVisible(!on);
    mnuFileCalculate->setVisible(!on);
    mnuFileCalculate->setEnabled(!on);
}

void TfrmMain::SetAutoCalcStatus(QObject* sender)
{
    // From a kept text as from Off, the switch goes to a known state: Off.
    const bool on = m_autoCalc == AutoCalc::Off;
    ShowAutoCalcLook(on);
    btnAutoCalcStatus->SetHint(on ? "Click to turn off AutoCalc" : "Click to turn on AutoCalc");
    m_autoCalc = on ? AutoCalc::On : AutoCalc::Off;
    m_keptAutoCalc.clear();
    WriteIniValue("AutoCalc", StoredAutoCalc());
    if (on)
        CalcAPRTable(sender);
}

calc::LoanInputs TfrmMain::ModelInputs() const
{
    calc::LoanInputs in;
    in.price = edtPurchasePrice->Value();
    in.downPercent = edtDownPaymentPercent->Value();
    in.term = edtTerm->Value();
    in.rate = edtInterest->Value();
    in.fees = edtFixedFees->Value();
    in.loanStep = calc::IncrementOfItem(rgLoan->ItemIndex());
    in.feeStep = calc::IncrementOfItem(rgFixed->ItemIndex());
    return in;
}

char TfrmMain::Separator()
{
    const char separator = Regional::Current().DecimalSeparator.toLatin1();
    return separator ? separator : '.';
}

void TfrmMain::ShowStartResults()
{
    // The result fields show the figures of the loan the window starts with, not placeholders
    // (a loan amount of $1.00 beside a $100,000 price); the table waits for a calculation. A
    // loan the formulas refuse keeps the placeholders, and its first calculation reports it.
    try {
        const calc::LoanModel model(ModelInputs(), calc::LoanFormulas{}, Separator());
        const double apr = model.Apr();
        const calc::UserLoan& user = model.User();
        edtDownPayment->SetValue(user.downPayment);
        edtAPR->SetValue(apr);
        edtLoan->SetValue(user.loan);
        edtPayment->SetValue(user.payment);
    } catch (const std::exception&) {
    }
}

void TfrmMain::InitialAutoCalcStatus()
{
    if (m_autoCalc == AutoCalc::On) {
        ShowAutoCalcLook(true);
        CalcAPRTable(this);
    } else {
        if (m_autoCalc == AutoCalc::Off)
            ShowAutoCalcLook(false);
        ShowStartResults();
    }
    WriteIniValue("AutoCalc", StoredAutoCalc());
}

void TfrmMain::Reset(QObject* sender)
{
    Q_UNUSED(sender);
    m_calc.Supersede(); // a running calculation stops writing
    ShowAutoCalcLook(false);
    btnAutoCalcStatus->SetHint("Click to turn on AutoCalc");
    m_autoCalc = AutoCalc::Off;
    m_keptAutoCalc.clear();
    pnlFixedFees->hide();
    CleanGrid();
    m_tableInputs.reset();
    m_resultInputs.reset();
    m_model.reset();
    edtPurchasePrice->SetValue(DefaultInputs.price);
    edtDownPaymentPercent->SetValue(DefaultInputs.downPercent);
    edtDownPayment->SetValue(0);
    edtLoan->SetValue(0);
    edtTerm->SetValue(DefaultInputs.term);
    edtInterest->SetValue(DefaultInputs.interest);
    edtPayment->SetValue(0);
    edtFixedFees->SetValue(0);
    edtAPR->SetValue(0);
    for (TNumEdit* fee : FeeFields())
        fee->SetValue(0);
    edtTotal->SetValue(0);
    DisallowPrinting();
    btnReset->setEnabled(false);
    mnuFileReset->setEnabled(false);
    edtPurchasePrice->setFocus(Qt::OtherFocusReason);
}

void TfrmMain::AllowPrinting()
{
    btnPrint->setEnabled(true);
    mnuFilePrint->setEnabled(true);
    mnuFileLoanSummary->setEnabled(true);
    mnuPopPrint->setEnabled(true);
}

void TfrmMain::DisallowPrinting()
{
    btnPrint->setEnabled(false);
    mnuFilePrint->setEnabled(false);
    mnuFileLoanSummary->setEnabled(false);
    mnuPopPrint->setEnabled(false);
}

void TfrmMain::FormResize()
{
    grdAPR->resize(grdAPR->width(), qMax(100, m_client->height() - GridTop));
}

void TfrmMain::DisplayHint(const QString& hint)
{
    StatusBar1->setText(GetLongHint(hint));
}

void TfrmMain::CalculateFixedFees()
{
    lblTitle->setText("Fixed Fees Entry");
    pnlFixedFees->show();
    edtOriginationFees->setFocus(Qt::OtherFocusReason);
}

void TfrmMain::CoverFieldsUnderFees()
{
    const bool shown = !pnlFixedFees->isHidden();
    if (shown == m_underFees.has_value())
        return;
    if (!shown) {
        for (const QPointer<QWidget>& covered : *m_underFees)
            if (covered)
                covered->show();
        m_underFees.reset();
        return;
    }
    // Only what lies wholly under the panel; the focus goes to the panel before its control
    // hides, so that it does not wander through the others.
    QList<QPointer<QWidget>> covered;
    for (QWidget* w : pnlCalculator->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w != pnlFixedFees && !w->isHidden() && pnlFixedFees->geometry().contains(w->geometry()))
            covered << w;
    QWidget* focus = QApplication::focusWidget();
    for (const QPointer<QWidget>& w : covered)
        if (focus && (focus == w || w->isAncestorOf(focus)))
            edtOriginationFees->setFocus(Qt::OtherFocusReason);
    for (const QPointer<QWidget>& w : covered)
        w->hide();
    m_underFees = covered;
}

std::array<TNumEdit*, 8> TfrmMain::FeeFields() const
{
    return {edtOriginationFees,           edtPoints,       edtPrepaidMortgageInterest,
            edtMortgageInsurancePremiums, edtBuydownFunds, edtFloodCheckFee,
            edtTaxServicingFee,           edtOtherFees};
}

void TfrmMain::AddFixedFees()
{
    double sum = 0;
    for (TNumEdit* fee : FeeFields())
        sum += fee->Value();
    edtTotal->SetValue(sum);
    edtFixedFees->SetValue(sum);
}

void TfrmMain::btnCloseFixedFeesClick()
{
    AddFixedFees();
    pnlFixedFees->hide();
    edtPurchasePrice->setFocus(Qt::OtherFocusReason);
    CalcAPRTable(btnCloseFixedFees);
}

void TfrmMain::OpenUrl(TURL* url)
{
    url->Execute(); // the shell reports a missing browser or mail program itself
}
