// Ctrl+C in the calculator window: the whole grid as tab-separated text, unless an edit field
// has the focus and copies its own selection.

#include "app/Main.h"
#include "controls/Aligrid.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "tests/support/DefaultTable.h"
#include "tests/support/TempFolder.h"

#include <QClipboard>
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
};

TEST_F(TableCopyTest, CtrlCOutsideTheEditsCopiesTheWholeGrid)
{
    w.CalcAPRTable(w.btnCalculate);
    w.btnCalcFixed->setFocus(Qt::TabFocusReason); // a button, not an edit field
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
    w.edtInterest->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    w.edtInterest->selectAll();
    QTest::keyClick(w.edtInterest, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "8.750");
}

} // namespace
