// The calculator window as a user meets it: clicks that move the focus out of an input, the
// result fields, hints, captions, and the table a calculation fills.
#include "app/Main.h"
#include "app/MainBlock.h"
#include "controls/Aligrid.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/RadioGroup.h"
#include "platform/WindowIcon.h"
#include "tests/support/DefaultTable.h"
#include "tests/support/FindChild.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TempFolder.h"

#include <QLabel>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct CalculatorWindowTest : ::testing::Test {
    TempProgramFolder folder;
    std::unique_ptr<TfrmMain> w;

    void Start()
    {
        w = std::make_unique<TfrmMain>();
        w->SetMessageInterval(0); // every message pass the solver offers
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    void TearDown() override
    {
        if (w)
            w->close();
        w.reset();
    }
    QString Cell(int col, int row) const
    {
        return Find<TStringAlignGrid>(*w, "grdAPR")->Cells(col, row);
    }
    void Focus(QWidget* field)
    {
        field->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
};

} // namespace

TEST_F(CalculatorWindowTest, OneClickOnAnIncrementSelectsItAndRebuildsAfterTheInputsExit)
{
    Start();
    QTest::mouseClick(Find<TExplorerButton>(*w, "btnAutoCalcStatus"), Qt::LeftButton);
    Focus(Find<TFnpNumericEdit>(*w, "edtInterest"));
    // On a real display the button's release arrives while the exit of the interest field
    // calculates and lets messages through; it is delivered then, from inside the build.
    QRadioButton* item = Find<TRadioGroup>(*w, "rgLoan")->Button(5); // 2,500
    bool released = false;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (w->BuildRunning() && !released) {
            released = true;
            QTest::mouseRelease(item, Qt::LeftButton);
        }
    });
    poll.start();
    QTest::mousePress(item, Qt::LeftButton);
    QTRY_VERIFY(released);
    QTRY_VERIFY(!w->BuildRunning());
    poll.stop();
    EXPECT_EQ(Find<TRadioGroup>(*w, "rgLoan")->ItemIndex(), 5);
    EXPECT_EQ(Cell(0, 1), "$87,500");
    EXPECT_EQ(Cell(0, 11), "$112,500");
    EXPECT_EQ(Cell(7, 11), " 7.972%");
}

TEST_F(CalculatorWindowTest, ATermBeyondAnIntegerIsAConversionErrorThatChangesNothing)
{
    Start();
    QTest::mouseClick(Find<TExplorerButton>(*w, "btnAutoCalcStatus"), Qt::LeftButton);
    const QByteArray saved = TempProgramFolder::ReadFile(w->IniFileName());
    MessageBoxAnswerer boxes;
    Focus(Find<TFnpNumericEdit>(*w, "edtTerm"));
    Find<TFnpNumericEdit>(*w, "edtTerm")->setText("9999999999"); // 119,999,999,988 payments
    Focus(Find<TFnpNumericEdit>(*w, "edtInterest"));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text, "An unidentified error has occurred.");
    // No reset: the inputs, the switch and the last table stay; nothing is saved.
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtTerm")->text(), "9999999999");
    EXPECT_EQ(w->AutoCalcState(), TfrmMain::AutoCalc::On);
    EXPECT_EQ(Cell(1, 6), " 8.750%");
    EXPECT_EQ(TempProgramFolder::ReadFile(w->IniFileName()), saved);

    // The largest term that still fits finishes, with the payment of an endless loan.
    Find<TFnpNumericEdit>(*w, "edtTerm")->SetValue(178956970);
    Focus(Find<TFnpNumericEdit>(*w, "edtTerm")); // the interest field's exit calculates
    EXPECT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPayment")->text(), "$729.17");
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->text(), "8.750");
}

// Calculate fills the fields and every cell of the default table with the independent exact
// computation's texts.
TEST_F(CalculatorWindowTest, CalculateGivesTheExactComputationsTable)
{
    Start();
    QTest::mouseClick(Find<TExplorerButton>(*w, "btnCalculate"), Qt::LeftButton);
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPayment")->text(), "$786.70");
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->text(), "8.750");
    for (int row = 1; row <= 11; ++row)
        for (int col = 1; col <= 7; ++col)
            EXPECT_EQ(Cell(col, row), QString(" %1%").arg(DefaultAprTable[row - 1][col - 1]))
                << col << ", " << row;
}

// A price typed but not yet left counts for Calculate and the AutoCalc switch (buttons that
// take no focus), as leaving the field would; the field keeps the focus.
TEST_F(CalculatorWindowTest, CalculateAndTheSwitchTakeThePriceBeingTyped)
{
    const char* commands[] = {"btnCalculate", "btnAutoCalcStatus"};
    for (const char* command : commands) {
        Start();
        auto* price = Find<TNumEdit>(*w, "edtPurchasePrice");
        price->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        price->selectAll();
        QTest::keyClicks(price, "250000");
        QTest::mouseClick(Find<TExplorerButton>(*w, command), Qt::LeftButton);
        EXPECT_EQ(Find<TNumEdit>(*w, "edtLoan")->text(), "$250,000.00") << command;
        EXPECT_EQ(Cell(0, 6), "$250,000") << command;
        EXPECT_EQ(QApplication::focusWidget(), price) << command;

        w.reset();
    }
}

TEST_F(CalculatorWindowTest, ResultFieldsTakeTheFocusOnAClickAndStayReadOnly)
{
    Start();
    Find<TNumEdit>(*w, "edtLoan")->SetValue(100000.004);
    for (TKeyRoutedEdit* result : std::initializer_list<TKeyRoutedEdit*>{
             Find<TNumEdit>(*w, "edtLoan"), Find<TNumEdit>(*w, "edtPayment"),
             Find<TNumEdit>(*w, "edtFixedFees"), Find<TNumEdit>(*w, "edtDownPayment"),
             Find<TFnpNumericEdit>(*w, "edtAPR")}) {
        QTest::mouseClick(result, Qt::LeftButton);
        EXPECT_TRUE(result->hasFocus()) << result->objectName().toStdString();
        QTest::keyClick(result, Qt::Key_3);
        EXPECT_FALSE(result->text().contains('3')) << result->objectName().toStdString();
    }
    // Leaving a money result writes back the value its text shows.
    EXPECT_EQ(Find<TNumEdit>(*w, "edtLoan")->Value(), 100000);
    EXPECT_EQ(Find<TNumEdit>(*w, "edtLoan")->text(), "$100,000.00");
}

TEST_F(CalculatorWindowTest, IncrementLabelsHintsAndHintPause)
{
    Start();
    for (const auto& [caption, position] : {std::pair{"Purchase Price Increment:", QPoint(14, 18)},
                                            std::pair{"Fixed Fees Increment:", QPoint(480, 18)}}) {
        QLabel* label = nullptr;
        for (QLabel* l : Find<QWidget>(*w, "pnlCalculator")->findChildren<QLabel*>())
            if (l->text() == caption)
                label = l;
        ASSERT_NE(label, nullptr) << caption;
        EXPECT_EQ(label->pos(), position) << caption;
    }
    QTest::mouseClick(Find<QPushButton>(*w, "btnCalcFixed"), Qt::LeftButton);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(Find<QPushButton>(*w, "btnCloseFixedFees"), &enter);
    EXPECT_EQ(Find<QLabel>(*w, "StatusBar1")->text(), "Click to close Fixed Fees Entry");
    EXPECT_EQ(Find<QPushButton>(*w, "btnCloseFixedFees")->toolTip(),
              "Click to close Fixed Fees Entry");
    // The window's hint pause is the delay before a tooltip shows.
    EXPECT_EQ(w->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, w.get()), 300);
}

TEST(MainBlock, CaptionsCarryNoApplicationSuffix)
{
    TempProgramFolder folder;
    const QFont font = QApplication::font(); // the start sets the program's font
    TMainBlock block = StartProgram(*Application::instance());
    // On X11 a display name set for the application is appended to every caption.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    EXPECT_EQ(QGuiApplication::desktopFileName(), "tallyhorn");
    EXPECT_EQ(Application::instance()->Title(), "Tallyhorn");
    EXPECT_EQ(block.frmMain->windowTitle(), "Tallyhorn, 1.0");
    block.frmMain->close();
    QApplication::setFont(font);
    QApplication::setWindowIcon(QIcon()); // the start set the program's icon
}

// The start gives its windows the program's icon: every size to the main window and to what its
// start shows (here the message about a bad stored value), the smallest only to the splash,
// whose icon no desktop shows.
TEST(MainBlock, WindowsCarryTheProgramsIcon)
{
    TempProgramFolder folder;
    TempProgramFolder::WriteFile(folder.File("TorvIni.ini"), "[LastValues]\nPrice=12abc\n");
    const QFont font = QApplication::font();
    QApplication::setWindowIcon(QIcon()); // as before the start
    qsizetype sizesWhenTheBoxShowed = 0;
    SetMessageBoxHook([&](const MessageBoxRecord&) {
        sizesWhenTheBoxShowed = QApplication::windowIcon().availableSizes().size();
        return ModalResult::mrOk;
    });
    TMainBlock block = StartProgram(*Application::instance());
    MessageBoxAnswerer::InstallDefault();
    const qsizetype everySize = std::size(ProgramIconSizes);
    EXPECT_EQ(sizesWhenTheBoxShowed, everySize);
    EXPECT_EQ(block.frmMain->windowIcon().availableSizes().size(), everySize);
    EXPECT_EQ(block.splash->windowIcon().availableSizes(), QList<QSize>{QSize(16, 16)});
    block.frmMain->close();
    QApplication::setFont(font);
    QApplication::setWindowIcon(QIcon());
}

TEST_F(CalculatorWindowTest, TableRatesRoundAtTheFifthSignificantDigit)
{
    Start();
    Find<TFnpNumericEdit>(*w, "edtInterest")
        ->SetValue(123.4567); // the field keeps three decimals: 123.457
    QTest::mouseClick(Find<TExplorerButton>(*w, "btnCalculate"), Qt::LeftButton);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->text(), "123.457");
    EXPECT_EQ(Cell(1, 6), " 123.460%");
    EXPECT_EQ(Cell(2, 6), " 123.460%");
    EXPECT_EQ(Cell(2, 1), " 129.950%"); // 95,000 financed
}
