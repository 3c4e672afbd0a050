// Copying the table in the calculator window: the whole grid as tab-separated text, by Ctrl+C
// outside the edit fields, by a press on the table and Ctrl+C wherever the focus is, and by
// Ctrl+Shift+C anywhere. Keys and presses go to the window, as the user's do.

#include "app/TableCopy.h"

#include "app/Main.h"
#include "controls/Aligrid.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "tests/support/DefaultTable.h"
#include "tests/support/FindChild.h"
#include "tests/support/TempFolder.h"

#include <QClipboard>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct TableCopyTest : ::testing::Test {
    TempProgramFolder folder;
    TfrmMain w;

    void SetUp() override
    {
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        QGuiApplication::clipboard()->setText("before");
    }
    void TearDown() override { w.close(); }

    QString Clipboard() const { return QGuiApplication::clipboard()->text(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(w.windowHandle(), key, modifiers);
        QApplication::processEvents();
    }
    void ClickOn(QWidget* widget)
    {
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {},
                          widget->mapTo(&w, widget->rect().center()));
        QApplication::processEvents();
    }
    // The price field has the focus and holds a price typed but not yet committed.
    void TypePriceAndStay()
    {
        Find<TNumEdit>(w, "edtPurchasePrice")->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        QTest::keyClicks(Find<TNumEdit>(w, "edtPurchasePrice"), "200000");
        ASSERT_EQ(Find<TNumEdit>(w, "edtPurchasePrice")->text(), "200000");
    }
    void ExpectStillInThePrice()
    {
        EXPECT_EQ(QApplication::focusWidget(), Find<TNumEdit>(w, "edtPurchasePrice"));
        EXPECT_EQ(Find<TNumEdit>(w, "edtPurchasePrice")->text(), "200000");
        EXPECT_EQ(Find<TNumEdit>(w, "edtLoan")->text(), "$100,000.00"); // no exit, no calculation
    }
};

TEST_F(TableCopyTest, CtrlCOutsideTheEditsCopiesTheWholeGrid)
{
    w.CalcAPRTable(Find<TExplorerButton>(w, "btnCalculate"));
    Find<QPushButton>(w, "btnCalcFixed")
        ->setFocus(Qt::TabFocusReason); // a button, not an edit field
    QTest::keyClick(&w, Qt::Key_C, Qt::ControlModifier);

    const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 13); // 12 rows, each ended by a line feed
    EXPECT_EQ(lines[0], "Loan / Fees\tIR %\t$0\t$1,000\t$2,000\t$3,000\t$4,000\t$5,000");
    for (int row = 1; row <= 11; ++row) {
        QStringList expected{QString("$%1,000").arg(94 + row)};
        for (int col = 0; col < 7; ++col)
            expected << QString(DefaultAprTable[row - 1][col]) + "%";
        EXPECT_EQ(lines[row], expected.join('\t')) << row;
    }
    EXPECT_EQ(lines[12], "");
}

TEST_F(TableCopyTest, AnEditWithTheFocusCopiesItsOwnSelection)
{
    Find<TFnpNumericEdit>(w, "edtInterest")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    Find<TFnpNumericEdit>(w, "edtInterest")->selectAll();
    QTest::keyClick(Find<TFnpNumericEdit>(w, "edtInterest"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "8.750");
}

TEST_F(TableCopyTest, APressOnTheTableThenCtrlCCopiesItFromAnEditWithoutLeavingTheEdit)
{
    w.CalcAPRTable(Find<TExplorerButton>(w, "btnCalculate"));
    const QString table = TTableCopy::TabText(*Find<TStringAlignGrid>(w, "grdAPR"));
    TypePriceAndStay();

    ClickOn(Find<TStringAlignGrid>(w, "grdAPR"));
    ExpectStillInThePrice();
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), table);
    ExpectStillInThePrice();

    // The note served once: Ctrl+C is the edit's again, which discards it.
    QGuiApplication::clipboard()->setText("before");
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), "before");
}

TEST_F(TableCopyTest, AnyOtherKeyOrAPressElsewhereForgetsThePressOnTheTable)
{
    w.CalcAPRTable(Find<TExplorerButton>(w, "btnCalculate"));
    TypePriceAndStay();
    QGuiApplication::clipboard()->setText("before");

    ClickOn(Find<TStringAlignGrid>(w, "grdAPR"));
    Key(Qt::Key_End); // goes to the edit as usual
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), "before");

    ClickOn(Find<TStringAlignGrid>(w, "grdAPR"));
    ClickOn(Find<QLabel>(w, "StatusBar1"));
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), "before");
    ExpectStillInThePrice();
}

TEST_F(TableCopyTest, CtrlShiftCCopiesTheTableFromAnEditField)
{
    w.CalcAPRTable(Find<TExplorerButton>(w, "btnCalculate"));
    const QString table = TTableCopy::TabText(*Find<TStringAlignGrid>(w, "grdAPR"));
    TypePriceAndStay();
    Key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Clipboard(), table);
    ExpectStillInThePrice();

    QGuiApplication::clipboard()->setText("before");
    Find<TFnpNumericEdit>(w, "edtInterest")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    Key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Clipboard(), table);
    EXPECT_EQ(Find<TFnpNumericEdit>(w, "edtInterest")->text(), "8.750");
}

} // namespace
