// The calculator window's preview hook and printer setup: the hook shows the one preview
// window modally and goes with the window; printer setup works on the page store's printer,
// and what it chooses stays chosen.
#include "app/Main.h"
#include "controls/ExplBtn.h"
#include "report/Preview.h"
#include "report/QRPrinter.h"
#include "tests/support/FindChild.h"
#include "tests/support/TempFolder.h"

#include <QAbstractPrintDialog>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
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
    ASSERT_TRUE(store.OnPreview);
    QList<QDialog*> shown;
    for (int pages : {2, 1}) {
        store.BeginDoc();
        for (int page = 2; page <= pages; ++page)
            store.NewPage();
        store.EndDoc();
        const bool seen =
            OnModal<QDialog>([&] { store.OnPreview(); },
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
    EXPECT_FALSE(store.OnPreview) << "the hook goes with the window";
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
                printers->setCurrentIndex(printers->findText("PDF", Qt::MatchContains));
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
        [&] { store.OnPreview(); },
        [](QDialog* preview) { preview->findChild<TExplorerButton*>("bbPrint")->OnClick(); }));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));
    printer.setOutputFileName(QString());
}
} // namespace
