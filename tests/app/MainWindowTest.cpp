#include "app/Main.h"
#include "app/splash.h"
#include "controls/Aligrid.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "controls/URL.h"
#include "platform/Application.h"
#include "platform/RadioGroup.h"
#include "tests/support/DefaultTable.h"
#include "tests/support/FindChild.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TempFolder.h"

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct MainWindowTest : ::testing::Test {
    TempProgramFolder folder;
    std::unique_ptr<TfrmMain> w;

    void Start()
    {
        w = std::make_unique<TfrmMain>();
        w->SetMessageInterval(0); // every message pass the solver offers, as a slow machine would
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
    QByteArray Ini() const { return TempProgramFolder::ReadFile(folder.File("TorvIni.ini")); }
    void WriteIni(const QByteArray& text) const
    {
        TempProgramFolder::WriteFile(folder.File("TorvIni.ini"), text);
    }
    QString Cell(int col, int row) const
    {
        return Find<TStringAlignGrid>(*w, "grdAPR")->Cells(col, row);
    }
    // Moves the focus into a field and out of it again, as the user's Tab would.
    void Leave(QWidget* field)
    {
        field->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        Find<TNumEdit>(*w, "edtPurchasePrice") == field
            ? Find<TFnpNumericEdit>(*w, "edtInterest")->setFocus(Qt::TabFocusReason)
            : Find<TNumEdit>(*w, "edtPurchasePrice")->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    // Runs `start`, and `request` from the message loop once a table build has written its
    // first rate cell. True when the request ran inside the build.
    template <typename Request, typename Start> bool InjectDuringBuild(Request request, Start start)
    {
        bool injected = false;
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (w->BuildRunning() && !Cell(2, 1).isEmpty() && !injected) {
                injected = true;
                poll.stop();
                request();
            }
        });
        poll.start();
        start();
        poll.stop();
        return injected;
    }
    void ClickAutoCalc()
    {
        QTest::mouseClick(Find<TExplorerButton>(*w, "btnAutoCalcStatus"), Qt::LeftButton);
    }
    void ExpectDefaultTable()
    {
        EXPECT_EQ(Cell(0, 0), "Loan / Fees");
        EXPECT_EQ(Cell(1, 0), "  IR %  ");
        EXPECT_EQ(Cell(2, 0), "$0");
        EXPECT_EQ(Cell(7, 0), "$5,000");
        EXPECT_EQ(Cell(0, 1), "$95,000");
        EXPECT_EQ(Cell(0, 11), "$105,000");
        for (int row = 1; row <= 11; ++row)
            for (int col = 1; col <= 7; ++col)
                EXPECT_EQ(Cell(col, row), QString(" %1%").arg(DefaultAprTable[row - 1][col - 1]))
                    << col << ", " << row;
    }
    void ExpectPrinting(bool on)
    {
        EXPECT_EQ(Find<TExplorerButton>(*w, "btnPrint")->isEnabled(), on);
        EXPECT_EQ(Find<QAction>(*w, "mnuFilePrint")->isEnabled(), on);
        EXPECT_EQ(Find<QAction>(*w, "mnuPopPrint")->isEnabled(), on);
    }
};

} // namespace

TEST_F(MainWindowTest, StartsWithDefaultsPlaceholdersAndCommandsDisabled)
{
    Start();
    EXPECT_EQ(w->windowTitle(), "Tallyhorn, 1.0");
    EXPECT_EQ(w->centralWidget()->size(), QSize(612, 412));
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 100000);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtInterest")->text(), "8.750");
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtTerm")->text(), "30");
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtDownPaymentPercent")->text(), "0.000");
    // The results show the starting loan's figures; the table waits for a calculation.
    EXPECT_EQ(Find<TNumEdit>(*w, "edtLoan")->text(), "$100,000.00");
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPayment")->text(), "$786.70");
    EXPECT_EQ(Find<TNumEdit>(*w, "edtDownPayment")->text(), "$0.00");
    EXPECT_EQ(Find<TNumEdit>(*w, "edtFixedFees")->text(), "$0.00");
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->text(), "8.750");
    EXPECT_EQ(Ini(), "[LastValues]\nAutoCalc=OFF\n");
    ExpectPrinting(false);
    EXPECT_FALSE(Find<TExplorerButton>(*w, "btnReset")->isEnabled());
    EXPECT_FALSE(Find<QAction>(*w, "mnuFileReset")->isEnabled());
    EXPECT_TRUE(Find<TExplorerButton>(*w, "btnCalculate")->isVisible());
    EXPECT_EQ(Find<TExplorerButton>(*w, "btnAutoCalcStatus")->Caption(), "AutoCalc Grid:  OFF");
    EXPECT_EQ(Find<TExplorerButton>(*w, "btnAutoCalcStatus")->Hint(), "Click to turn on AutoCalc");
    EXPECT_FALSE(Find<QAction>(*w, "mnuPreferencesAutoCalc")->isChecked());
    EXPECT_EQ(Cell(0, 0), "Loan / Fees");
    EXPECT_EQ(Cell(0, 1), "$95,000");
    EXPECT_EQ(Cell(0, 11), "$105,000");
    EXPECT_EQ(Cell(1, 0), "$0");
    EXPECT_EQ(Cell(7, 0), "$6,000");
    EXPECT_EQ(Cell(3, 5), "");
    EXPECT_EQ(Find<TStringAlignGrid>(*w, "grdAPR")->Selection(), (TGridRect{1, 6, 1, 6}));
    EXPECT_EQ(Find<TStringAlignGrid>(*w, "grdAPR")->ColorCol(1), QColor(255, 255, 0));
    EXPECT_EQ(Find<TStringAlignGrid>(*w, "grdAPR")->ColorRow(6), QColor(255, 255, 0));
    EXPECT_EQ(Find<TStringAlignGrid>(*w, "grdAPR")->height(), 250);
    EXPECT_EQ(Find<QLabel>(*w, "StatusBar1")->text(), " Welcome to Velmora Software's Tallyhorn!");
}

TEST_F(MainWindowTest, AutoCalcBuildsTheDefaultTableAndKeepsItWhenTurnedOff)
{
    Start();
    ClickAutoCalc();
    ExpectDefaultTable();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPayment")->text(), "$786.70");
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->text(), "8.750");
    EXPECT_EQ(Find<TNumEdit>(*w, "edtLoan")->Value(), 100000);
    EXPECT_EQ(Find<TNumEdit>(*w, "edtDownPayment")->Value(), 0);
    EXPECT_EQ(Find<TExplorerButton>(*w, "btnAutoCalcStatus")->Caption(), "AutoCalc Grid:  ON");
    EXPECT_EQ(Find<TExplorerButton>(*w, "btnAutoCalcStatus")->Hint(), "Click to turn off AutoCalc");
    EXPECT_TRUE(Find<QAction>(*w, "mnuPreferencesAutoCalc")->isChecked());
    EXPECT_FALSE(Find<TExplorerButton>(*w, "btnCalculate")->isVisible());
    ExpectPrinting(true);
    EXPECT_TRUE(Find<TExplorerButton>(*w, "btnReset")->isEnabled());
    EXPECT_TRUE(Ini().contains("AutoCalc=ON"));

    Find<QAction>(*w, "mnuPreferencesAutoCalc")->trigger();
    EXPECT_EQ(w->AutoCalcState(), TfrmMain::AutoCalc::Off);
    EXPECT_TRUE(Find<TExplorerButton>(*w, "btnCalculate")->isVisible());
    ExpectPrinting(true);
    ExpectDefaultTable();
    EXPECT_TRUE(Ini().contains("AutoCalc=OFF"));
}

TEST_F(MainWindowTest, WithAutoCalcOffLeavingAFieldUpdatesOnlyTheResults)
{
    Start();
    Find<TFnpNumericEdit>(*w, "edtInterest")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    Find<TFnpNumericEdit>(*w, "edtInterest")->SetValue(7.5);
    Find<TNumEdit>(*w, "edtPurchasePrice")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPayment")->text(), "$699.21");
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->text(), "7.500");
    EXPECT_EQ(Cell(1, 0), "$0"); // placeholders untouched
    EXPECT_EQ(Cell(1, 6), "");
    ExpectPrinting(true);
    EXPECT_EQ(w->LastValues().interest, 7.5);

    QTest::mouseClick(Find<TExplorerButton>(*w, "btnCalculate"), Qt::LeftButton);
    EXPECT_EQ(Cell(1, 0), "  IR %  ");
    EXPECT_EQ(Cell(1, 6), " 7.500%");
    EXPECT_EQ(Cell(2, 6), " 7.500%");
}

TEST_F(MainWindowTest, TwentyPercentDownFeesAndIncrements)
{
    Start();
    ClickAutoCalc();
    Find<TFnpNumericEdit>(*w, "edtDownPaymentPercent")->SetValue(20);
    Find<TFnpNumericEdit>(*w, "edtTerm")->SetValue(15);
    Find<TFnpNumericEdit>(*w, "edtInterest")->SetValue(6.5);
    Find<TRadioGroup>(*w, "rgFixed")->SetItemIndex(2);
    // The fixed fees panel: 3,000 in one field, OK runs the calculation.
    QTest::mouseClick(Find<QPushButton>(*w, "btnCalcFixed"), Qt::LeftButton);
    EXPECT_TRUE(Find<QFrame>(*w, "pnlFixedFees")->isVisible());
    EXPECT_TRUE(Find<TNumEdit>(*w, "edtOriginationFees")->hasFocus());
    Find<TNumEdit>(*w, "edtOriginationFees")->SetValue(3000);
    QTest::mouseClick(Find<TRadioGroup>(*w, "rgLoan")->Button(5),
                      Qt::LeftButton); // " 2500" is itself a trigger
    QTest::mouseClick(Find<QPushButton>(*w, "btnCloseFixedFees"), Qt::LeftButton);
    EXPECT_FALSE(Find<QFrame>(*w, "pnlFixedFees")->isVisible());
    EXPECT_EQ(Find<TNumEdit>(*w, "edtFixedFees")->Value(), 3000);
    EXPECT_EQ(Find<TNumEdit>(*w, "edtTotal")->Value(), 3000);
    EXPECT_EQ(Find<TNumEdit>(*w, "edtDownPayment")->text(), "$20,000.00");
    EXPECT_EQ(Find<TNumEdit>(*w, "edtLoan")->text(), "$80,000.00");
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPayment")->text(), "$696.89");
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->text(), "7.111");
    EXPECT_EQ(Cell(0, 1), "$67,500");
    EXPECT_EQ(Cell(0, 11), "$92,500");
    EXPECT_EQ(Cell(2, 0), "$3,000");
    EXPECT_EQ(Cell(7, 0), "$5,500");
    EXPECT_EQ(Cell(1, 6), " 6.500%");
    EXPECT_EQ(Cell(2, 6), " 7.111%");
    EXPECT_EQ(Cell(6, 8), " 6.500%");
}

TEST_F(MainWindowTest, FixedFeesTotalFollowsEachFieldButTheAprWaitsForOk)
{
    Start();
    Leave(Find<TFnpNumericEdit>(*w, "edtInterest")); // a first calculation: APR 8.750
    QTest::mouseClick(Find<QPushButton>(*w, "btnCalcFixed"), Qt::LeftButton);
    QApplication::processEvents(); // the price field's exit runs once the click is through
    Find<TNumEdit>(*w, "edtOriginationFees")->SetValue(1500);
    Find<TNumEdit>(*w, "edtPoints")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    Find<TNumEdit>(*w, "edtPoints")->SetValue(1000);
    Find<TNumEdit>(*w, "edtBuydownFunds")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtTotal")->Value(), 2500);
    EXPECT_EQ(Find<TNumEdit>(*w, "edtFixedFees")->Value(), 2500);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->text(), "8.750");
    ClickAutoCalc();
    QTest::mouseClick(Find<QPushButton>(*w, "btnCloseFixedFees"), Qt::LeftButton);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->text(), "9.031");
    EXPECT_EQ(Cell(2, 0), "$2,500");
    EXPECT_EQ(Cell(3, 0), "$3,500");
    EXPECT_TRUE(Find<TNumEdit>(*w, "edtPurchasePrice")->hasFocus());
}

TEST_F(MainWindowTest, NegativeLoanRowsAndZeroRowComplete)
{
    Start();
    Find<TNumEdit>(*w, "edtPurchasePrice")->SetValue(30000);
    Find<TRadioGroup>(*w, "rgLoan")->SetItemIndex(9);
    ClickAutoCalc();
    EXPECT_EQ(Cell(0, 1), "($7,500)");
    EXPECT_EQ(Cell(0, 2), "$0");
    EXPECT_EQ(Cell(1, 1), " -37.762%");
    EXPECT_EQ(Cell(1, 2), " 0.000%");
    for (int col = 2; col <= 7; ++col) {
        EXPECT_EQ(Cell(col, 1), " 0.000%");
        EXPECT_EQ(Cell(col, 2), " 0.000%");
    }
    EXPECT_EQ(Cell(0, 11), "$67,500");
}

TEST_F(MainWindowTest, AMathErrorResetsAndSavesTheResetInputs)
{
    Start();
    ClickAutoCalc();
    MessageBoxAnswerer boxes;
    Find<TFnpNumericEdit>(*w, "edtTerm")
        ->SetValue(0); // no payment: the APR solver meets a zero slope
    Leave(Find<TFnpNumericEdit>(*w, "edtTerm"));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text, "Results of this calculation cannot be determined\n\rusing "
                                     "the values you have entered.\n\r\n\rPlease try again with "
                                     "different values.");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Information");
    EXPECT_EQ(w->AutoCalcState(), TfrmMain::AutoCalc::Off);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtTerm")->text(), "30");
    EXPECT_EQ(Cell(1, 0), "");
    EXPECT_EQ(Ini(), "[LastValues]\nAutoCalc=OFF\nPrice=100000\nInterest=8.75\nTerm=30\n"
                     "DownPercent=0\n");
}

TEST_F(MainWindowTest, ARowBelowMinusOneHundredPercentIsReported)
{
    Start();
    MessageBoxAnswerer boxes;
    // A payment of 294.23; row 1 lends 37,400 - 5 x 7,500 = -100.
    Find<TNumEdit>(*w, "edtPurchasePrice")->SetValue(37400);
    Find<TRadioGroup>(*w, "rgLoan")->SetItemIndex(9);
    QTest::mouseClick(Find<TExplorerButton>(*w, "btnCalculate"), Qt::LeftButton);
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes()[0].text.startsWith("Results of this calculation"));
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 100000);
    ExpectPrinting(false);
}

TEST_F(MainWindowTest, ResetEmptiesTheGridAndRecalculatesOnTheFocusMove)
{
    Start();
    ClickAutoCalc();
    Find<TFnpNumericEdit>(*w, "edtInterest")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    Find<TFnpNumericEdit>(*w, "edtInterest")->SetValue(7);
    QTest::mouseClick(Find<TExplorerButton>(*w, "btnReset"),
                      Qt::LeftButton); // the click does not take the focus
    QApplication::processEvents();
    for (int col = 0; col < 8; ++col)
        for (int row = 0; row < 12; ++row)
            EXPECT_EQ(Cell(col, row), "") << col << ", " << row;
    EXPECT_EQ(w->AutoCalcState(), TfrmMain::AutoCalc::Off);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtInterest")->text(), "8.750");
    EXPECT_TRUE(Find<TNumEdit>(*w, "edtPurchasePrice")->hasFocus());
    // Leaving the interest field recalculated the results from the reset values.
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPayment")->text(), "$786.70");
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->text(), "8.750");
    EXPECT_TRUE(Find<TExplorerButton>(*w, "btnReset")->isEnabled());
    ExpectPrinting(true);
    EXPECT_TRUE(Ini().contains("AutoCalc=ON")); // Reset itself does not write the file
}

TEST_F(MainWindowTest, ResetWithoutAFocusMoveDisablesTheCommands)
{
    Start();
    ClickAutoCalc();
    w->Reset(nullptr);
    EXPECT_FALSE(Find<TExplorerButton>(*w, "btnReset")->isEnabled());
    EXPECT_FALSE(Find<QAction>(*w, "mnuFileReset")->isEnabled());
    ExpectPrinting(false);
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPayment")->Value(), 0);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->Value(), 0);
}

TEST_F(MainWindowTest, CloseSavesTheInputsOfTheLastCalculation)
{
    Start();
    Find<TNumEdit>(*w, "edtPurchasePrice")->SetValue(250000.5);
    Find<TFnpNumericEdit>(*w, "edtDownPaymentPercent")->SetValue(12.5);
    QTest::mouseClick(Find<TExplorerButton>(*w, "btnCalculate"), Qt::LeftButton);
    Find<TFnpNumericEdit>(*w, "edtInterest")->SetValue(6); // typed since, never calculated
    w->close();
    EXPECT_EQ(Ini(), "[LastValues]\nAutoCalc=OFF\nPrice=250000.5\nInterest=8.75\nTerm=30\n"
                     "DownPercent=12.5\n");
}

TEST_F(MainWindowTest, StoredOnBuildsTheTableAtStartWithItsOwnHeaders)
{
    WriteIni("[LastValues]\nPrice=200000\nInterest=8.75\nTerm=30\nDownPercent=50\nAutoCalc=ON\n");
    Start();
    ExpectDefaultTable();
    ExpectPrinting(true);
    EXPECT_TRUE(Find<TExplorerButton>(*w, "btnReset")->isEnabled());
    EXPECT_EQ(Find<TExplorerButton>(*w, "btnAutoCalcStatus")->Hint(), "Click to turn off AutoCalc");
    EXPECT_EQ(Find<TNumEdit>(*w, "edtDownPayment")->Value(), 100000);
}

TEST_F(MainWindowTest, UnknownAutoCalcTextIsKeptAndWrittenBack)
{
    WriteIni("[LastValues]\nAutoCalc=on\n");
    Start();
    EXPECT_EQ(Find<TExplorerButton>(*w, "btnAutoCalcStatus")->Caption(), "AutoCalc Grid:  OFF");
    ExpectPrinting(false);
    EXPECT_EQ(Ini(), "[LastValues]\nAutoCalc=on\n");
    EXPECT_EQ(w->AutoCalcState(), TfrmMain::AutoCalc::Kept);
    EXPECT_EQ(Cell(1, 6), "");
    // The switch brings an unknown text back to a known state.
    ClickAutoCalc();
    EXPECT_EQ(w->AutoCalcState(), TfrmMain::AutoCalc::Off);
    EXPECT_TRUE(Find<TExplorerButton>(*w, "btnCalculate")->isVisible());
}

TEST_F(MainWindowTest, AKeptAutoCalcTextIsSavedUnchangedByTheClose)
{
    WriteIni("[LastValues]\nAutoCalc=Sometimes\n");
    Start();
    w->close();
    EXPECT_TRUE(Ini().contains("AutoCalc=Sometimes\n")) << Ini().toStdString();
}

TEST_F(MainWindowTest, ANonNumericSettingStartsWithDefaultsTellsOnceAndKeepsTheTrap)
{
    WriteIni("[LastValues]\nPrice=abc\nAutoCalc=ON\n");
    MessageBoxAnswerer boxes;
    Start();
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text, "'abc' is not a valid floating point value.");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Tallyhorn");
    EXPECT_EQ(boxes.Boxes()[0].icon, MessageIcon::Error);
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 100000);
    EXPECT_EQ(w->AutoCalcState(), TfrmMain::AutoCalc::Off);
    // The error trap is in place: a math error resets instead of reaching the default box.
    Find<TFnpNumericEdit>(*w, "edtTerm")->SetValue(0);
    QTest::mouseClick(Find<TExplorerButton>(*w, "btnCalculate"), Qt::LeftButton);
    ASSERT_EQ(boxes.Boxes().size(), 2);
    EXPECT_EQ(boxes.Boxes()[1].caption, "Information");
    // Closing writes sound values over the damaged one.
    w->close();
    EXPECT_TRUE(Ini().contains("Price=100000"));
}

TEST_F(MainWindowTest, AnUnreadableSettingsFileIsReportedOnceAndNeverOverwritten)
{
    QDir().mkpath(folder.File("TorvIni.ini")); // exists, but is not a readable file
    MessageBoxAnswerer boxes;
    Start();
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes()[0].text.contains("cannot be read"));
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 100000);
    ClickAutoCalc();
    w->close();
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(MainWindowTest, ANewRequestDuringABuildRestartsItWithTheNewInputs)
{
    Start();
    ClickAutoCalc();
    // While the next build runs, the user changes the rate and leaves the field.
    bool injected = InjectDuringBuild(
        [this] {
            Find<TFnpNumericEdit>(*w, "edtInterest")->SetValue(7.5);
            w->CalcAPRTable(Find<TFnpNumericEdit>(*w, "edtInterest"));
        },
        [this] { w->CalcAPRTable(Find<TExplorerButton>(*w, "btnAutoCalcStatus")); });
    EXPECT_TRUE(injected);
    EXPECT_FALSE(w->BuildRunning());
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->text(), "7.500");
    // Every cell belongs to 7.5 %: the user's own cells, and no 8.75 % text anywhere.
    EXPECT_EQ(Cell(1, 6), " 7.500%");
    EXPECT_EQ(Cell(2, 6), " 7.500%");
    EXPECT_EQ(Cell(7, 11), " 7.500%");
    for (int col = 1; col <= 7; ++col)
        for (int row = 1; row <= 11; ++row)
            EXPECT_NE(Cell(col, row), QString(" %1%").arg(DefaultAprTable[row - 1][col - 1]))
                << col << ", " << row;
}

TEST_F(MainWindowTest, ARequestWithAutoCalcOffDuringABuildStillFinishesTheTable)
{
    Start();
    bool injected = InjectDuringBuild(
        [this] {
            Find<TFnpNumericEdit>(*w, "edtInterest")->SetValue(7.5);
            w->CalcAPRTable(Find<TFnpNumericEdit>(*w, "edtInterest"));
        },
        [this] { QTest::mouseClick(Find<TExplorerButton>(*w, "btnCalculate"), Qt::LeftButton); });
    EXPECT_TRUE(injected);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtAPR")->text(), "7.500");
    EXPECT_EQ(Cell(1, 6), " 7.500%");
    EXPECT_EQ(Cell(7, 11), " 7.500%");
}

TEST_F(MainWindowTest, HintLineFollowsTheControlUnderTheMouse)
{
    Start();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(Find<TExplorerButton>(*w, "btnReset"), &enter);
    EXPECT_EQ(Find<QLabel>(*w, "StatusBar1")->text(), " Reset");
    EXPECT_EQ(Find<TExplorerButton>(*w, "btnReset")->toolTip(), " Reset");
    QApplication::sendEvent(Find<TRadioGroup>(*w, "rgLoan")->Button(2),
                            &enter); // the group's hint covers its items
    EXPECT_EQ(Find<QLabel>(*w, "StatusBar1")->text(),
              " Click the appropriate radio button to set purchase price increment");
    QApplication::sendEvent(Find<TFnpNumericEdit>(*w, "edtTerm"), &enter);
    EXPECT_EQ(Find<QLabel>(*w, "StatusBar1")->text(), "");
    w->DisplayHint(" Reset|Restores the default values");
    EXPECT_EQ(Find<QLabel>(*w, "StatusBar1")->text(), "Restores the default values");
    w->DisplayHint(" Reset");
    EXPECT_EQ(Find<QLabel>(*w, "StatusBar1")->text(), " Reset");
    w->DisplayHint("");
    EXPECT_EQ(Find<QLabel>(*w, "StatusBar1")->text(), "");
}

TEST(SplashScreen, ShowsThePictureAndHidesForGoodWhenItsTimerFires)
{
    TSplashScreen splash;
    EXPECT_EQ(splash.size(), QSize(326, 194));
    EXPECT_EQ(splash.windowTitle(), "Tallyhorn");
    EXPECT_EQ(splash.Timer1()->interval(), 5000);
    EXPECT_FALSE(splash.Timer1()->isActive());
    auto* picture = splash.findChild<QLabel*>("imgProduct");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixmap().size(), QSize(300, 162));
    // The version is drawn on the picture, light on the dark gradient, where the artwork leaves
    // room for it (its baseline at y = 140): dozens of pixels lighter than the bare artwork's.
    const QImage shown = picture->pixmap().toImage();
    const QImage bare = QImage(":/app/product.bmp").convertToFormat(shown.format());
    int lighter = 0;
    for (int y = 128; y <= 143; ++y)
        for (int x = 16; x < 100; ++x)
            lighter += qGray(shown.pixel(x, y)) > qGray(bare.pixel(x, y)) + 60;
    EXPECT_GT(lighter, 40);
    splash.Timer1()->start();
    splash.show();
    splash.Timer1Timer();
    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(splash.Timer1()->isActive());
}

TEST_F(MainWindowTest, CommandSurfaceCaptionsAndShortcuts)
{
    Start();
    EXPECT_EQ(Find<QAction>(*w, "mnuFilePrintSetup")->text(), "Prin&t Setup...");
    EXPECT_EQ(Find<QAction>(*w, "mnuInternetFreeware")->text(), "Velmora' Freeware Page");
    EXPECT_EQ(Find<QAction>(*w, "mnuHelpContents")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(Find<QAction>(*w, "mnuPopPrint")->text(), "&Print Preview");
    EXPECT_EQ(Find<TExplorerButton>(*w, "btnExit")->geometry(), QRect(580, 3, 25, 24));
    EXPECT_EQ(Find<TExplorerButton>(*w, "btnAutoCalcStatus")->geometry(), QRect(459, 3, 114, 24));
    EXPECT_EQ(Find<TURL>(*w, "UrlApplication")->FullAddress(),
              "http://www.velmora.example/Torv/Torv.htm");
    EXPECT_EQ(Find<TURL>(*w, "UrlEmailSupport")->FullAddress(), "mailto:support@velmora.example");
    EXPECT_EQ(Find<TNumEdit>(*w, "edtFixedFees")->width(), 67);
    EXPECT_TRUE(Find<TNumEdit>(*w, "edtLoan")->isReadOnly());
    EXPECT_EQ(Find<TNumEdit>(*w, "edtLoan")->focusPolicy(), Qt::ClickFocus);
    // The tab order of the inputs; the read-only results are no tab stops.
    Find<TNumEdit>(*w, "edtPurchasePrice")->setFocus(Qt::OtherFocusReason);
    const QWidget* expected[] = {
        Find<TFnpNumericEdit>(*w, "edtDownPaymentPercent"), Find<TFnpNumericEdit>(*w, "edtTerm"),
        Find<TFnpNumericEdit>(*w, "edtInterest"), Find<QPushButton>(*w, "btnCalcFixed"),
        Find<TRadioGroup>(*w, "rgLoan")->Button(3)};
    for (const QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, TheGridFillsTheClientAreaButNeverDropsBelowOneHundredPixels)
{
    Start();
    EXPECT_EQ(Find<TStringAlignGrid>(*w, "grdAPR")->height(), 250);
    w->centralWidget()->setFixedHeight(300);
    EXPECT_EQ(Find<TStringAlignGrid>(*w, "grdAPR")->height(), 138);
    w->centralWidget()->setFixedHeight(261);
    EXPECT_EQ(Find<TStringAlignGrid>(*w, "grdAPR")->height(), 100);
    w->centralWidget()->setFixedHeight(150);
    EXPECT_EQ(Find<TStringAlignGrid>(*w, "grdAPR")->height(), 100);
}
