// The main window's accessible names: what a screen reader says for each control.
#include "app/Main.h"
#include "controls/Aligrid.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "platform/RadioGroup.h"

#include <QLabel>
#include <QPushButton>

namespace {

// The caption label of `field`: the label among the field's siblings showing `caption`.
QLabel* CaptionLabel(QWidget* field, const QString& caption)
{
    for (QLabel* label : field->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label->text() == caption)
            return label;
    return nullptr;
}

// Names the field by its caption and makes the caption the field's buddy. A caption holding
// "&" (Payment (P&I)) is not made a buddy: as one it would turn the "&" into a mnemonic.
void NameByCaption(QWidget* field, const QString& caption, const QString& name = {})
{
    field->setAccessibleName(name.isEmpty() ? caption : name);
    if (QLabel* label = CaptionLabel(field, caption); label && !caption.contains('&'))
        label->setBuddy(field);
}

} // namespace

void TfrmMain::NameControls()
{
    const std::pair<QWidget*, const char*> fields[] = {
        {edtPurchasePrice, "Purchase Price"},
        {edtDownPaymentPercent, "Percent Down"},
        {edtTerm, "Term in Years"},
        {edtInterest, "Interest Rate"},
        {edtLoan, "Loan Amount"},
        {edtPayment, "Payment (P&I)"},
        {edtFixedFees, "Total Fixed Fees"},
        {edtDownPayment, "Down Payment"},
        {edtAPR, "APR"},
        {edtOriginationFees, "Origination Fees"},
        {edtPoints, "Points"},
        {edtPrepaidMortgageInterest, "Prepaid Interest"},
        {edtMortgageInsurancePremiums, "Insurance Premiums"},
        {edtBuydownFunds, "Buydown Funds"},
        {edtFloodCheckFee, "Flood Check Fee"},
        {edtTaxServicingFee, "Tax Servicing Fee"},
        {edtOtherFees, "Other Fees"},
    };
    for (const auto& [field, caption] : fields)
        NameByCaption(field, caption);
    // The caption as the screen shows it first, what it totals as its description.
    NameByCaption(edtTotal, "TOTAL", "Total");
    edtTotal->setAccessibleDescription("Total of the fixed fees entered");
    NameByCaption(rgLoan, "Purchase Price Increment:", "Purchase Price Increment");
    NameByCaption(rgFixed, "Fixed Fees Increment:", "Fixed Fees Increment");

    // The items' captions start with a blank that spaces them from the circle.
    for (TRadioGroup* group : {rgLoan, rgFixed})
        for (int i = 0; i < group->Items().size(); ++i)
            group->Button(i)->setAccessibleName(group->Items()[i].trimmed());

    btnCalcFixed->setAccessibleName("Itemize Fixed Fees");
    btnCalcFixed->setAccessibleDescription("Click to itemize fixed fees");
    btnCloseFixedFees->setAccessibleName("OK");
    btnCloseFixedFees->setAccessibleDescription("Click to close Fixed Fees Entry");
    pnlToolbar->setAccessibleName("Toolbar");
    pnlCalculator->setAccessibleName("Calculator");
    pnlFixedFees->setAccessibleName("Fixed Fees Entry");
    grdAPR->setAccessibleName("APR Table");
    grdAPR->setAccessibleDescription(
        "Annual percentage rates by loan amount (rows) and total fixed fees (columns)");
}
