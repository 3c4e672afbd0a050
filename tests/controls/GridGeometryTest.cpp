// Where the grid's cells lie, without a widget: positions, the last scroll positions, hit
// testing, scrolling a cell into view, sizing lines and pages.
#include "controls/GridGeometry.h"

#include <gtest/gtest.h>

namespace {
// Six columns 30, 40, ..., 80 wide and five rows 10 high, one fixed column and row, 1-pixel
// lines: column edges at 0, 31, 72, 123, 184, 255; row edges at 0, 11, 22, 33, 44.
TGridGeometry Sample(int leftCol = 1, int topRow = 1)
{
    TGridGeometry g;
    const QSize wide(1000, 1000);
    g.Resize(6, 5, wide);
    for (int col = 0; col < 6; ++col)
        g.SetColWidth(col, 30 + 10 * col);
    g.SetDefaultRowHeight(10);
    // Scrolled in a small view, where every position is reachable.
    g.SetLeftCol(leftCol, QSize(0, 0));
    g.SetTopRow(topRow, QSize(0, 0));
    return g;
}
} // namespace

TEST(GridGeometry, ColumnAndRowPositionsSkipWhatIsScrolledAway)
{
    struct Case {
        int leftCol, topRow, col, row, x, y;
    };
    const Case cases[] = {
        {1, 1, 0, 0, 0, 0},   {1, 1, 1, 1, 31, 11},   {1, 1, 5, 4, 255, 44}, {3, 2, 1, 1, -1, -1},
        {3, 2, 2, 2, -1, 11}, {3, 2, 3, 3, 31, 22},   {3, 2, 5, 4, 163, 33}, {3, 2, 0, 0, 0, 0},
        {1, 1, 6, 5, -1, -1}, {1, 1, -1, -1, -1, -1},
    };
    for (const Case& c : cases) {
        const TGridGeometry g = Sample(c.leftCol, c.topRow);
        EXPECT_EQ(g.ColumnX(c.col), c.x) << "col " << c.col << " from " << c.leftCol;
        EXPECT_EQ(g.RowY(c.row), c.y) << "row " << c.row << " from " << c.topRow;
    }
}

TEST(GridGeometry, LastScrollPositionShowsTheLastColumnWhole)
{
    struct Case {
        QSize view;
        int maxLeft, maxTop;
    };
    const Case cases[] = {
        {{1000, 1000}, 1, 1}, // everything fits: no scrolling
        {{183, 45}, 4, 2},    // columns 4 and 5 exactly fill what the fixed column leaves
        {{182, 43}, 5, 3},    // one pixel less: only the last one fits
        {{100, 12}, 5, 4},    // not even the last one fits: it is still the last position
        {{0, 0}, 5, 4},
    };
    for (const Case& c : cases) {
        const TGridGeometry g = Sample();
        EXPECT_EQ(g.MaxLeftCol(c.view), c.maxLeft) << c.view.width();
        EXPECT_EQ(g.MaxTopRow(c.view), c.maxTop) << c.view.height();
    }
    // Setting a scroll position keeps it between the fixed count and the last position.
    TGridGeometry g = Sample();
    EXPECT_FALSE(g.SetLeftCol(0, {200, 100}));
    EXPECT_TRUE(g.SetLeftCol(9, {200, 100}));
    EXPECT_EQ(g.LeftCol(), 4);
    g.ClampScroll({1000, 1000}); // a view that grew shows everything again
    EXPECT_EQ(g.LeftCol(), 1);
}

TEST(GridGeometry, PointsFindTheirCellAndLinesBelongToTheCellBefore)
{
    struct Case {
        int leftCol;
        QPoint pos;
        TGridCoord cell;
    };
    const Case cases[] = {
        {1, {0, 0}, {0, 0}},    {1, {30, 10}, {0, 0}},   {1, {31, 11}, {1, 1}},
        {1, {335, 54}, {5, 4}}, {1, {336, 5}, {-1, -1}}, {1, {5, 55}, {-1, -1}},
        {1, {-1, 5}, {-1, -1}}, {1, {5, -1}, {-1, -1}},  {3, {31, 12}, {3, 1}},
        {3, {163, 12}, {5, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sample(c.leftCol).MouseCoord(c.pos), c.cell)
            << c.pos.x() << "," << c.pos.y() << " from column " << c.leftCol;
}

TEST(GridGeometry, CellRectanglesAreEmptyOffScreen)
{
    const QSize view(200, 100);
    struct Case {
        int topRow, col, row;
        QRect rect;
    };
    const Case cases[] = {
        {1, 1, 1, {31, 11, 40, 10}},
        {1, 4, 4, {184, 44, 70, 10}}, // partly shown: whole rect
        {1, 5, 1, {}},                // starts right of the view
        {2, 1, 1, {}},                // scrolled away
        {2, 0, 0, {0, 0, 30, 10}},    // fixed cells never scroll
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sample(1, c.topRow).CellRect(c.col, c.row, view), c.rect)
            << c.col << "," << c.row;
}

TEST(GridGeometry, ScrollingToACellBringsItWhollyIntoView)
{
    struct Case {
        int leftCol, topRow, col, row;
        QSize view;
        bool moved;
        int newLeft, newTop;
    };
    const Case cases[] = {
        {1, 1, 5, 1, {200, 100}, true, 4, 1},  // forward until column 5 ends inside
        {4, 1, 2, 1, {200, 100}, true, 2, 1},  // back to a column left of the view
        {4, 1, 0, 1, {200, 100}, false, 4, 1}, // a fixed column is always shown
        {1, 1, 1, 4, {200, 30}, true, 1, 4},
        {1, 1, 5, 4, {100, 12}, true, 5, 4}, // too big for the view: it goes first
    };
    for (const Case& c : cases) {
        TGridGeometry g = Sample(c.leftCol, c.topRow);
        EXPECT_EQ(g.ScrollToShow(c.col, c.row, c.view), c.moved) << c.col << "," << c.row;
        EXPECT_EQ(g.LeftCol(), c.newLeft) << c.col << "," << c.row;
        EXPECT_EQ(g.TopRow(), c.newTop) << c.col << "," << c.row;
    }
}

TEST(GridGeometry, SizingLinesLieOnCellEdgesInTheFixedArea)
{
    struct Case {
        QPoint pos;
        bool colSizing, rowSizing;
        TGridSizingLine line;
    };
    const Case cases[] = {
        {{33, 5}, true, true, {0, true}}, // 3 pixels right of column 0's edge
        {{34, 5}, true, true, {}},        // 4 pixels: too far
        {{72, 5}, true, true, {1, true}},  {{72, 5}, false, true, {}}, // column sizing not allowed
        {{72, 15}, true, true, {}},        // column edges only in the fixed rows
        {{5, 12}, true, true, {0, false}}, // row edges in the fixed column
        {{5, 12}, true, false, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sample().SizingLine(c.pos, c.colSizing, c.rowSizing), c.line)
            << c.pos.x() << "," << c.pos.y();
}

TEST(GridGeometry, ResizingMovingAndInsertingKeepSizesWithTheirColumns)
{
    TGridGeometry g = Sample(4, 3);
    EXPECT_EQ(g.PageRows({200, 45}), 2); // only rows 3 and 4 are left below the top row 3
    EXPECT_EQ(Sample().PageRows({200, 45}), 3);
    EXPECT_EQ(Sample().PageRows({200, 5}), 1); // at least one row

    g.MoveColumn(1, 4);
    EXPECT_EQ(g.ColWidth(4), 40);
    EXPECT_EQ(g.ColWidth(1), 50);
    g.InsertColumn(2, {200, 100});
    EXPECT_EQ(g.ColCount(), 7);
    EXPECT_EQ(g.ColWidth(2), g.DefaultColWidth());
    EXPECT_EQ(g.ColWidth(3), 60);
    EXPECT_EQ(g.ColWidth(9), g.DefaultColWidth()); // outside reads as the default
    EXPECT_FALSE(g.SetColWidth(9, 5));

    // Shrinking to one column and row leaves no room for fixed ones and pulls the scroll
    // position back; growing again gives the new columns the default size.
    g.Resize(1, 1, {200, 100});
    EXPECT_EQ(g.FixedCols(), 0);
    EXPECT_EQ(g.FixedRows(), 0);
    EXPECT_EQ(g.LeftCol(), 0);
    EXPECT_EQ(g.TopRow(), 0);
    g.Resize(3, 3, {200, 100});
    EXPECT_EQ(g.ColWidth(2), g.DefaultColWidth());
    EXPECT_EQ(g.RowHeight(2), 10);
}
