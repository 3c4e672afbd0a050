// The aligned grid's pure parts: the override stores, the effective-value lookup order and the
// Tab / automatic-edit movement.
#include "controls/GridNavigation.h"
#include "controls/GridOverrideStore.h"

#include <gtest/gtest.h>
#include <string>

namespace {
std::string Dump(const TIndexStore<char>& store, int size)
{
    std::string s;
    for (int i = 0; i < size; ++i)
        s += store.Find(i) ? *store.Find(i) : '.';
    return s;
}
} // namespace

TEST(AligridStore, ReadingPastTheEndFindsNothingAndSettingGrows)
{
    TIndexStore<char> store;
    EXPECT_EQ(store.Find(5), nullptr);
    EXPECT_EQ(store.Find(-1), nullptr);
    EXPECT_EQ(store.Size(), 0);
    store.Set(3, 'a');
    EXPECT_EQ(store.Size(), 4);
    EXPECT_EQ(Dump(store, 6), "...a..");
}

TEST(AligridStore, InsertMovesLaterEntriesUpByOne)
{
    TIndexStore<char> store;
    store.Set(1, 'a');
    store.Set(2, 'b');
    store.Set(4, 'c');
    store.Insert(2);
    EXPECT_EQ(Dump(store, 7), ".a.b.c.");
    store.Insert(9); // beyond the end: nothing moves
    EXPECT_EQ(Dump(store, 7), ".a.b.c.");
}

TEST(AligridStore, MoveCarriesTheEntryAndShiftsThoseBetween)
{
    TIndexStore<char> store;
    store.Set(0, 'a');
    store.Set(1, 'b');
    store.Set(2, 'c');
    store.Move(0, 2);
    EXPECT_EQ(Dump(store, 4), "bca.");
    store.Move(2, 0);
    EXPECT_EQ(Dump(store, 4), "abc.");
    store.Move(1, 5); // to beyond the end: the store grows to take it
    EXPECT_EQ(Dump(store, 7), "ac...b.");
}

TEST(AligridStore, CellStoreInsertsAndMovesWholeColumnsAndRows)
{
    TCellStore<char> cells;
    cells.Set(1, 1, 'x');
    cells.Set(2, 3, 'y');
    cells.InsertCol(1);
    EXPECT_EQ(cells.Find(1, 1), nullptr);
    ASSERT_NE(cells.Find(2, 1), nullptr);
    EXPECT_EQ(*cells.Find(2, 1), 'x');
    cells.InsertRow(2);
    EXPECT_EQ(*cells.Find(3, 4), 'y');
    EXPECT_EQ(*cells.Find(2, 1), 'x'); // above the inserted row: unchanged
    cells.MoveRow(4, 0);
    EXPECT_EQ(*cells.Find(3, 0), 'y');
    EXPECT_EQ(*cells.Find(2, 2), 'x');
    cells.MoveCol(3, 0);
    EXPECT_EQ(*cells.Find(0, 0), 'y');
    EXPECT_EQ(*cells.Find(3, 2), 'x');
}

TEST(AligridLookup, CellBeatsColumnBeatsRowBeatsDefault)
{
    TOverrideSet<char> set;
    EXPECT_EQ(set.Lookup(2, 3, false), nullptr);
    set.row.Set(3, 'r');
    EXPECT_EQ(*set.Lookup(2, 3, false), 'r');
    set.col.Set(2, 'c');
    EXPECT_EQ(*set.Lookup(2, 3, false), 'c');
    set.cell.Set(2, 3, 'x');
    EXPECT_EQ(*set.Lookup(2, 3, false), 'x');
    EXPECT_EQ(*set.Lookup(2, 4, false), 'c');
    EXPECT_EQ(*set.Lookup(1, 3, false), 'r');
}

TEST(AligridLookup, FixedCellsSeeOnlyTheFixedStoresAndOrdinaryCellsNever)
{
    TOverrideSet<char> set;
    set.col.Set(1, 'c');
    set.row.Set(0, 'r');
    set.fixedCol.Set(0, 'F');
    set.fixedRow.Set(0, 'G');
    EXPECT_EQ(*set.Lookup(1, 0, true), 'G'); // header of column 1: not the column's 'c'
    EXPECT_EQ(*set.Lookup(0, 5, true), 'F');
    EXPECT_EQ(*set.Lookup(1, 5, false), 'c');
    EXPECT_EQ(set.Lookup(2, 5, false), nullptr); // no fixed store applies to an ordinary cell
    // Without the fixed split (editability, selected colours) fixed cells use the ordinary ones.
    EXPECT_EQ(*set.Lookup(1, 0, true, false), 'c');
}

// --- Tab and automatic-edit movement on a 4 x 4 grid with one fixed column and row ---------

struct NextCellCase {
    const char* name;
    T_nextcell dir;
    t_lastcell last;
    int col, row;
    TNextCellStep::Kind kind;
    int toCol, toRow, insertAt;
};

class AligridNextCell : public ::testing::TestWithParam<NextCellCase> {};

TEST_P(AligridNextCell, Moves)
{
    const NextCellCase& c = GetParam();
    const TNextCellStep step = NextCell({4, 4, 1, 1}, c.col, c.row, c.dir, c.last);
    EXPECT_EQ(step.kind, c.kind);
    if (c.kind != TNextCellStep::Stopped) {
        EXPECT_EQ(step.col, c.toCol);
        EXPECT_EQ(step.row, c.toRow);
    }
    if (c.kind == TNextCellStep::NewRow || c.kind == TNextCellStep::NewColumn) {
        EXPECT_EQ(step.insertAt, c.insertAt);
    }
}

using K = TNextCellStep;
INSTANTIATE_TEST_SUITE_P(
    AllDirections, AligridNextCell,
    ::testing::Values(
        NextCellCase{"RightDownSteps", nc_rightdown, lc_stop, 1, 1, K::Moved, 2, 1, -1},
        NextCellCase{"RightDownWraps", nc_rightdown, lc_stop, 3, 1, K::Moved, 1, 2, -1},
        NextCellCase{"RightDownStops", nc_rightdown, lc_stop, 3, 3, K::Stopped, 0, 0, -1},
        NextCellCase{"RightDownFirst", nc_rightdown, lc_first, 3, 3, K::Moved, 1, 1, -1},
        NextCellCase{"RightDownNewRow", nc_rightdown, lc_newcolrow, 3, 3, K::NewRow, 1, 4, 4},
        NextCellCase{"DownRightWraps", nc_downright, lc_stop, 1, 3, K::Moved, 2, 1, -1},
        NextCellCase{"DownRightFirst", nc_downright, lc_first, 3, 3, K::Moved, 1, 1, -1},
        NextCellCase{"DownRightNewCol", nc_downright, lc_newcolrow, 3, 3, K::NewColumn, 4, 1, 4},
        NextCellCase{"LeftDownWraps", nc_leftdown, lc_stop, 1, 1, K::Moved, 3, 2, -1},
        NextCellCase{"LeftDownFirst", nc_leftdown, lc_first, 1, 3, K::Moved, 3, 1, -1},
        NextCellCase{"LeftDownNewRow", nc_leftdown, lc_newcolrow, 1, 3, K::NewRow, 3, 4, 4},
        NextCellCase{"DownLeftWraps", nc_downleft, lc_stop, 2, 3, K::Moved, 1, 1, -1},
        NextCellCase{"DownLeftFirst", nc_downleft, lc_first, 1, 3, K::Moved, 3, 1, -1},
        NextCellCase{"DownLeftNewCol", nc_downleft, lc_newcolrow, 1, 3, K::NewColumn, 1, 1, 1},
        NextCellCase{"LeftUpWraps", nc_leftup, lc_stop, 1, 2, K::Moved, 3, 1, -1},
        NextCellCase{"LeftUpStops", nc_leftup, lc_stop, 1, 1, K::Stopped, 0, 0, -1},
        NextCellCase{"LeftUpFirst", nc_leftup, lc_first, 1, 1, K::Moved, 3, 3, -1},
        NextCellCase{"LeftUpNewRow", nc_leftup, lc_newcolrow, 1, 1, K::NewRow, 3, 1, 1},
        NextCellCase{"UpLeftWraps", nc_upleft, lc_stop, 2, 1, K::Moved, 1, 3, -1},
        NextCellCase{"UpLeftFirst", nc_upleft, lc_first, 1, 1, K::Moved, 3, 3, -1},
        NextCellCase{"UpLeftNewCol", nc_upleft, lc_newcolrow, 1, 1, K::NewColumn, 1, 3, 1},
        NextCellCase{"RightUpWraps", nc_rightup, lc_stop, 3, 2, K::Moved, 1, 1, -1},
        NextCellCase{"RightUpFirst", nc_rightup, lc_first, 3, 1, K::Moved, 1, 3, -1},
        NextCellCase{"RightUpNewRow", nc_rightup, lc_newcolrow, 3, 1, K::NewRow, 1, 1, 1},
        NextCellCase{"UpRightWraps", nc_upright, lc_stop, 1, 1, K::Moved, 2, 3, -1},
        NextCellCase{"UpRightFirst", nc_upright, lc_first, 3, 1, K::Moved, 1, 3, -1},
        NextCellCase{"UpRightNewCol", nc_upright, lc_newcolrow, 3, 1, K::NewColumn, 4, 3, 4}),
    [](const ::testing::TestParamInfo<NextCellCase>& p) { return std::string(p.param.name); });

TEST(AligridNextCellRules, ShiftTabReversesEachDirection)
{
    EXPECT_EQ(ReverseDirection(nc_rightdown), nc_leftup);
    EXPECT_EQ(ReverseDirection(nc_downright), nc_upleft);
    EXPECT_EQ(ReverseDirection(nc_leftdown), nc_rightup);
    EXPECT_EQ(ReverseDirection(nc_downleft), nc_upright);
    for (int d = nc_rightdown; d <= nc_upright; ++d)
        EXPECT_EQ(ReverseDirection(ReverseDirection(T_nextcell(d))), T_nextcell(d));
}

TEST(AligridNextCellRules, SkippedCellsAreSteppedOverAndAllSkippedStops)
{
    auto noColumn2 = [](int col, int) { return col == 2; };
    const TNextCellStep step = NextCell({4, 4, 1, 1}, 1, 1, nc_rightdown, lc_stop, noColumn2);
    EXPECT_EQ(step.kind, K::Moved);
    EXPECT_EQ(step.col, 3);
    EXPECT_EQ(step.row, 1);
    const TNextCellStep none =
        NextCell({4, 4, 1, 1}, 1, 1, nc_rightdown, lc_first, [](int, int) { return true; });
    EXPECT_EQ(none.kind, K::Stopped);
}
