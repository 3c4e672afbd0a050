// The calculator window's Compare Offers command: the dialog of two to four offers, started
// from the offers kept in the settings file, a new offer being the window's loan; the offers
// are kept again when it closes.
#include "app/CompareOffersDialog.h"
#include "app/Main.h"
#include "app/ModalDialog.h"
#include "calc/Errors.h"
#include "calc/LoanModel.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumCtrl.h"
#include "loan/StoredOffers.h"
#include "platform/LoopGuard.h"
#include "platform/ProfileFile.h"
#include "platform/Regional.h"
#include "report/QRPrinter.h"

#include <QPointer>

calc::Offer TfrmMain::WindowOffer() const
{
    calc::Offer offer;
    offer.term = edtTerm->Value();
    offer.rate = edtInterest->Value();
    offer.fees = edtFixedFees->Value();
    offer.loan = edtPurchasePrice->Value();
    // The loan the fields make, in cents as the calculation finds it; the price when they
    // make none (the dialog then says what is wrong with the offer).
    try {
        calc::LoanInputs in;
        in.price = offer.loan;
        in.downPercent = edtDownPaymentPercent->Value();
        in.term = offer.term;
        in.rate = offer.rate;
        in.fees = offer.fees;
        const char separator = Regional::Current().DecimalSeparator.toLatin1();
        offer.loan = calc::LoanModel(in, {}, separator ? separator : '.').User().loan;
    } catch (const std::exception&) {
    }
    return offer;
}

void TfrmMain::mnuFileCompareOffersClick()
{
    // A report being laid out or printed keeps the page store the dialog's preview would use.
    if (m_reporting || TQRPrinter::Instance().State() != TQRPrinterState::Idle)
        return;
    const TReentryGuard entry(this, m_modalBusy[ModalCompareOffers]);
    if (!entry.Entered())
        return;
    const QPointer<TfrmMain> self(this);
    if (!CommitFieldBeingEdited() || !self)
        return;
    const calc::Offer added = WindowOffer();
    const std::vector<calc::Offer> stored = TStoredOffers::Read(ProfileFile(m_iniFileName), added);
    auto dialog = std::make_unique<TfrmCompareOffers>(stored, added, this);
    connect(dialog.get(), &QDialog::finished, this, [this, d = dialog.get()] {
        Application::Guard(this, [this, d] { SaveOffers(d->Offers()); });
    });
    ShowModalDialog(this, std::move(dialog));
}

void TfrmMain::SaveOffers(const std::vector<calc::Offer>& offers)
{
    if (!ProfileFile(m_iniFileName)
             .WriteStrings(TStoredOffers::Section, TStoredOffers::Entries(offers)))
        ReportSettingsProblem(QStringLiteral("Tallyhorn cannot save its settings in \"%1\": the "
                                             "offers compared will not be remembered.")
                                  .arg(m_iniFileName));
}
