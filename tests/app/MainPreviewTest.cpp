// The calculator window's preview hook and printer setup: the hook shows the one preview
// window modally and goes with the window; printer setup works on the page store's printer,
// and what it chooses stays chosen.
#include "app/Main.h"
#include "controls/Aligrid.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "report/Preview.h"
#include "report/QRAPRChart.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "tests/support/FindChild.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempFolder.h"

#include <QAbstractPrintDialog>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {
// Runs `onModal` on the first modal window that `start` opens, from the message loop.
template <typename T>
bool OnModal(const std::function<void()>& start, std::function<void(T*)> onModal)
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget()); modal && !seen) {
            seen = true;
            poll.stop();
            onModal(modal);
        }
    });
    poll.start();
    start();
    return seen;
}

struct MainPreviewTest : ::testing::Test {
    TempProgramFolder folder;
    std::unique_ptr<TfrmMain> w;
    void SetUp() override { w = std::make_unique<TfrmMain>(); }
    void TearDown() override
    {
        w.reset();
        TQRPrinter::Instance().Cleanup();
    }
};

TEST_F(MainPreviewTest, HookShowsTheSamePreviewWindowModallyEachTime)
{
    TQRPrinter& store = TQRPrinter::Instance();
    ASSERT_TRUE(store.HasPreviewHook());
    QList<QDialog*> shown;
    for (int pages : {2, 1}) {
        store.BeginDoc();
        for (int page = 2; page <= pages; ++page)
            store.NewPage();
        store.EndDoc();
        const bool seen =
            OnModal<QDialog>([&] { store.ShowPreview(); },
                             [&](QDialog* preview) {
                                 shown << preview;
                                 EXPECT_EQ(preview->objectName(), "frmPreview");
                                 EXPECT_EQ(preview->parentWidget(), w.get());
                                 EXPECT_EQ(preview->findChild<QLabel*>("Label1")->text(),
                                           QString("Page 1 of %1").arg(pages));
                                 preview->findChild<TExplorerButton*>("bbClose")->OnClick();
                             });
        EXPECT_TRUE(seen) << pages;
        store.Cleanup();
    }
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0], shown[1]);
    w.reset();
    EXPECT_FALSE(store.HasPreviewHook()) << "the hook goes with the window";
}

TEST_F(MainPreviewTest, PdfFileChosenInSetupIsWhatPrintingUses)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("chart.pdf");
    QPrinter& printer = TQRPrinter::Instance().Printer();
    const auto setup = [&](bool choose) {
        return OnModal<QAbstractPrintDialog>(
            [&] { Find<QAction>(*w, "mnuFilePrintSetup")->trigger(); },
            [&](QAbstractPrintDialog* dialog) {
                EXPECT_EQ(dialog->printer(), &printer);
                auto* printers = dialog->findChild<QComboBox*>("printers");
                auto* file = dialog->findChild<QLineEdit*>("filename");
                ASSERT_TRUE(printers && file) << "the print dialog's controls have other names";
                if (!choose)
                    return dialog->reject();
                // The file entry, not a print queue whose name happens to hold "PDF".
                const int toFile = printers->findText("Print to File (PDF)");
                ASSERT_GE(toFile, 0);
                printers->setCurrentIndex(toFile);
                file->setText(pdf);
                dialog->accept();
            });
    };
    ASSERT_TRUE(setup(true));
    ASSERT_EQ(printer.outputFileName(), pdf);
    ASSERT_TRUE(setup(false));
    EXPECT_EQ(printer.outputFileName(), pdf) << "still chosen after a cancelled setup";

    TQRPrinter& store = TQRPrinter::Instance();
    store.BeginDoc();
    store.NewPage();
    store.EndDoc();
    EXPECT_TRUE(store.PrinterOK());
    EXPECT_TRUE(OnModal<QDialog>(
        [&] { store.ShowPreview(); },
        [](QDialog* preview) { preview->findChild<TExplorerButton*>("bbPrint")->OnClick(); }));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));
    printer.setOutputFileName(QString());
}

// Printer setup driven through Qt's own dialog: it opens on the printer or file and the paper
// in use, OK without a change keeps them, and Cancel keeps them whatever was changed. The file
// always, and with a printing system each of its queues (the cups-pdf queue of the test's own
// print service), each on papers that are not the queue's default.
struct MainPreviewPrintSetup : MainPreviewTest {
    QPrinter& printer = TQRPrinter::Instance().Printer();
    const QString printerBefore = printer.printerName();
    const QPageLayout layoutBefore = printer.pageLayout();
    QTemporaryDir dir;
    void TearDown() override
    {
        // The shared printer as it was, for the tests after this one in the same process.
        printer.setOutputFileName(QString());
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(printerBefore);
        printer.setPageLayout(layoutBefore);
        MainPreviewTest::TearDown();
    }

    struct Shown {
        QString destination; // the printer list's entry
        QString file;
        QPageSize::PageSizeId paper = QPageSize::Custom; // the Properties page's paper
    };

    // Runs `act` in the open setup dialog, then presses OK or Cancel.
    void Setup(const std::function<void(QPrintDialog*)>& act, bool ok)
    {
        EXPECT_TRUE(
            OnModal<QPrintDialog>([&] { Find<QAction>(*w, "mnuFilePrintSetup")->trigger(); },
                                  [&](QPrintDialog* dialog) {
                                      act(dialog);
                                      ok ? dialog->accept() : dialog->reject();
                                  }));
    }
    // Opens the dialog's Properties page, runs `act` on its paper list and closes the page
    // with OK, or with Cancel when only looking.
    static void OnPaperList(QPrintDialog* dialog, const std::function<void(QComboBox*)>& act,
                            bool ok = true)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            for (QDialog* page : dialog->findChildren<QDialog*>())
                if (auto* list = page->findChild<QComboBox*>("pageSizeCombo");
                    list && page->isVisible()) {
                    seen = true;
                    act(list);
                    ok ? page->accept() : page->reject();
                }
        });
        Find<QPushButton>(*dialog, "properties")->click();
        EXPECT_TRUE(seen);
    }
    static void Choose(QPrintDialog* dialog, const QString& destination, const QString& file,
                       QPageSize::PageSizeId paper)
    {
        auto* printers = Find<QComboBox>(*dialog, "printers");
        const int index = printers->findText(destination);
        ASSERT_GE(index, 0) << destination.toStdString();
        printers->setCurrentIndex(index);
        if (!file.isEmpty())
            Find<QLineEdit>(*dialog, "filename")->setText(file);
        OnPaperList(dialog, [&](QComboBox* list) {
            for (int i = 0; i < list->count(); ++i)
                if (list->itemData(i).value<QPageSize>().id() == paper)
                    list->setCurrentIndex(i);
        });
    }
    Shown Reopened(bool ok)
    {
        Shown shown;
        Setup(
            [&](QPrintDialog* dialog) {
                shown.destination = Find<QComboBox>(*dialog, "printers")->currentText();
                shown.file = Find<QLineEdit>(*dialog, "filename")->text();
                OnPaperList(
                    dialog,
                    [&](QComboBox* list) {
                        shown.paper = list->currentData().value<QPageSize>().id();
                    },
                    false);
            },
            ok);
        return shown;
    }
};

TEST_F(MainPreviewPrintSetup, OpensOnTheChoiceInUseAndKeepsWhatTheUserDidNotChange)
{
    const QString toFile = "Print to File (PDF)";
    const QString pdf = dir.filePath("setup.pdf");
    QStringList destinations{toFile};
    destinations += QPrinterInfo::availablePrinterNames();
    for (const QString& destination : destinations)
        for (const QPageSize::PageSizeId paper : {QPageSize::A5, QPageSize::Letter}) {
            SCOPED_TRACE(destination.toStdString() + " on " + QPageSize(paper).key().toStdString());
            const bool file = destination == toFile;
            const auto inUse = [&] {
                EXPECT_EQ(printer.outputFileName().toStdString(),
                          (file ? pdf : QString()).toStdString());
                if (!file) {
                    EXPECT_EQ(printer.printerName().toStdString(), destination.toStdString());
                }
                EXPECT_EQ(printer.pageLayout().pageSize().id(), paper);
            };
            Setup([&](QPrintDialog* d) { Choose(d, destination, file ? pdf : QString(), paper); },
                  true);
            inUse();

            // Reopened, the dialog shows the choice; OK keeps it, with or without the
            // Properties page opened.
            const Shown shown = Reopened(true);
            EXPECT_EQ(shown.destination.toStdString(), destination.toStdString());
            if (file) {
                EXPECT_EQ(shown.file.toStdString(), pdf.toStdString());
            }
            EXPECT_EQ(shown.paper, paper);
            inUse();
            Setup([](QPrintDialog*) {}, true);
            inUse();

            // Cancel keeps it whatever was changed; a change the user made with OK stays.
            const QString other = file ? destinations.value(1, toFile) : toFile;
            Setup(
                [&](QPrintDialog* d) {
                    Choose(d, other, dir.filePath("other.pdf"), QPageSize::B5);
                },
                false);
            inUse();
            Setup([&](QPrintDialog* d) { Choose(d, destination, QString(), QPageSize::B5); }, true);
            EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::B5);
        }
}

// The print command on a window with the table on: what the chart shows and how often.
struct PrintCommand : MainPreviewTest {
    void SetUp() override
    {
        MainPreviewTest::SetUp();
        w->SetMessageInterval(0);
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        QTest::mouseClick(Find<TExplorerButton>(*w, "btnAutoCalcStatus"),
                          Qt::LeftButton); // AutoCalc on: the table
        w->Chart().Rep->ShowProgress = false;
    }
    TQRAPRChart* Chart() const { return &w->Chart(); }
    QString Printed(const QString& name) const
    {
        for (const TQRPrintedText& t : Chart()->Rep->PrintedTexts())
            if (t.Name == name)
                return t.Text;
        return {};
    }
};

// Clicks that reach the window while its preview runs (the preview's loop delivers them) start
// no second preview and leave the first one working.
TEST_F(PrintCommand, ClicksWhileThePreviewIsOpenStartNoSecondReport)
{
    TQRPrinter& store = TQRPrinter::Instance();
    int previews = 0;
    std::unique_ptr<TQRPreviewHook> counting;
    counting = std::make_unique<TQRPreviewHook>([&] {
        ++previews;
        counting->RunPrevious(); // the window's own
    });
    const auto post = [](QWidget* target) {
        const QPointF at = QRectF(target->rect()).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(target, new QMouseEvent(type, at, target->mapToGlobal(at),
                                                                Qt::LeftButton, Qt::LeftButton,
                                                                Qt::NoModifier));
    };
    bool stillOpen = false;
    // The posted click opens the preview from the message loop.
    const auto clickAndWait = [&] {
        post(Find<TExplorerButton>(*w, "btnPrint"));
        EXPECT_TRUE(ProcessMessagesUntil(
            [&] { return previews > 0 && store.State() == TQRPrinterState::Idle; }));
    };
    EXPECT_TRUE(OnModal<TfrmPreview>(clickAndWait, [&](TfrmPreview* preview) {
        for (int i = 0; i < 3; ++i)
            post(Find<TExplorerButton>(*w, "btnPrint"));
        QTimer::singleShot(0, [&] { Find<QAction>(*w, "mnuFilePrint")->trigger(); });
        QTimer::singleShot(0, [&] { Find<QAction>(*w, "mnuPopPrint")->trigger(); });
        QTimer::singleShot(20, [&, preview] {
            stillOpen = preview->isVisible();
            preview->findChild<TExplorerButton*>("bbClose")->OnClick();
        });
    }));
    ProcessPostedMessages();
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(stillOpen);
    // And the command works again afterwards.
    EXPECT_TRUE(OnModal<TfrmPreview>([&] { Find<QAction>(*w, "mnuFilePrint")->trigger(); },
                                     [](TfrmPreview* preview) { preview->close(); }));
    EXPECT_EQ(previews, 2);
}

// Ctrl+P, the desktop's print key, in a field being edited: the window's preview opens on the
// value typed there, as File > Print does after leaving the field; in the preview it prints
// and closes the preview.
TEST_F(PrintCommand, CtrlPOpensThePreviewOnTheFieldBeingEditedAndPrintsFromIt)
{
    EXPECT_EQ(Find<QAction>(*w, "mnuFilePrint")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    QTemporaryDir dir;
    const QString pdf = dir.filePath("chart.pdf");
    QPrinter& printer = TQRPrinter::Instance().Printer();
    printer.setOutputFileName(pdf);
    auto* price = Find<TNumEdit>(*w, "edtPurchasePrice");
    price->setFocus();
    QApplication::processEvents();
    price->selectAll();
    QTest::keyClicks(price, "200000"); // typed, not committed
    bool printed = false;
    EXPECT_TRUE(OnModal<TfrmPreview>(
        [&] { QTest::keyClick(w->windowHandle(), Qt::Key_P, Qt::ControlModifier); },
        [&](TfrmPreview* preview) {
            EXPECT_EQ(Printed("lblPurchasePrice"), "$200,000.00");
            QTest::keyClick(preview->windowHandle(), Qt::Key_P, Qt::ControlModifier);
            printed = !preview->isVisible();
            if (!printed)
                preview->close();
        }));
    EXPECT_TRUE(printed) << "the preview printed and closed";
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPayment")->text(), "$1,573.40");
    EXPECT_EQ(QApplication::focusWidget(), price) << "the field is still being edited";
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));
    // Ctrl+L takes the field's text the same way.
    price->selectAll();
    QTest::keyClicks(price, "300000");
    QString loan;
    EXPECT_TRUE(OnModal<QDialog>(
        [&] { QTest::keyClick(w->windowHandle(), Qt::Key_L, Qt::ControlModifier); },
        [&](QDialog* summary) {
            loan = Find<QLabel>(*summary, "lblValue1")->text();
            summary->close();
        }));
    EXPECT_EQ(loan, "$300,000.00");
    printer.setOutputFileName(QString());
}

// However the preview closes, the window it was opened from is the active one again, also when
// another window (help, the progress window) was active meanwhile and went first.
TEST_F(PrintCommand, TheWindowIsActiveAgainAfterThePreview)
{
    for (const bool print : {false, true}) {
        QTemporaryDir dir;
        TQRPrinter::Instance().Printer().setOutputFileName(dir.filePath("chart.pdf"));
        EXPECT_TRUE(OnModal<TfrmPreview>(
            [&] { QTest::keyClick(w->windowHandle(), Qt::Key_P, Qt::ControlModifier); },
            [&](TfrmPreview* preview) {
                QWidget help;
                help.setWindowTitle("Help");
                help.show();
                QApplication::setActiveWindow(&help);
                ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
                help.close();
                QApplication::setActiveWindow(nullptr);
                if (print)
                    QTest::mouseClick(preview->bbPrint, Qt::LeftButton);
                else
                    preview->close();
            }));
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get(), 2000)) << print;
        EXPECT_EQ(QApplication::activeWindow(), w.get()) << print;
    }
    TQRPrinter::Instance().Printer().setOutputFileName(QString());
}

// With AutoCalc off, a rate typed after the last calculation is calculated, table included,
// before the chart is laid out: the chart never mixes two loans.
TEST_F(PrintCommand, AStaleTableIsRecalculatedBeforeTheChart)
{
    QTest::mouseClick(Find<TExplorerButton>(*w, "btnAutoCalcStatus"),
                      Qt::LeftButton); // off; the 8.75 % table stays
    ASSERT_EQ(w->AutoCalcState(), TfrmMain::AutoCalc::Off);
    const QString before = Find<TStringAlignGrid>(*w, "grdAPR")->Cells(1, 6);
    Find<TFnpNumericEdit>(*w, "edtInterest")->setFocus();
    Find<TFnpNumericEdit>(*w, "edtInterest")->selectAll();
    QTest::keyClicks(Find<TFnpNumericEdit>(*w, "edtInterest"), "7.5"); // typed, not committed
    ASSERT_EQ(Find<TStringAlignGrid>(*w, "grdAPR")->Cells(1, 6), before);

    const TQRPreviewHook noWindow([] {});
    Find<QAction>(*w, "mnuFilePrint")->trigger();
    EXPECT_EQ(Printed("lblInterestRate"), "7.5%");
    EXPECT_EQ(Printed("lblPayment"), "$699.21");
    EXPECT_EQ(Printed("lblAPR"), "7.5%");
    EXPECT_NE(Find<TStringAlignGrid>(*w, "grdAPR")->Cells(1, 6), before)
        << "the table is the one of 7.5 %";
    QStringList cells;
    for (const TQRPrintedText& t : Chart()->Rep->PrintedTexts())
        if (t.Name == "lblColumn2")
            cells << t.Text;
    ASSERT_EQ(cells.size(), 12);
    EXPECT_EQ(cells[6], Find<TStringAlignGrid>(*w, "grdAPR")->Cells(1, 6));
    EXPECT_EQ(cells[6].trimmed(), "7.500%");
}
} // namespace
