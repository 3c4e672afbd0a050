// The calculator window's preview hook and printer setup.
#include "app/Main.h"
#include "platform/LoopGuard.h"
#include "report/Preview.h"
#include "report/QRPrinter.h"

#include <QApplication>
#include <QCheckBox>
#include <QChildEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPageSize>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <functional>

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
    const TLoopGuard guard(this); // the window may be closed while its preview runs
    m_frmPreview->exec();
    if (!guard.Alive())
        return;
    if (opener && opener->isVisible()) {
        opener->raise();
        opener->activateWindow();
    }
}

namespace {
// What printer setup may change and puts back where the user did not change it.
struct TPrinterChoice {
    QString PrinterName;
    QString OutputFile; // empty: the printer
    QPageSize Paper;

    static TPrinterChoice Of(const QPrinter& printer)
    {
        return {printer.printerName(), printer.outputFileName(), printer.pageLayout().pageSize()};
    }
    void RestoreDestination(QPrinter& printer) const
    {
        if (OutputFile.isEmpty()) {
            printer.setOutputFileName(QString());
            printer.setOutputFormat(QPrinter::NativeFormat);
            printer.setPrinterName(PrinterName);
        } else {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(OutputFile);
        }
    }
    // The paper again, where the printer now chosen takes it (a file takes any).
    void RestorePaper(QPrinter& printer) const
    {
        bool supported = !printer.outputFileName().isEmpty();
        for (const QPageSize& size : QPrinterInfo(printer).supportedPageSizes())
            supported = supported || size.isEquivalentTo(Paper);
        if (supported && !printer.pageLayout().pageSize().isEquivalentTo(Paper))
            printer.setPageSize(Paper);
    }
};

// Qt's print dialog opens on the default printer, and its Properties page (made when first
// opened, or at OK) on the queue's default paper; committed as they are, OK would silently
// change both. This watches the dialog: OnShown runs once the dialog has filled its printer
// list (the file entry comes last, when it is shown); the Properties page shows the paper in
// use when it first appears, and what it showed and what the user confirmed with its OK are
// remembered, so that OK can tell whether the user changed it.
class TPrintSetupWatch : public QObject {
public:
    TPrintSetupWatch(QPrintDialog* dialog, const QPageSize& paper)
        : QObject(dialog), m_dialog(dialog), m_paper(paper)
    {
        dialog->installEventFilter(this);
    }
    std::function<void()> OnShown;

    // The Properties page's paper list, once the page exists.
    QComboBox* PaperList() const
    {
        for (QDialog* page : m_dialog->findChildren<QDialog*>())
            if (auto* list = page->findChild<QComboBox*>(QStringLiteral("pageSizeCombo")))
                return list;
        return nullptr;
    }
    // True when the user confirmed the Properties page with another paper than it showed
    // (Cancel on the page puts back the paper the page started with, the queue's default).
    bool PaperChanged() const
    {
        return m_shownList && PaperList() == m_shownList && m_chosenIndex != m_shownIndex;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_dialog && event->type() == QEvent::Show && OnShown) {
            const std::function<void()> shown = std::move(OnShown);
            OnShown = nullptr;
            shown();
        }
        if (watched == m_dialog && event->type() == QEvent::ChildPolished) {
            auto* page = qobject_cast<QDialog*>(static_cast<QChildEvent*>(event)->child());
            QComboBox* list =
                page ? page->findChild<QComboBox*>(QStringLiteral("pageSizeCombo")) : nullptr;
            if (list && list != m_shownList) {
                // A page made anew (the printer changed) starts again from the paper in use.
                for (int i = 0; i < list->count(); ++i)
                    if (list->itemData(i).value<QPageSize>().isEquivalentTo(m_paper)) {
                        list->setCurrentIndex(i);
                        break;
                    }
                m_shownList = list;
                m_shownIndex = m_chosenIndex = list->currentIndex();
                connect(page, &QDialog::accepted, this, [this, list] {
                    if (list == m_shownList)
                        m_chosenIndex = list->currentIndex();
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPrintDialog* m_dialog;
    QPageSize m_paper;
    QPointer<QComboBox> m_shownList;
    int m_shownIndex = -1;  // the paper the page showed first
    int m_chosenIndex = -1; // the paper it had when the user last confirmed it
};
} // namespace

void TfrmMain::mnuFilePrintSetupClick()
{
    // The printer or file and the paper chosen here stay the ones printing uses until the
    // program ends; Cancel leaves the previous choice as it was, and OK keeps whatever the
    // user did not change.
    const TReentryGuard entry(this, m_modalBusy[ModalPrintSetup]);
    if (!entry.Entered())
        return;
    QPrinter& printer = TQRPrinter::Instance().Printer();
    const TPrinterChoice before = TPrinterChoice::Of(printer);
    // On the heap: should the window go while the dialog runs, the dialog goes with it.
    const QPointer<QPrintDialog> dialog = new QPrintDialog(&printer, this);
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

    // The dialog opens on the printer or the file in use (it would pick the default printer,
    // and picking one changes the printer's output and paper at once).
    auto* printers = dialog->findChild<QComboBox*>("printers");
    auto* fileName = dialog->findChild<QLineEdit*>("filename");
    int shownPrinter = -1;
    QString shownFile;
    auto* watch = new TPrintSetupWatch(dialog, before.Paper);
    watch->OnShown = [&] {
        if (printers) {
            // The file entry is the list's last; the printers come first.
            const int shown = before.OutputFile.isEmpty() ? printers->findText(before.PrinterName)
                                                          : printers->count() - 1;
            if (shown >= 0)
                printers->setCurrentIndex(shown);
            shownPrinter = printers->currentIndex();
        }
        if (fileName) {
            if (!before.OutputFile.isEmpty())
                fileName->setText(before.OutputFile);
            shownFile = fileName->text();
        }
        before.RestoreDestination(printer);
        before.RestorePaper(printer);
    };

    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return; // went with the window
    const bool printerChanged =
        (printers && printers->currentIndex() != shownPrinter) ||
        (fileName && fileName->text() != shownFile && !printer.outputFileName().isEmpty());
    const bool paperChanged = watch->PaperChanged();
    if (!accepted || !printerChanged)
        before.RestoreDestination(printer);
    if (!accepted || !paperChanged)
        before.RestorePaper(printer);
    delete dialog.data();
}
