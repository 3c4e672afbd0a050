// The calculator window's print command: lays the APR chart out and previews it. The chart
// reads this window's controls through its data source.
#include "app/Main.h"
#include "controls/Aligrid.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumCtrl.h"
#include "report/QRAPRChart.h"

TQRAPRChart& TfrmMain::Chart()
{
    if (m_chart)
        return *m_chart;
    m_chart = new TQRAPRChart(this);
    TAPRChartSource source;
    source.Values = [this] {
        TAPRChartValues v;
        v.PurchasePrice = edtPurchasePrice->Value();
        v.DownPaymentPercent = edtDownPaymentPercent->Value();
        v.DownPayment = edtDownPayment->Value();
        v.Loan = edtLoan->Value();
        v.Term = edtTerm->Value();
        v.Interest = edtInterest->Value();
        v.Payment = edtPayment->Value();
        v.FixedFees = edtFixedFees->Value();
        v.APR = edtAPR->Value();
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

void TfrmMain::btnPrintClick()
{
    Chart().Preview();
}
