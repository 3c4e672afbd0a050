#include "controls/GridGeometry.h"

#include <cstdlib>

namespace {
constexpr int minimumCellSize = 0;
} // namespace

void TGridGeometry::Resize(int cols, int rows, QSize view)
{
    cols = std::max(cols, 0);
    rows = std::max(rows, 0);
    m_colCount = cols;
    m_rowCount = rows;
    m_colWidths.resize(cols, m_defaultColWidth);
    m_rowHeights.resize(rows, m_defaultRowHeight);
    m_fixedCols = std::min(m_fixedCols, std::max(cols - 1, 0));
    m_fixedRows = std::min(m_fixedRows, std::max(rows - 1, 0));
    ClampScroll(view);
}

void TGridGeometry::SetFixedCols(int count)
{
    m_fixedCols = std::clamp(count, 0, std::max(m_colCount - 1, 0));
}

void TGridGeometry::SetFixedRows(int count)
{
    m_fixedRows = std::clamp(count, 0, std::max(m_rowCount - 1, 0));
}

void TGridGeometry::SetDefaultColWidth(int width)
{
    m_defaultColWidth = std::max(width, minimumCellSize);
    std::fill(m_colWidths.begin(), m_colWidths.end(), m_defaultColWidth);
}

void TGridGeometry::SetDefaultRowHeight(int height)
{
    m_defaultRowHeight = std::max(height, minimumCellSize);
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), m_defaultRowHeight);
}

int TGridGeometry::ColWidth(int col) const
{
    return col >= 0 && col < m_colCount ? m_colWidths[col] : m_defaultColWidth;
}

int TGridGeometry::RowHeight(int row) const
{
    return row >= 0 && row < m_rowCount ? m_rowHeights[row] : m_defaultRowHeight;
}

bool TGridGeometry::SetColWidth(int col, int width)
{
    if (col < 0 || col >= m_colCount || m_colWidths[col] == width)
        return false;
    m_colWidths[col] = std::max(width, minimumCellSize);
    return true;
}

bool TGridGeometry::SetRowHeight(int row, int height)
{
    if (row < 0 || row >= m_rowCount || m_rowHeights[row] == height)
        return false;
    m_rowHeights[row] = std::max(height, minimumCellSize);
    return true;
}

void TGridGeometry::SetGridLineWidth(int width)
{
    m_gridLineWidth = std::max(width, 0);
}

bool TGridGeometry::SetLeftCol(int col, QSize view)
{
    col = std::clamp(col, m_fixedCols, MaxLeftCol(view));
    if (col == m_leftCol)
        return false;
    m_leftCol = col;
    return true;
}

bool TGridGeometry::SetTopRow(int row, QSize view)
{
    row = std::clamp(row, m_fixedRows, MaxTopRow(view));
    if (row == m_topRow)
        return false;
    m_topRow = row;
    return true;
}

void TGridGeometry::ClampScroll(QSize view)
{
    m_leftCol = std::clamp(m_leftCol, m_fixedCols, MaxLeftCol(view));
    m_topRow = std::clamp(m_topRow, m_fixedRows, MaxTopRow(view));
}

int TGridGeometry::LastFirst(int extent, int count, int fixed, const std::vector<int>& sizes,
                             int line)
{
    for (int i = 0; i < fixed; ++i)
        extent -= sizes[i] + line;
    int first = count - 1;
    int used = 0;
    while (first >= fixed) {
        used += sizes[first] + line;
        if (used > extent)
            break;
        --first;
    }
    return std::max(fixed, std::min(first + 1, count - 1));
}

int TGridGeometry::MaxLeftCol(QSize view) const
{
    return LastFirst(view.width(), m_colCount, m_fixedCols, m_colWidths, m_gridLineWidth);
}

int TGridGeometry::MaxTopRow(QSize view) const
{
    return LastFirst(view.height(), m_rowCount, m_fixedRows, m_rowHeights, m_gridLineWidth);
}

bool TGridGeometry::ScrollToShow(int col, int row, QSize view)
{
    int left = m_leftCol, top = m_topRow;
    if (col >= m_fixedCols && col < left)
        left = col;
    if (row >= m_fixedRows && row < top)
        top = row;
    // Scroll forward until the cell ends inside the view.
    auto fitsX = [&](int first) {
        const int x = Offset(col, m_colCount, m_fixedCols, first, m_colWidths, m_gridLineWidth);
        return x >= 0 && x + m_colWidths[col] <= view.width();
    };
    auto fitsY = [&](int first) {
        const int y = Offset(row, m_rowCount, m_fixedRows, first, m_rowHeights, m_gridLineWidth);
        return y >= 0 && y + m_rowHeights[row] <= view.height();
    };
    while (left < col && !fitsX(left))
        ++left;
    while (top < row && !fitsY(top))
        ++top;
    if (left == m_leftCol && top == m_topRow)
        return false;
    m_leftCol = left;
    m_topRow = top;
    return true;
}

int TGridGeometry::PageRows(QSize view) const
{
    int rows = 0;
    for (int r = m_topRow, y = RowY(m_topRow);
         r < m_rowCount && y >= 0 && y + m_rowHeights[r] <= view.height(); ++r) {
        ++rows;
        y += m_rowHeights[r] + m_gridLineWidth;
    }
    return std::max(rows, 1);
}

int TGridGeometry::Offset(int index, int count, int fixed, int first, const std::vector<int>& sizes,
                          int line)
{
    if (index < 0 || index >= count || (index >= fixed && index < first))
        return -1;
    int offset = 0;
    for (int i = 0; i < fixed && i < index; ++i)
        offset += sizes[i] + line;
    for (int i = std::max(first, fixed); i < index; ++i)
        offset += sizes[i] + line;
    return offset;
}

int TGridGeometry::ColumnX(int col) const
{
    return Offset(col, m_colCount, m_fixedCols, m_leftCol, m_colWidths, m_gridLineWidth);
}

int TGridGeometry::RowY(int row) const
{
    return Offset(row, m_rowCount, m_fixedRows, m_topRow, m_rowHeights, m_gridLineWidth);
}

QRect TGridGeometry::CellRect(int col, int row, QSize view) const
{
    const int x = ColumnX(col), y = RowY(row);
    if (x < 0 || y < 0 || x >= view.width() || y >= view.height())
        return QRect();
    return QRect(x, y, m_colWidths[col], m_rowHeights[row]);
}

TGridCoord TGridGeometry::MouseCoord(const QPoint& pos) const
{
    auto find = [this](int p, int count, int fixed, int first, const std::vector<int>& sizes) {
        int edge = 0;
        for (int i = 0; i < count; ++i) {
            if (i >= fixed && i < first)
                continue;
            edge += sizes[i] + m_gridLineWidth;
            if (p < edge)
                return i;
        }
        return -1;
    };
    if (pos.x() < 0 || pos.y() < 0)
        return TGridCoord();
    const TGridCoord at{find(pos.x(), m_colCount, m_fixedCols, m_leftCol, m_colWidths),
                        find(pos.y(), m_rowCount, m_fixedRows, m_topRow, m_rowHeights)};
    if (at.X < 0 || at.Y < 0)
        return TGridCoord();
    return at;
}

TGridSizingLine TGridGeometry::SizingLine(const QPoint& pos, bool colSizing, bool rowSizing) const
{
    const TGridCoord at = MouseCoord(pos);
    if (colSizing && at.Y >= 0 && at.Y < m_fixedRows) {
        for (int col = 0; col < m_colCount; ++col) {
            const int x = ColumnX(col);
            if (x >= 0 && std::abs(pos.x() - (x + m_colWidths[col])) <= SizingSlack)
                return {col, true};
        }
    }
    if (rowSizing && at.X >= 0 && at.X < m_fixedCols) {
        for (int row = 0; row < m_rowCount; ++row) {
            const int y = RowY(row);
            if (y >= 0 && std::abs(pos.y() - (y + m_rowHeights[row])) <= SizingSlack)
                return {row, false};
        }
    }
    return {};
}

void TGridGeometry::MoveColumn(int from, int to)
{
    if (from >= 0 && to >= 0 && from < m_colCount && to < m_colCount)
        MoveGridEntry(m_colWidths, from, to);
}

void TGridGeometry::MoveRow(int from, int to)
{
    if (from >= 0 && to >= 0 && from < m_rowCount && to < m_rowCount)
        MoveGridEntry(m_rowHeights, from, to);
}

void TGridGeometry::InsertColumn(int col, QSize view)
{
    col = std::clamp(col, 0, m_colCount);
    m_colWidths.insert(m_colWidths.begin() + col, m_defaultColWidth);
    Resize(m_colCount + 1, m_rowCount, view);
}

void TGridGeometry::InsertRow(int row, QSize view)
{
    row = std::clamp(row, 0, m_rowCount);
    m_rowHeights.insert(m_rowHeights.begin() + row, m_defaultRowHeight);
    Resize(m_colCount, m_rowCount + 1, view);
}
