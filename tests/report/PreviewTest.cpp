// The print preview window on pages put straight into the page store: the page indicator and
// the buttons' enabled states under the page keys and clicks, the zooms, the scroll positions,
// what the sheet shows, placement and the resets on closing.
#include "report/Preview.h"

#include "controls/ExplBtn.h"
#include "report/PrintQueue.h"
#include "report/QRPreview.h"
#include "report/QRPrinter.h"
#include "tests/support/MessageBoxAnswerer.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {
// Page n of a test document is filled with PageColour(n) over report units 100..199.
QColor PageColour(int page)
{
    static const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::magenta};
    return colours[(page - 1) % 4];
}

void FillStore(int pages)
{
    TQRPrinter& store = TQRPrinter::Instance();
    store.BeginDoc();
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            store.NewPage();
        const int s = TQRPrinter::CanvasScale;
        store.Canvas()->fillRect(100 * s, 100 * s, 100 * s, 100 * s, PageColour(page));
    }
    store.EndDoc();
}

struct PreviewWindowTest : ::testing::Test {
    std::unique_ptr<TfrmPreview> w;

    void Open(int pages, bool usablePrinter = true)
    {
        // A chosen output file makes the printer usable.
        if (usablePrinter)
            TQRPrinter::Instance().Printer().setOutputFileName(dir.filePath("preview.pdf"));
        FillStore(pages);
        w = std::make_unique<TfrmPreview>();
        w->resize(700, 500);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        w->QRPreview1->setFocus();
    }
    void TearDown() override
    {
        w.reset();
        TQRPrinter::Instance().Cleanup();
        TQRPrinter::Instance().Printer().setOutputFileName(QString());
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        // To the focused preview control, as the user's key press goes.
        QTest::keyClick(w->QRPreview1, Qt::Key(key), modifiers);
    }
    // Indicator, then bbPrev and bbNext enabled, e.g. "Page 2 of 3 +prev +next".
    std::string State() const
    {
        return QString("%1 %2prev %3next")
            .arg(w->Label1->text(), w->bbPrev->isEnabled() ? "+" : "-",
                 w->bbNext->isEnabled() ? "+" : "-")
            .toStdString();
    }
    QPoint Scroll() const
    {
        return {w->QRPreview1->horizontalScrollBar()->value(),
                w->QRPreview1->verticalScrollBar()->value()};
    }
    QColor ShownAt(QPoint viewportPos) const
    {
        return w->QRPreview1->viewport()->grab().toImage().pixelColor(viewportPos);
    }
    QTemporaryDir dir;
};

TEST_F(PreviewWindowTest, ThreePagesDrivenByKeysAndButtons)
{
    Open(3);
    EXPECT_EQ(State(), "Page 1 of 3 -prev +next");
    struct Step {
        const char* what;
        int key; // 0: click bbNext, 1: click bbPrev
        Qt::KeyboardModifiers modifiers;
        const char* state;
    };
    const Step steps[] = {
        {"End goes to the last page", Qt::Key_End, Qt::NoModifier, "Page 3 of 3 +prev -next"},
        {"PageDown on the last page", Qt::Key_PageDown, Qt::NoModifier, "Page 3 of 3 +prev -next"},
        {"End on the last page", Qt::Key_End, Qt::NoModifier, "Page 3 of 3 +prev -next"},
        {"Home goes to the first page", Qt::Key_Home, Qt::NoModifier, "Page 1 of 3 -prev +next"},
        {"PageUp on the first page", Qt::Key_PageUp, Qt::NoModifier, "Page 1 of 3 -prev +next"},
        {"Ctrl+Shift+PageDown is PageDown", Qt::Key_PageDown,
         Qt::ControlModifier | Qt::ShiftModifier, "Page 2 of 3 +prev +next"},
        {"Ctrl+PageDown goes to the last page", Qt::Key_PageDown, Qt::ControlModifier,
         "Page 3 of 3 +prev -next"},
        {"PageUp", Qt::Key_PageUp, Qt::NoModifier, "Page 2 of 3 +prev +next"},
        {"Ctrl+PageUp goes to the first page", Qt::Key_PageUp, Qt::ControlModifier,
         "Page 1 of 3 -prev +next"},
        {"PageDown", Qt::Key_PageDown, Qt::NoModifier, "Page 2 of 3 +prev +next"},
        {"keypad End", Qt::Key_End, Qt::KeypadModifier, "Page 3 of 3 +prev -next"},
        {"bbPrev", 1, Qt::NoModifier, "Page 2 of 3 +prev +next"},
        {"bbPrev to the first page", 1, Qt::NoModifier, "Page 1 of 3 -prev +next"},
        {"bbNext", 0, Qt::NoModifier, "Page 2 of 3 +prev +next"},
        {"bbNext to the last page", 0, Qt::NoModifier, "Page 3 of 3 +prev -next"},
        {"other keys change nothing", Qt::Key_A, Qt::NoModifier, "Page 3 of 3 +prev -next"},
    };
    for (const Step& step : steps) {
        if (step.key == 0 || step.key == 1)
            QTest::mouseClick(step.key == 0 ? w->bbNext : w->bbPrev, Qt::LeftButton);
        else
            Key(step.key, step.modifiers);
        EXPECT_EQ(State(), step.state) << step.what;
        // The control, the store and the indicator agree on the page.
        const int page = w->Label1->text().section(' ', 1, 1).toInt();
        EXPECT_EQ(w->QRPreview1->PageNumber(), page) << step.what;
        EXPECT_EQ(TQRPrinter::Instance().PageNumber(), page) << step.what;
    }
    for (int outOfRange : {0, -1, 4})
        w->QRPreview1->SetPageNumber(outOfRange);
    EXPECT_EQ(w->QRPreview1->PageNumber(), 3);
    EXPECT_EQ(TQRPrinter::Instance().PageNumber(), 3);
}

TEST_F(PreviewWindowTest, OnePageHasNoPageMoves)
{
    Open(1);
    EXPECT_EQ(State(), "Page 1 of 1 -prev -next");
    for (int key : {Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_End, Qt::Key_Home})
        Key(key);
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(State(), "Page 1 of 1 -prev -next");
    EXPECT_EQ(TQRPrinter::Instance().PageNumber(), 1);
}

TEST_F(PreviewWindowTest, ZoomButtonsAndTheirEnabledStates)
{
    Open(1);
    TQRPreview* preview = w->QRPreview1;
    const auto enabled = [this] {
        return std::string(w->bbZoomOut->isEnabled() ? "+out" : "-out") +
               (w->bbZoom100->isEnabled() ? " +100" : " -100") +
               (w->bbZoomIn->isEnabled() ? " +in" : " -in");
    };
    const QSize paper = TQRPrinter::Instance().PaperSize();
    ASSERT_TRUE(TQRPrinter::Instance().PrinterOK());
    EXPECT_EQ(preview->Zoom(), 100);
    EXPECT_EQ(enabled(), "+out -100 +in");

    QTest::mouseClick(w->bbZoomOut, Qt::LeftButton);
    EXPECT_EQ(enabled(), "-out +100 +in");
    // The whole page is in view and fills 95 % of the control along one direction.
    const QSize view = preview->viewport()->size();
    QRect sheet = preview->SheetRect();
    EXPECT_TRUE(QRect(QPoint(0, 0), view).contains(sheet)) << sheet.x() << "," << sheet.y();
    EXPECT_EQ(preview->Zoom(), std::min(qRound(view.width() * 95.0 / paper.width()),
                                        qRound(view.height() * 95.0 / paper.height())));

    QTest::mouseClick(w->bbZoomIn, Qt::LeftButton);
    EXPECT_EQ(enabled(), "+out +100 -in");
    sheet = preview->SheetRect();
    EXPECT_EQ(preview->horizontalScrollBar()->maximum(), 0);
    // Within the rounding of a whole percent.
    EXPECT_NEAR(sheet.width() - 4, preview->viewport()->width() * 0.98, paper.width() / 200.0 + 1);
    EXPECT_EQ(sheet.x(), (preview->viewport()->width() - sheet.width()) / 2);

    // A fit zoom follows the control's size; a fixed one does not.
    const int fitWidth = preview->Zoom();
    w->resize(500, 500);
    QTRY_VERIFY(preview->Zoom() < fitWidth);
    QTest::mouseClick(w->bbZoom100, Qt::LeftButton);
    EXPECT_EQ(enabled(), "+out -100 +in");
    w->resize(900, 600);
    QTRY_COMPARE(preview->viewport()->width() > 700, true);
    EXPECT_EQ(preview->Zoom(), 100);
    EXPECT_EQ(preview->SheetRect().size(), QSize(paper.width() + 4, paper.height() + 4));
}

// Run with the printing system pointed at nothing (ctest label noprinter).
using PreviewWindowNoPrinter = PreviewWindowTest;

TEST_F(PreviewWindowNoPrinter, FitZoomsAre100AndPrintSaysThereIsNoPrinter)
{
    Open(1, false);
    if (TQRPrinter::Instance().PrinterOK())
        GTEST_SKIP() << "a printer is installed on this machine";
    // The page without printer: 7.7867 x 11.2533 inches.
    EXPECT_NEAR(TQRPrinter::Instance().PageSize().width(), 7.7867 * 96, 1);
    EXPECT_NEAR(TQRPrinter::Instance().PageSize().height(), 11.2533 * 96, 1);
    QTest::mouseClick(w->bbZoomOut, Qt::LeftButton);
    EXPECT_EQ(w->QRPreview1->Zoom(), 100);
    QTest::mouseClick(w->bbZoomIn, Qt::LeftButton);
    EXPECT_EQ(w->QRPreview1->Zoom(), 100);
    // Print says that there is no printer, and the preview stays open.
    MessageBoxAnswerer boxes;
    TQRPrinter::Instance().Title = "Amortization Schedule";
    TQRPrinter::Instance().DocumentTitle.clear();
    QTest::mouseClick(w->bbPrint, Qt::LeftButton);
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text,
              PrintQueue::NoPrinterMessage("the Amortization Schedule", false));
    EXPECT_EQ(boxes.Boxes()[0].caption, "Tallyhorn");
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(TQRPrinter::Instance().State(), TQRPrinterState::Ready);
}

TEST_F(PreviewWindowTest, ArrowKeysScrollBy50AndEveryChangeScrollsHome)
{
    Open(3);
    w->resize(400, 300); // the page at 100 % is larger than the control both ways
    QTRY_VERIFY(w->QRPreview1->horizontalScrollBar()->maximum() > 100);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    EXPECT_EQ(Scroll(), QPoint(50, 100));
    Key(Qt::Key_Up);
    Key(Qt::Key_Left);
    Key(Qt::Key_Left); // clamped at 0
    EXPECT_EQ(Scroll(), QPoint(0, 50));
    // Page keys change pages only, never the scroll position by themselves.
    Key(Qt::Key_Right);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(Scroll(), QPoint(0, 0)) << "a page change scrolls home";
    EXPECT_EQ(w->QRPreview1->PageNumber(), 2);
    Key(Qt::Key_Down);
    QTest::mouseClick(w->bbZoomIn, Qt::LeftButton);
    EXPECT_EQ(Scroll(), QPoint(0, 0)) << "a zoom change scrolls home";
    const int bottom = w->QRPreview1->verticalScrollBar()->maximum();
    for (int i = 0; i < bottom / 50 + 2; ++i)
        Key(Qt::Key_Down);
    EXPECT_EQ(Scroll().y(), bottom) << "clamped at the end";
}

TEST_F(PreviewWindowTest, SheetShowsTheCurrentPage)
{
    Open(3);
    TQRPrinter& store = TQRPrinter::Instance();
    const QRect sheet = w->QRPreview1->SheetRect();
    const QPoint offset = store.PrintingOffset();
    // At 100 % report unit (150, 150) of the page is one pixel past the border.
    const QPoint inside = sheet.topLeft() + offset + QPoint(1, 1) + QPoint(150, 150);
    const QPoint blank = sheet.topLeft() + offset + QPoint(1, 1) + QPoint(50, 50);
    EXPECT_EQ(ShownAt(inside), PageColour(1));
    EXPECT_EQ(ShownAt(blank), QColor(Qt::white));
    EXPECT_EQ(ShownAt(sheet.topLeft()), QColor(Qt::black)) << "border";
    Key(Qt::Key_End);
    EXPECT_EQ(ShownAt(inside), PageColour(3));

    // The whole sheet in view: border, shadow, and the control's background around them.
    w->QRPreview1->ZoomToFit();
    const QRect whole = w->QRPreview1->SheetRect();
    const QPoint rightEdge(whole.right(), whole.center().y());
    EXPECT_EQ(ShownAt(rightEdge), QColor(Qt::black)) << "shadow";
    EXPECT_EQ(ShownAt(rightEdge - QPoint(2, 0)), QColor(Qt::black)) << "border";
    EXPECT_EQ(ShownAt(rightEdge - QPoint(3, 0)), QColor(Qt::white));
    EXPECT_NE(ShownAt(rightEdge + QPoint(1, 0)), QColor(Qt::white)) << "background";
    const QPoint bottomEdge(whole.center().x(), whole.bottom());
    EXPECT_EQ(ShownAt(bottomEdge), QColor(Qt::black)) << "shadow";
    EXPECT_NE(ShownAt(whole.topLeft() + QPoint(whole.width() - 1, 0)), QColor(Qt::black))
        << "the shadow starts 2 pixels down";
}

TEST_F(PreviewWindowTest, ClosingResetsAndTheNextShowStartsAfresh)
{
    Open(3);
    w->resize(400, 300);
    QTRY_VERIFY(w->QRPreview1->verticalScrollBar()->maximum() > 0);
    Key(Qt::Key_End);
    QTest::mouseClick(w->bbZoomOut, Qt::LeftButton);
    QTest::mouseClick(w->bbZoom100, Qt::LeftButton);
    Key(Qt::Key_Down);
    QTest::mouseClick(w->bbClose, Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(TQRPrinter::Instance().PageNumber(), 1);
    EXPECT_FALSE(w->bbPrev->isEnabled());
    EXPECT_EQ(Scroll(), QPoint(0, 0));

    w->QRPreview1->ZoomToWidth();
    w->show();
    EXPECT_EQ(State(), "Page 1 of 3 -prev +next");
    EXPECT_EQ(w->QRPreview1->Zoom(), 100);
    EXPECT_FALSE(w->bbZoom100->isEnabled());
    EXPECT_TRUE(w->bbZoomIn->isEnabled());
}

TEST_F(PreviewWindowTest, ActivationFillsTheScreensWorkArea)
{
    Open(1);
    QApplication::setActiveWindow(w.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTRY_COMPARE(w->frameGeometry(), w->screen()->availableGeometry());
    EXPECT_EQ(w->bbClose->x(), w->width() - 76);
    EXPECT_EQ(w->bbPrint->x(), w->width() - 144);
    EXPECT_EQ(w->QRPreview1->geometry().bottom(), w->height() - 1);
}
} // namespace

// Print runs a message loop (its progress window). A second Print click delivered there makes
// no second job, and the preview window deleted there is not touched when printing returns.
TEST_F(PreviewWindowTest, PrintClicksAndClosingInsideThePrintLoop)
{
    for (const bool deleteWindow : {false, true}) {
        Open(2);
        const QString pdf = dir.filePath("preview.pdf");
        QFile::remove(pdf);
        bool clicked = false, ranInside = false;
        QTimer inside; // fires from the print's own message pass
        inside.setInterval(0);
        QObject::connect(&inside, &QTimer::timeout, [&] {
            if (!clicked || ranInside)
                return;
            ranInside = true;
            if (deleteWindow)
                w.reset();
            else
                w->bbPrint->OnClick();
        });
        inside.start();
        MessageBoxAnswerer boxes;
        clicked = true;
        w->bbPrint->OnClick();
        inside.stop();
        EXPECT_TRUE(ranInside) << deleteWindow;
        EXPECT_TRUE(boxes.Boxes().isEmpty()) << deleteWindow;
        EXPECT_EQ(w == nullptr, deleteWindow);
        if (w) {
            EXPECT_FALSE(w->isVisible()) << "printed once, then closed";
        }
        EXPECT_EQ(TQRPrinter::Instance().LastJob(), 0) << "a file, not a queue";
        EXPECT_TRUE(QFile::exists(pdf)) << deleteWindow;
        w.reset();
        TQRPrinter::Instance().Cleanup();
    }
}
