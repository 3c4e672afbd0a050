// The aligned grid as a widget: what it paints (checked at known pixels of an off-screen
// rendering), its bookkeeping when columns and rows come and go, and in-place editing.
#include "controls/Aligrid.h"

#include "controls/SystemColors.h"
#include "tests/controls/GridShowcase.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>
#include <memory>

namespace {
const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 128, 0), aqua(0, 255, 255);

bool WaitUntil(const std::function<bool()>& condition, int ms = 3000)
{
    QDeadlineTimer deadline(ms);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

class AprGrid : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid = std::make_unique<TStringAlignGrid>();
        showcase::ConfigureAprGrid(*grid);
        grid->resize(8 * 76 + 4, 12 * 19 + 4);
    }
    QImage Render() const { return grid->viewport()->grab().toImage(); }
    // A point inside the cell that the centred text of a short cell never reaches.
    QColor Background(const QImage& image, int col, int row) const
    {
        const QRect r = grid->CellRect(col, row);
        return image.pixelColor(r.left() + 3, r.bottom() - 2);
    }
    // Whether any pixel of the cell (edges excluded) has this colour, or nearly: text is
    // anti-aliased, so its thin strokes blend with the background.
    bool CellHasColour(const QImage& image, int col, int row, const QColor& colour) const
    {
        const QRect r = grid->CellRect(col, row).adjusted(1, 1, -1, -1);
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (Near(image.pixelColor(x, y), colour))
                    return true;
        return false;
    }
    static bool Near(const QColor& a, const QColor& b)
    {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                   std::abs(a.blue() - b.blue()) <
               120;
    }
    // The leftmost and rightmost columns of the cell holding pixels of about `colour`.
    std::pair<int, int> InkSpan(const QImage& image, int col, int row, const QColor& colour) const
    {
        const QRect r = grid->CellRect(col, row);
        int left = INT_MAX, right = INT_MIN;
        for (int y = r.top() + 1; y < r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (Near(image.pixelColor(x, y), colour)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        return {left, right};
    }

    std::unique_ptr<TStringAlignGrid> grid;
};
} // namespace

TEST_F(AprGrid, ShowsHeadersOnButtonFaceTheMarkedLinesOnYellowAndTheUsersCellRedOnYellow)
{
    grid->SetCells(1, 6, " 8.750%");
    grid->SetCells(2, 2, " 9.125%");
    const QImage image = Render();
    EXPECT_EQ(Background(image, 0, 0), SystemColors::BtnFace());
    EXPECT_EQ(Background(image, 0, 6), SystemColors::BtnFace());
    EXPECT_EQ(Background(image, 3, 0), SystemColors::BtnFace());
    EXPECT_EQ(Background(image, 2, 2), SystemColors::Window());
    EXPECT_EQ(Background(image, 1, 3), showcase::yellow);
    EXPECT_EQ(Background(image, 5, 6), showcase::yellow);
    EXPECT_EQ(Background(image, 1, 6), showcase::yellow);
    EXPECT_TRUE(CellHasColour(image, 1, 6, red));
    EXPECT_TRUE(CellHasColour(image, 2, 2, Qt::black));
    EXPECT_FALSE(CellHasColour(image, 2, 2, red));
    EXPECT_EQ(grid->Cells(0, 6), "$100,000");
    EXPECT_EQ(grid->Cells(7, 0), "$6,000");
}

TEST_F(AprGrid, ColumnColourBeatsRowColourAndCellColourBeatsBoth)
{
    grid->SetColorCol(3, blue);
    grid->SetColorRow(4, green);
    QImage image = Render();
    EXPECT_EQ(Background(image, 3, 4), blue);
    EXPECT_EQ(Background(image, 2, 4), green);
    grid->SetColorCell(3, 4, aqua);
    image = Render();
    EXPECT_EQ(Background(image, 3, 4), aqua);
    EXPECT_EQ(Background(image, 3, 5), blue);
}

TEST_F(AprGrid, FixedCellsIgnoreOrdinaryColoursAndUseTheirOwn)
{
    grid->SetColorRow(0, blue); // ordinary row store: never seen by the header row
    QImage image = Render();
    EXPECT_EQ(Background(image, 1, 0), SystemColors::BtnFace()); // column 1 is yellow below
    EXPECT_EQ(Background(image, 2, 0), SystemColors::BtnFace());
    grid->SetColorFixedCol(0, aqua);
    grid->SetFixedColor(QColor(200, 200, 255));
    image = Render();
    EXPECT_EQ(Background(image, 0, 3), aqua);
    EXPECT_EQ(Background(image, 2, 0), QColor(200, 200, 255));
    EXPECT_EQ(Background(image, 2, 3), SystemColors::Window()); // the fixed column store only
}

TEST_F(AprGrid, SelectedCellOfTheDisabledGridUsesTheSelectedColoursUnlessSelectionIsOff)
{
    ASSERT_FALSE(grid->isEnabled());
    grid->SetSelection({4, 3, 4, 3});
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->Row(), 3);
    grid->SetCells(4, 3, "X");
    QImage image = Render();
    EXPECT_EQ(Background(image, 4, 3), showcase::yellow);
    EXPECT_TRUE(CellHasColour(image, 4, 3, red));
    grid->SetDrawSelection(false);
    image = Render();
    EXPECT_EQ(Background(image, 4, 3), SystemColors::Window());
    EXPECT_FALSE(CellHasColour(image, 4, 3, red));
    // A selected-colour override of the column wins over the grid's.
    grid->SetDrawSelection(true);
    grid->SetSelectedColorCol(4, aqua);
    image = Render();
    EXPECT_EQ(Background(image, 4, 3), aqua);
}

TEST_F(AprGrid, SettingAColumnColourTwiceReusesOneBrushCopiedFromTheGrids)
{
    grid->Brush()->SetStyle(Qt::Dense4Pattern);
    grid->SetColorCol(2, blue);
    TMyBrush* first = grid->BrushCol(2);
    grid->SetColorCol(2, green);
    EXPECT_EQ(grid->BrushCol(2), first);
    EXPECT_EQ(first->Style(), Qt::Dense4Pattern);
    EXPECT_EQ(grid->ColorCol(2), green);
    EXPECT_TRUE(first->Changed());
}

TEST_F(AprGrid, ReadingBeyondTheLastRowIsEmptyAndChangingRowCountKeepsOverrides)
{
    grid->SetCells(3, 11, "last");
    EXPECT_EQ(grid->Cells(3, 11), "last");
    EXPECT_EQ(grid->Cells(3, 12), "");
    EXPECT_EQ(grid->Cells(3, 1000), "");
    EXPECT_EQ(grid->Cells(99, 1), "");
    EXPECT_EQ(grid->RowCount(), 12);
    grid->SetRowCount(3);
    grid->SetRowCount(12);
    EXPECT_EQ(grid->ColorRow(6), showcase::yellow);
    EXPECT_EQ(grid->Cells(3, 11), ""); // the text went with the row
    EXPECT_EQ(Background(Render(), 4, 6), showcase::yellow);
}

TEST_F(AprGrid, EveryLineOfACellIsAlignedOnItsOwnAndClippedToTheCell)
{
    grid->Font()->SetColor(red);
    grid->SetSelection({7, 11, 7, 11}); // keep the selection away from the tested cells
    const QRect cell = grid->CellRect(3, 2);
    const QFontMetrics metrics(grid->Font()->Font());

    grid->SetCells(3, 2, "W");
    grid->SetAlignCell(3, 2, alLeft);
    auto [left, right] = InkSpan(Render(), 3, 2, red);
    EXPECT_GE(left, cell.left() + 2);
    EXPECT_LE(left, cell.left() + 3);

    grid->SetAlignCell(3, 2, alRight);
    std::tie(left, right) = InkSpan(Render(), 3, 2, red);
    EXPECT_LE(right, cell.left() + cell.width() - 3);
    EXPECT_GE(right, cell.left() + cell.width() - 5);

    grid->SetAlignCell(3, 2, alCenter);
    std::tie(left, right) = InkSpan(Render(), 3, 2, red);
    EXPECT_NEAR((left + right) / 2.0, cell.center().x(), 2.0);

    // Two lines at CR LF, the short one centred by itself one line lower.
    grid->SetCells(3, 2, "WWW\r\nW");
    grid->SetRowHeights(2, 40);
    const QImage image = Render();
    const QRect tall = grid->CellRect(3, 2);
    int firstTop = -1, secondTop = -1, firstLeft = INT_MAX, secondLeft = INT_MAX;
    const int boundary = tall.top() + 2 + metrics.height();
    for (int y = tall.top(); y <= tall.bottom(); ++y)
        for (int x = tall.left(); x <= tall.right(); ++x) {
            if (!Near(image.pixelColor(x, y), red))
                continue;
            int& top = y < boundary ? firstTop : secondTop;
            int& leftmost = y < boundary ? firstLeft : secondLeft;
            if (top < 0)
                top = y;
            leftmost = std::min(leftmost, x);
        }
    ASSERT_GE(firstTop, 0);
    ASSERT_GE(secondTop, 0);
    EXPECT_NEAR(secondTop - firstTop, metrics.height(), 1);
    EXPECT_GT(secondLeft, firstLeft); // the shorter line starts further right

    // A text ending in CR draws its one line only.
    grid->SetCells(3, 2, "W\r");
    const QImage single = Render();
    bool below = false;
    for (int y = tall.top() + 2 + metrics.height(); y <= tall.bottom(); ++y)
        for (int x = tall.left(); x <= tall.right(); ++x)
            below = below || Near(single.pixelColor(x, y), red);
    EXPECT_FALSE(below);
}

TEST_F(AprGrid, TextWiderThanItsCellStaysInsideIt)
{
    grid->Font()->SetColor(red);
    grid->SetSelection({7, 11, 7, 11});
    grid->SetCells(2, 3, QString(40, 'W')); // centred: starts left of the cell
    grid->SetCells(0, 3, "");
    grid->SetCells(3, 4, QString(40, 'W'));
    grid->SetAlignCell(3, 4, alRight);
    grid->SetCells(2, 4, "");
    const QImage image = Render();
    EXPECT_TRUE(CellHasColour(image, 2, 3, red));
    EXPECT_FALSE(CellHasColour(image, 1, 3, red));
    EXPECT_FALSE(CellHasColour(image, 2, 4, red));
}

TEST_F(AprGrid, EffectiveAlignmentFollowsTheLookupOrder)
{
    EXPECT_EQ(grid->GetCellAlign(2, 3), alCenter);
    grid->SetAlignRow(3, alLeft);
    EXPECT_EQ(grid->GetCellAlign(2, 3), alLeft);
    grid->SetAlignCol(2, alRight);
    EXPECT_EQ(grid->GetCellAlign(2, 3), alRight);
    EXPECT_EQ(grid->GetCellAlign(2, 0), alCenter); // the header ignores the column's alignment
    grid->SetFixedAlignRow(0, alLeft);
    EXPECT_EQ(grid->GetCellAlign(2, 0), alLeft);
    grid->SetFixedAlignCol(2, alRight); // a fixed-column entry for an ordinary column
    EXPECT_EQ(grid->GetCellAlign(2, 0), alRight);
    EXPECT_FALSE(grid->AlignCell(2, 3).has_value());
    grid->SetAlignCell(2, 3, alCenter);
    EXPECT_EQ(grid->GetCellAlign(2, 3), alCenter);
}

TEST_F(AprGrid, InsertingAndMovingCarryTextsAndOverrides)
{
    grid->SetColorCol(3, blue);
    grid->SetCells(3, 2, "three");
    grid->SetHintCell(3, 2, "hint");
    grid->InsertCol(2);
    EXPECT_EQ(grid->ColCount(), 9);
    EXPECT_EQ(grid->ColorCol(4), blue);
    EXPECT_EQ(grid->ColorCol(2), grid->Brush()->Color());
    EXPECT_EQ(grid->Cells(4, 2), "three");
    EXPECT_EQ(grid->HintCell(4, 2), "hint");
    EXPECT_EQ(grid->Cells(2, 0), "");
    EXPECT_EQ(grid->ColorCol(1), showcase::yellow); // before the insertion: unchanged

    grid->InsertCol(0); // inside the fixed area: becomes the first ordinary column
    EXPECT_EQ(grid->Cells(0, 0), "Loan / Fees");
    EXPECT_EQ(grid->Cells(1, 0), "");
    EXPECT_EQ(grid->ColorCol(2), showcase::yellow);

    grid->InsertRow(6);
    EXPECT_EQ(grid->ColorRow(7), showcase::yellow);
    EXPECT_EQ(grid->Cells(0, 7), "$100,000");
    EXPECT_EQ(grid->RowCount(), 13);

    grid->MoveRow(7, 1);
    EXPECT_EQ(grid->ColorRow(1), showcase::yellow);
    EXPECT_EQ(grid->Cells(0, 1), "$100,000");
    EXPECT_EQ(grid->Cells(0, 2), "$95,000");
    grid->MoveColumn(5, 1);
    EXPECT_EQ(grid->ColorCol(1), blue);
    EXPECT_EQ(grid->Cells(1, 3), "three");
}

TEST_F(AprGrid, SortingRowsTakesTheirOverridesAlong)
{
    grid->SetColorRow(2, blue);
    grid->SortRows(0, false); // "$95,000" ... "$99,000", "$100,000" ... by text, descending
    EXPECT_EQ(grid->Cells(0, 1), "$99,000");
    for (int row = 1; row < 12; ++row) {
        if (grid->Cells(0, row) == "$96,000") {
            EXPECT_EQ(grid->ColorRow(row), blue);
        }
    }
    QObject::connect(
        grid.get(), &TStringAlignGrid::OnCompareRow,
        [](TStringAlignGrid* g, int col, int a, int b, t_relation& result) {
            const auto amount = [&](int row) {
                return QString(g->Cells(col, row)).remove(QRegularExpression("[$,]")).toInt();
            };
            const int x = amount(a), y = amount(b);
            result = x < y ? rel_less : (x > y ? rel_greater : rel_equal);
        });
    grid->SortRows(0);
    EXPECT_EQ(grid->Cells(0, 1), "$95,000");
    EXPECT_EQ(grid->Cells(0, 11), "$105,000");
    EXPECT_EQ(grid->ColorRow(2), blue);
    EXPECT_EQ(grid->ColorRow(6), showcase::yellow);
}

// --- Editing and Tab, on an enabled, editable grid ----------------------------------------

namespace {
class EditGrid : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid = std::make_unique<TStringAlignGrid>();
        grid->SetColCount(4);
        grid->SetRowCount(4);
        grid->SetOptions(grid->Options() | goEditing | goTabs);
        grid->SetShowCellHints(false);
        grid->resize(400, 200);
        grid->show();
        grid->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(grid.get()));
        grid->setFocus();
        grid->SetSelection({1, 1, 1, 1});
    }
    std::unique_ptr<TStringAlignGrid> grid;
};
} // namespace

TEST_F(EditGrid, EscapePutsBackTheTextAndEnterKeepsTheEdit)
{
    QSignalSpy before(grid.get(), &TStringAlignGrid::OnBeforeEdit);
    QSignalSpy after(grid.get(), &TStringAlignGrid::OnAfterEdit);
    QSignalSpy cancel(grid.get(), &TStringAlignGrid::OnCancelEdit);
    grid->SetCells(1, 1, "old");
    grid->SetAlignCol(1, alRight);
    QTest::keyClick(grid.get(), Qt::Key_F2);
    ASSERT_TRUE(grid->EditorMode());
    QLineEdit* editor = grid->InplaceEditor();
    EXPECT_TRUE(editor->alignment() & Qt::AlignRight);
    ASSERT_TRUE(WaitUntil([&] { return before.count() == 1; }));
    EXPECT_EQ(before[0][1].toInt(), 1);
    EXPECT_EQ(before[0][2].toInt(), 1);
    QTest::keyClicks(editor, "new");
    EXPECT_EQ(grid->Cells(1, 1), "new"); // the cell follows the typing
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(1, 1), "old");
    ASSERT_TRUE(WaitUntil([&] { return cancel.count() == 1; }));
    EXPECT_EQ(after.count(), 0);

    QTest::keyClick(grid.get(), Qt::Key_F2);
    ASSERT_TRUE(grid->EditorMode());
    QTest::keyClicks(grid->InplaceEditor(), "kept");
    QTest::keyClick(grid->InplaceEditor(), Qt::Key_Return);
    EXPECT_EQ(grid->Cells(1, 1), "kept");
    ASSERT_TRUE(WaitUntil([&] { return after.count() == 1; }));
}

TEST_F(EditGrid, NonEditableCellsOpenNoEditor)
{
    grid->SetEditCol(1, false);
    QTest::keyClick(grid.get(), Qt::Key_F2);
    EXPECT_FALSE(grid->EditorMode());
    grid->SetEditCell(1, 1, true); // the cell's own setting wins
    QTest::keyClick(grid.get(), Qt::Key_F2);
    EXPECT_TRUE(grid->EditorMode());
}

TEST_F(EditGrid, TabFollowsNextCellTabAndItsEndRule)
{
    grid->SetNextCellTab(nc_downright);
    grid->SetAfterLastCellTab(lc_newcolrow);
    QTest::keyClick(grid.get(), Qt::Key_Tab);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 2);
    QTest::keyClick(grid.get(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(grid->Row(), 1);
    grid->SetSelection({3, 3, 3, 3});
    QTest::keyClick(grid.get(), Qt::Key_Tab);
    EXPECT_EQ(grid->ColCount(), 5); // ran off the last cell: a new column
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(EditGrid, AutoEditNextCellOpensTheEditorOnTheNextEditableCell)
{
    grid->SetAutoEditNextCell(true);
    grid->SetEditCol(2, false);
    QTest::keyClick(grid.get(), Qt::Key_F2);
    QTest::keyClicks(grid->InplaceEditor(), "a");
    QTest::keyClick(grid->InplaceEditor(), Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([&] { return grid->EditorMode(); }));
    EXPECT_EQ(grid->Col(), 3); // column 2 is not editable
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(AprGrid, CellHintsShowOnlyWhenSwitchedOn)
{
    grid->setEnabled(true);
    grid->SetHintCell(2, 3, "Rate for $97,000 and $1,000 in fees");
    grid->show();
    const QPoint inside = grid->CellRect(2, 3).center();
    QHelpEvent request(QEvent::ToolTip, inside, grid->viewport()->mapToGlobal(inside));
    QApplication::sendEvent(grid->viewport(), &request); // ShowCellHints is off for grdAPR
    EXPECT_FALSE(QToolTip::isVisible() && QToolTip::text().startsWith("Rate"));
    grid->SetShowCellHints(true);
    QApplication::sendEvent(grid->viewport(), &request);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "Rate for $97,000 and $1,000 in fees");
    QToolTip::hideText();
}

TEST_F(AprGrid, ASelectedRangeSurvivesARowCountChangeAndShrinksWithTheGrid)
{
    grid->SetSelection({2, 3, 4, 8});
    grid->SetRowCount(20);
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 3, 4, 8}));
    grid->SetRowCount(6);
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 3, 4, 5}));
    EXPECT_EQ(grid->Row(), 5);
}

TEST_F(EditGrid, DraggingAHeaderMovesTheColumnWithItsOverrides)
{
    grid->SetOptions(grid->Options() | goColMoving);
    grid->SetCells(1, 0, "first");
    grid->SetColorCol(1, blue);
    const QPoint from = grid->CellRect(1, 0).center();
    const QPoint to = grid->CellRect(3, 0).center();
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(grid->viewport(), to);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, to);
    EXPECT_EQ(grid->Cells(3, 0), "first");
    EXPECT_EQ(grid->ColorCol(3), blue);
    EXPECT_EQ(grid->ColorCol(1), grid->Brush()->Color());
}
