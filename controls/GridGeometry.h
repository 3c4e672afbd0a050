// Where the cells of a grid lie: column and row counts, fixed (header) columns and rows, widths
// and heights, grid lines, the first ordinary column and row on screen, and from these the
// position of every column and row, cell rectangles, hit testing and the last scroll positions.
// Pure logic: no widget, so every rule can be tested with a table of sizes and points.
//
// Columns and rows are counted from 0, fixed ones included; sizes are in pixels. `view` is the
// size of the area the cells are shown in.
#pragma once

#include "controls/GridTypes.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <algorithm>
#include <vector>

// The entry at `from` goes to `to`; those between shift by one toward `from`.
template <class T> void MoveGridEntry(std::vector<T>& v, int from, int to)
{
    if (from < to)
        std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
    else
        std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
}

// A grid line near which a press starts sizing a column (row).
struct TGridSizingLine {
    int index = -1; // the column or row whose right (bottom) edge it is; -1: none
    bool column = false;
    bool operator==(const TGridSizingLine&) const = default;
};

class TGridGeometry {
public:
    // Pixels either side of a grid line where a press starts sizing.
    static constexpr int SizingSlack = 3;

    int ColCount() const { return m_colCount; }
    int RowCount() const { return m_rowCount; }
    int FixedCols() const { return m_fixedCols; }
    int FixedRows() const { return m_fixedRows; }
    int DefaultColWidth() const { return m_defaultColWidth; }
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    int GridLineWidth() const { return m_gridLineWidth; }
    int LeftCol() const { return m_leftCol; }
    int TopRow() const { return m_topRow; }

    // New counts: added columns (rows) get the default size, the fixed counts shrink to leave
    // one ordinary column (row) where there is room, and the scroll position stays in range.
    void Resize(int cols, int rows, QSize view);
    // The fixed counts are kept below the column (row) count; Resize applies them.
    void SetFixedCols(int count);
    void SetFixedRows(int count);

    // Setting a default size gives every column (row) that size.
    void SetDefaultColWidth(int width);
    void SetDefaultRowHeight(int height);
    // A column (row) outside the grid reads as the default size.
    int ColWidth(int col) const;
    int RowHeight(int row) const;
    // False when nothing changed (outside the grid, or the same size).
    bool SetColWidth(int col, int width);
    bool SetRowHeight(int row, int height);
    void SetGridLineWidth(int width);

    // The first ordinary column (row) on screen, kept between the fixed count and the last
    // scroll position; false when it did not change.
    bool SetLeftCol(int col, QSize view);
    bool SetTopRow(int row, QSize view);
    // Pulls the scroll position back inside its range, for a view that changed size.
    void ClampScroll(QSize view);
    // The last scroll position: the largest first column (row) that still shows the last
    // column (row) whole.
    int MaxLeftCol(QSize view) const;
    int MaxTopRow(QSize view) const;
    // Scrolls so that (col, row) is on screen, ending inside the view where it fits; false when
    // the scroll position stayed.
    bool ScrollToShow(int col, int row, QSize view);
    // The ordinary rows that fit whole below the fixed ones, at least 1: a page for PgUp/PgDn.
    int PageRows(QSize view) const;

    // The left (top) edge of a column (row) on screen; -1 when outside the grid or scrolled
    // away. It may lie beyond the view.
    int ColumnX(int col) const;
    int RowY(int row) const;
    // The cell's rectangle without its grid lines; empty when not on screen.
    QRect CellRect(int col, int row, QSize view) const;
    // The cell under a point, or {-1, -1}; a grid line belongs to the cell left of (above) it.
    TGridCoord MouseCoord(const QPoint& pos) const;
    // The sizing line under a point: column edges in the fixed rows, row edges in the fixed
    // columns, each only when its kind of sizing is allowed.
    TGridSizingLine SizingLine(const QPoint& pos, bool colSizing, bool rowSizing) const;

    // The size of the column (row) at `from` goes to `to`.
    void MoveColumn(int from, int to);
    void MoveRow(int from, int to);
    // A column (row) of the default size at `index`; the count grows by one.
    void InsertColumn(int col, QSize view);
    void InsertRow(int row, QSize view);

private:
    static int Offset(int index, int count, int fixed, int first, const std::vector<int>& sizes,
                      int line);
    static int LastFirst(int extent, int count, int fixed, const std::vector<int>& sizes, int line);

    int m_colCount = 5;
    int m_rowCount = 5;
    int m_fixedCols = 1;
    int m_fixedRows = 1;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    int m_gridLineWidth = 1;
    std::vector<int> m_colWidths = std::vector<int>(5, 64);
    std::vector<int> m_rowHeights = std::vector<int>(5, 24);
    int m_leftCol = 1;
    int m_topRow = 1;
};
