// Where the Tab key and automatic editing move the current cell of the aligned grid.
// Pure logic: no widget, so every direction and end rule can be tested on its own.
#pragma once

#include <functional>

// The direction of the next cell: first part is the step, second the wrap. nc_rightdown moves
// right and, at the right edge, continues on the next row down.
enum T_nextcell {
    nc_rightdown,
    nc_downright,
    nc_leftdown,
    nc_downleft,
    nc_leftup,
    nc_upleft,
    nc_rightup,
    nc_upright
};

// What happens when the movement runs off the last cell of the non-fixed area.
enum t_lastcell { lc_newcolrow, lc_stop, lc_first };

// The grid's dimensions: counts include the fixed columns and rows.
struct TGridArea {
    int colCount = 0;
    int rowCount = 0;
    int fixedCols = 0;
    int fixedRows = 0;
};

struct TNextCellStep {
    enum Kind {
        Moved,     // (col, row) is the new current cell
        Stopped,   // stay on the current cell
        NewRow,    // insert an empty row at `insertAt`, then go to (col, row)
        NewColumn, // insert an empty column at `insertAt`, then go to (col, row)
    };
    Kind kind = Stopped;
    int col = -1; // column and row from 0, valid after the insertion for NewRow/NewColumn
    int row = -1;
    int insertAt = -1;
};

// The opposite direction, used by Shift+Tab.
T_nextcell ReverseDirection(T_nextcell dir);

// The step from (col, row) in `dir`. Cells for which `skip` returns true are stepped over
// (columns without a tab stop, cells that are not editable); if every cell is skipped the
// movement stops.
TNextCellStep NextCell(const TGridArea& area, int col, int row, T_nextcell dir, t_lastcell last,
                       const std::function<bool(int col, int row)>& skip = {});
