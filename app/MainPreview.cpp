// The calculator window's preview hook and printer setup.
#include "app/Main.h"
#include "report/Preview.h"
#include "report/QRPrinter.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {
// The window whose MyPreview is the page store's preview hook.
const TfrmMain* g_previewOwner = nullptr;
} // namespace

void TfrmMain::InstallPreview()
{
    g_previewOwner = this;
    TQRPrinter::Instance().OnPreview = [this] { MyPreview(); };
    // The page store outlives the window: the hook goes with it.
    connect(this, &QObject::destroyed, [owner = this] {
        if (g_previewOwner == owner) {
            TQRPrinter::Instance().OnPreview = nullptr;
            g_previewOwner = nullptr;
        }
    });
}

void TfrmMain::MyPreview()
{
    // Made on first use and shown again for every preview.
    if (!m_frmPreview)
        m_frmPreview = new TfrmPreview(this);
    m_frmPreview->exec();
}

void TfrmMain::mnuFilePrintSetupClick()
{
    // The printer or file chosen here stays the one printing uses until the program ends;
    // Cancel leaves the previous choice as it was.
    QPrintDialog dialog(&TQRPrinter::Instance().Printer(), this);
    dialog.setObjectName("PrinterSetupDialog");
    dialog.setWindowTitle("Print Setup");
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    // A setup, not a print: the dialog confirms with OK and offers no preview of its own.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText("OK");
    if (auto* preview = dialog.findChild<QCheckBox*>("preview"))
        preview->hide();
    dialog.exec();
}
