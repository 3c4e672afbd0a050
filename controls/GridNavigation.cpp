#include "controls/GridNavigation.h"

namespace {
struct Motion {
    bool alongColumns; // the step moves along a row (changes the column)
    int step;          // +1 or -1 for the stepping coordinate
    int wrap;          // +1 or -1 for the other coordinate when the step wraps
};

Motion MotionOf(T_nextcell dir)
{
    switch (dir) {
    case nc_rightdown: return {true, +1, +1};
    case nc_downright: return {false, +1, +1};
    case nc_leftdown: return {true, -1, +1};
    case nc_downleft: return {false, +1, -1};
    case nc_leftup: return {true, -1, -1};
    case nc_upleft: return {false, -1, -1};
    case nc_rightup: return {true, +1, -1};
    case nc_upright: return {false, -1, +1};
    }
    return {true, +1, +1};
}
} // namespace

T_nextcell ReverseDirection(T_nextcell dir)
{
    switch (dir) {
    case nc_rightdown: return nc_leftup;
    case nc_leftup: return nc_rightdown;
    case nc_downright: return nc_upleft;
    case nc_upleft: return nc_downright;
    case nc_leftdown: return nc_rightup;
    case nc_rightup: return nc_leftdown;
    case nc_downleft: return nc_upright;
    case nc_upright: return nc_downleft;
    }
    return dir;
}

TNextCellStep NextCell(const TGridArea& area, int col, int row, T_nextcell dir, t_lastcell last,
                       const std::function<bool(int, int)>& skip)
{
    const int firstCol = area.fixedCols, lastCol = area.colCount - 1;
    const int firstRow = area.fixedRows, lastRow = area.rowCount - 1;
    TNextCellStep result;
    if (firstCol > lastCol || firstRow > lastRow)
        return result; // no non-fixed cell to move to

    const Motion m = MotionOf(dir);
    // Work in (step coordinate, wrap coordinate) so one loop serves all eight directions.
    const int sFirst = m.alongColumns ? firstCol : firstRow;
    const int sLast = m.alongColumns ? lastCol : lastRow;
    const int wFirst = m.alongColumns ? firstRow : firstCol;
    const int wLast = m.alongColumns ? lastRow : lastCol;
    const int sStart = m.step > 0 ? sFirst : sLast;
    const int wStart = m.wrap > 0 ? wFirst : wLast;
    int s = m.alongColumns ? col : row;
    int w = m.alongColumns ? row : col;
    auto toCell = [&](int sv, int wv, TNextCellStep::Kind kind) {
        result.kind = kind;
        result.col = m.alongColumns ? sv : wv;
        result.row = m.alongColumns ? wv : sv;
        return result;
    };

    const long long cells = static_cast<long long>(sLast - sFirst + 1) * (wLast - wFirst + 1);
    for (long long tries = 0; tries <= cells; ++tries) {
        s += m.step;
        if (s < sFirst || s > sLast) {
            s = sStart;
            w += m.wrap;
        }
        if (w < wFirst || w > wLast) {
            switch (last) {
            case lc_stop: result.kind = TNextCellStep::Stopped; return result;
            case lc_first:
                s = sStart;
                w = wStart;
                break;
            case lc_newcolrow: {
                // The new line goes beyond the end the movement ran off: after the last one
                // when moving forward, in front of the first non-fixed one when moving back.
                const TNextCellStep::Kind kind =
                    m.alongColumns ? TNextCellStep::NewRow : TNextCellStep::NewColumn;
                const int at = m.wrap > 0 ? wLast + 1 : wFirst;
                result.insertAt = at;
                // After an insertion at the front, the step coordinate keeps its range.
                return toCell(sStart, at, kind);
            }
            }
        }
        if (!skip || !skip(m.alongColumns ? s : w, m.alongColumns ? w : s))
            return toCell(s, w, TNextCellStep::Moved);
    }
    result.kind = TNextCellStep::Stopped;
    return result;
}
