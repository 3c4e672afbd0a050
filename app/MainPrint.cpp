// The calculator window's print command: lays the APR chart out and previews it. The chart
// reads this window's controls through its data source.
#include "app/Main.h"
#include "controls/Aligrid.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/KeyRoutedEdit.h"
#include "controls/NumCtrl.h"
#include "loan/ChartValues.h"
#include "platform/LoopGuard.h"
#include "platform/RadioGroup.h"
#include "report/QRAPRChart.h"
#include "report/QRPrinter.h"

#include <QApplication>
#include <QPointer>

TQRAPRChart& TfrmMain::Chart()
{
    if (m_chart)
        return *m_chart;
    m_chart = new TQRAPRChart(this);
    TAPRChartSource source;
    source.Values = [this] {
        // The loan's figures from the calculation the chart belongs to; the fees as itemised.
        TAPRChartValues v = m_model ? LoanChartValues(*m_model) : TAPRChartValues{};
        v.OriginationFees = edtOriginationFees->Value();
        v.Points = edtPoints->Value();
        v.PrepaidMortgageInterest = edtPrepaidMortgageInterest->Value();
        v.MortgageInsurancePremiums = edtMortgageInsurancePremiums->Value();
        v.BuydownFunds = edtBuydownFunds->Value();
        v.FloodCheckFee = edtFloodCheckFee->Value();
        v.TaxServicingFee = edtTaxServicingFee->Value();
        v.OtherFees = edtOtherFees->Value();
        v.Total = edtTotal->Value();
        return v;
    };
    source.RowCount = [this] { return grdAPR->RowCount(); };
    source.Cell = [this](int column, int row) { return grdAPR->Cells(column, row); };
    source.WebAddress = QString::fromLatin1(Maker::Host);
    m_chart->SetSource(std::move(source));
    return *m_chart;
}

TfrmMain::LoanInputs TfrmMain::CurrentInputs() const
{
    return {edtPurchasePrice->Value(), edtDownPaymentPercent->Value(), edtTerm->Value(),
            edtInterest->Value(),      edtFixedFees->Value(),          rgLoan->ItemIndex(),
            rgFixed->ItemIndex()};
}

bool TfrmMain::ChartCurrent() const
{
    const LoanInputs now = CurrentInputs();
    return m_resultInputs == now && m_tableInputs == now;
}

bool TfrmMain::CommitFieldBeingEdited()
{
    // The focus leaves the field for the window's client area and comes back: exactly what
    // leaving the field runs, with the field's own rules (a refused text keeps the focus).
    const QPointer<QWidget> field = QApplication::focusWidget();
    if (!field || field->window() != this || !qobject_cast<TKeyRoutedEdit*>(field.data()))
        return true;
    m_client->setFocus(Qt::OtherFocusReason);
    if (!field)
        return false;
    if (QApplication::focusWidget() == field)
        return false;
    field->setFocus(Qt::OtherFocusReason);
    return true;
}

void TfrmMain::btnPrintClick()
{
    // Laying out, previewing and printing let messages through (the progress window, the
    // solver, the preview's own loop): a print command arriving meanwhile is not a second
    // report.
    if (TQRPrinter::Instance().State() != TQRPrinterState::Idle)
        return;
    const TReentryGuard entry(this, m_reporting);
    if (!entry.Entered())
        return;
    const TLoopGuard guard(this);
    if (!CommitFieldBeingEdited() || !guard.Alive())
        return;

    // A chart shows one loan: results and table of the inputs the fields hold now. With
    // AutoCalc off the table may belong to earlier inputs; it is brought up to date first, as
    // Calculate would.
    if (!ChartCurrent()) {
        CalcAPRTable(btnCalculate);
        if (!guard.Alive() || !ChartCurrent())
            return; // replaced by a newer calculation, or Reset meanwhile
    }
    Chart().Preview();
}
