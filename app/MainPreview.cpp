// The calculator window's preview hook and printer setup.
#include "app/Main.h"
#include "platform/LoopGuard.h"
#include "report/Preview.h"
#include "report/QRPrinter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

void TfrmMain::InstallPreview()
{
    // The page store outlives the window: the hook goes with it.
    m_previewHook = std::make_unique<TQRPreviewHook>([this] { MyPreview(); });
}

void TfrmMain::MyPreview()
{
    // Made on first use and shown again for every preview.
    if (!m_frmPreview)
        m_frmPreview = new TfrmPreview(this);
    // The window the preview was opened from (this one, or a dialog of it such as the Loan
    // Summary) is active again when the preview closes. Qt hands the activation back only
    // when the preview is still the active window as it hides; after a progress or help window
    // came and went meanwhile, the window manager may give it to no window at all.
    QPointer<QWidget> opener = QApplication::activeWindow();
    if (!opener || opener == m_frmPreview)
        opener = this;
    m_frmPreview->exec();
    if (opener && opener->isVisible()) {
        opener->raise();
        opener->activateWindow();
    }
}

void TfrmMain::mnuFilePrintSetupClick()
{
    // The printer or file chosen here stays the one printing uses until the program ends;
    // Cancel leaves the previous choice as it was.
    const TReentryGuard entry(this, m_modalBusy[ModalPrintSetup]);
    if (!entry.Entered())
        return;
    // On the heap: should the window go while the dialog runs, the dialog goes with it.
    const QPointer<QPrintDialog> dialog = new QPrintDialog(&TQRPrinter::Instance().Printer(), this);
    dialog->setObjectName("PrinterSetupDialog");
    dialog->setWindowTitle("Print Setup");
    dialog->setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                       QAbstractPrintDialog::PrintCollateCopies);
    // A setup, not a print: the dialog confirms with OK and offers no preview of its own.
    if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText("OK");
    if (auto* preview = dialog->findChild<QCheckBox*>("preview"))
        preview->hide();
    dialog->exec();
    delete dialog.data(); // nothing when it went with the window
}
