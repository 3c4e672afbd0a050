#include "controls/StringGrid.h"

#include "controls/SystemColors.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {
// Pixels either side of a grid line where a press starts sizing.
constexpr int sizingSlack = 3;
constexpr int minimumCellSize = 0;

template <class T> void MoveEntry(std::vector<T>& v, int from, int to)
{
    if (from < to)
        std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
    else
        std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
}
} // namespace

TStringGrid::TStringGrid(QWidget* parent) : QAbstractScrollArea(parent)
{
    m_color = SystemColors::Window();
    m_fixedColor = SystemColors::BtnFace();
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::StyledPanel);
    viewport()->setMouseTracking(true);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    Resize(m_colCount, m_rowCount);
    UpdateScrollBars();
}

TStringGrid::~TStringGrid() = default;

void TStringGrid::Resize(int cols, int rows)
{
    cols = std::max(cols, 0);
    rows = std::max(rows, 0);
    m_colCount = cols;
    m_rowCount = rows;
    m_colWidths.resize(cols, m_defaultColWidth);
    m_tabStops.resize(cols, true);
    m_rowHeights.resize(rows, m_defaultRowHeight);
    m_cells.resize(cols);
    for (auto& column : m_cells)
        if (static_cast<int>(column.size()) > rows)
            column.resize(rows);
    m_fixedCols = std::min(m_fixedCols, std::max(cols - 1, 0));
    m_fixedRows = std::min(m_fixedRows, std::max(rows - 1, 0));
    // Keep the current cell and the scroll position inside the grid.
    const int lastCol = std::max(m_fixedCols, cols - 1), lastRow = std::max(m_fixedRows, rows - 1);
    m_col = std::clamp(m_col, m_fixedCols, lastCol);
    m_row = std::clamp(m_row, m_fixedRows, lastRow);
    m_anchorCol = std::clamp(m_anchorCol, m_fixedCols, lastCol);
    m_anchorRow = std::clamp(m_anchorRow, m_fixedRows, lastRow);
    m_leftCol = std::clamp(m_leftCol, m_fixedCols, MaxLeftCol());
    m_topRow = std::clamp(m_topRow, m_fixedRows, MaxTopRow());
    UpdateScrollBars();
    InvalidateGrid();
}

void TStringGrid::SetColCount(int count)
{
    if (count != m_colCount) {
        HideEditor();
        Resize(count, m_rowCount);
    }
}

void TStringGrid::SetRowCount(int count)
{
    if (count != m_rowCount) {
        HideEditor();
        Resize(m_colCount, count);
    }
}

void TStringGrid::SetFixedCols(int count)
{
    m_fixedCols = std::clamp(count, 0, std::max(m_colCount - 1, 0));
    Resize(m_colCount, m_rowCount);
}

void TStringGrid::SetFixedRows(int count)
{
    m_fixedRows = std::clamp(count, 0, std::max(m_rowCount - 1, 0));
    Resize(m_colCount, m_rowCount);
}

void TStringGrid::SetDefaultColWidth(int width)
{
    m_defaultColWidth = std::max(width, minimumCellSize);
    std::fill(m_colWidths.begin(), m_colWidths.end(), m_defaultColWidth);
    UpdateScrollBars();
    InvalidateGrid();
    ColWidthsChanged();
}

void TStringGrid::SetDefaultRowHeight(int height)
{
    m_defaultRowHeight = std::max(height, minimumCellSize);
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), m_defaultRowHeight);
    UpdateScrollBars();
    InvalidateGrid();
    RowHeightsChanged();
}

int TStringGrid::ColWidths(int col) const
{
    return col >= 0 && col < m_colCount ? m_colWidths[col] : m_defaultColWidth;
}

void TStringGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= m_colCount || m_colWidths[col] == width)
        return;
    m_colWidths[col] = std::max(width, minimumCellSize);
    UpdateScrollBars();
    InvalidateGrid();
    ColWidthsChanged();
}

int TStringGrid::RowHeights(int row) const
{
    return row >= 0 && row < m_rowCount ? m_rowHeights[row] : m_defaultRowHeight;
}

void TStringGrid::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= m_rowCount || m_rowHeights[row] == height)
        return;
    m_rowHeights[row] = std::max(height, minimumCellSize);
    UpdateScrollBars();
    InvalidateGrid();
    RowHeightsChanged();
}

void TStringGrid::SetGridLineWidth(int width)
{
    m_gridLineWidth = std::max(width, 0);
    UpdateScrollBars();
    InvalidateGrid();
}

void TStringGrid::SetOptions(TGridOptions options)
{
    m_options = options;
    if (!(m_options & goEditing))
        HideEditor();
    if (!(m_options & goRangeSelect))
        FocusCell(m_col, m_row, true);
    InvalidateGrid();
}

void TStringGrid::SetScrollBars(TScrollStyle style)
{
    m_scrollBars = style;
    UpdateScrollBars();
}

void TStringGrid::SetColor(const QColor& color)
{
    m_color = color;
    InvalidateGrid();
}

void TStringGrid::SetFixedColor(const QColor& color)
{
    m_fixedColor = color;
    InvalidateGrid();
}

void TStringGrid::SetDefaultDrawing(bool on)
{
    m_defaultDrawing = on;
    InvalidateGrid();
}

bool TStringGrid::TabStops(int col) const
{
    return col >= 0 && col < m_colCount ? m_tabStops[col] : false;
}

void TStringGrid::SetTabStops(int col, bool on)
{
    if (col >= 0 && col < m_colCount)
        m_tabStops[col] = on;
}

TGridRect TStringGrid::Selection() const
{
    TGridRect r{std::min(m_col, m_anchorCol), std::min(m_row, m_anchorRow),
                std::max(m_col, m_anchorCol), std::max(m_row, m_anchorRow)};
    if (m_options & goRowSelect) {
        r.Left = m_fixedCols;
        r.Right = m_colCount - 1;
    }
    return r;
}

void TStringGrid::SetSelection(const TGridRect& selection)
{
    HideEditor();
    const int maxCol = std::max(m_colCount - 1, 0), maxRow = std::max(m_rowCount - 1, 0);
    m_anchorCol = std::clamp(selection.Left, 0, maxCol);
    m_anchorRow = std::clamp(selection.Top, 0, maxRow);
    m_col = std::clamp(selection.Right, 0, maxCol);
    m_row = std::clamp(selection.Bottom, 0, maxRow);
    ScrollToCurrent();
    InvalidateGrid();
}

void TStringGrid::SetLeftCol(int col)
{
    col = std::clamp(col, m_fixedCols, MaxLeftCol());
    if (col == m_leftCol)
        return;
    m_leftCol = col;
    UpdateScrollBars();
    InvalidateGrid();
}

void TStringGrid::SetTopRow(int row)
{
    row = std::clamp(row, m_fixedRows, MaxTopRow());
    if (row == m_topRow)
        return;
    m_topRow = row;
    UpdateScrollBars();
    InvalidateGrid();
}

QString TStringGrid::Cells(int col, int row) const
{
    if (col < 0 || col >= m_colCount || row < 0)
        return QString();
    const auto& column = m_cells[col];
    return row < static_cast<int>(column.size()) ? column[row] : QString();
}

void TStringGrid::SetCells(int col, int row, const QString& text)
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= m_rowCount)
        return;
    auto& column = m_cells[col];
    if (row >= static_cast<int>(column.size())) {
        if (text.isEmpty())
            return;
        column.resize(row + 1);
    }
    if (column[row] == text)
        return;
    column[row] = text;
    if (m_editing && col == m_editCol && row == m_editRow && m_editor->text() != text)
        m_editor->setText(text);
    InvalidateCell(col, row);
}

int TStringGrid::ColumnX(int col) const
{
    if (col < 0 || col >= m_colCount || (col >= m_fixedCols && col < m_leftCol))
        return -1;
    int x = 0;
    for (int c = 0; c < m_fixedCols && c < col; ++c)
        x += m_colWidths[c] + m_gridLineWidth;
    for (int c = std::max(m_leftCol, m_fixedCols); c < col; ++c)
        x += m_colWidths[c] + m_gridLineWidth;
    return x;
}

int TStringGrid::RowY(int row) const
{
    if (row < 0 || row >= m_rowCount || (row >= m_fixedRows && row < m_topRow))
        return -1;
    int y = 0;
    for (int r = 0; r < m_fixedRows && r < row; ++r)
        y += m_rowHeights[r] + m_gridLineWidth;
    for (int r = std::max(m_topRow, m_fixedRows); r < row; ++r)
        y += m_rowHeights[r] + m_gridLineWidth;
    return y;
}

QRect TStringGrid::CellRect(int col, int row) const
{
    const int x = ColumnX(col), y = RowY(row);
    if (x < 0 || y < 0 || x >= viewport()->width() || y >= viewport()->height())
        return QRect();
    return QRect(x, y, m_colWidths[col], m_rowHeights[row]);
}

TGridCoord TStringGrid::MouseCoord(const QPoint& pos) const
{
    TGridCoord result;
    auto find = [](int p, int count, int fixed, int first, const std::vector<int>& sizes,
                   int line) {
        int edge = 0;
        for (int i = 0; i < count; ++i) {
            if (i >= fixed && i < first)
                continue;
            edge += sizes[i] + line;
            if (p < edge)
                return i;
        }
        return -1;
    };
    if (pos.x() < 0 || pos.y() < 0)
        return result;
    result.X = find(pos.x(), m_colCount, m_fixedCols, m_leftCol, m_colWidths, m_gridLineWidth);
    result.Y = find(pos.y(), m_rowCount, m_fixedRows, m_topRow, m_rowHeights, m_gridLineWidth);
    if (result.X < 0 || result.Y < 0)
        return TGridCoord();
    return result;
}

void TStringGrid::MoveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= m_colCount || to >= m_colCount)
        return;
    HideEditor();
    MoveEntry(m_cells, from, to);
    MoveEntry(m_colWidths, from, to);
    std::vector<bool> stops(m_tabStops.begin(), m_tabStops.end());
    MoveEntry(stops, from, to);
    m_tabStops.assign(stops.begin(), stops.end());
    ColumnMoved(from, to);
    InvalidateGrid();
}

void TStringGrid::MoveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= m_rowCount || to >= m_rowCount)
        return;
    HideEditor();
    for (auto& column : m_cells) {
        if (static_cast<int>(column.size()) <= std::max(from, to))
            column.resize(std::max(from, to) + 1);
        MoveEntry(column, from, to);
    }
    MoveEntry(m_rowHeights, from, to);
    RowMoved(from, to);
    InvalidateGrid();
}

void TStringGrid::ColumnMoved(int, int) {}
void TStringGrid::RowMoved(int, int) {}

void TStringGrid::InsertColumnAt(int col)
{
    col = std::clamp(col, m_fixedCols, m_colCount);
    HideEditor();
    m_cells.insert(m_cells.begin() + col, std::vector<QString>());
    m_colWidths.insert(m_colWidths.begin() + col, m_defaultColWidth);
    m_tabStops.insert(m_tabStops.begin() + col, true);
    Resize(m_colCount + 1, m_rowCount);
}

void TStringGrid::InsertRowAt(int row)
{
    row = std::clamp(row, m_fixedRows, m_rowCount);
    HideEditor();
    for (auto& column : m_cells)
        if (row < static_cast<int>(column.size()))
            column.insert(column.begin() + row, QString());
    m_rowHeights.insert(m_rowHeights.begin() + row, m_defaultRowHeight);
    Resize(m_colCount, m_rowCount + 1);
}

bool TStringGrid::SelectCell(int, int)
{
    return true;
}

void TStringGrid::FocusCell(int col, int row, bool moveAnchor)
{
    if (m_colCount <= m_fixedCols || m_rowCount <= m_fixedRows)
        return;
    col = std::clamp(col, m_fixedCols, m_colCount - 1);
    row = std::clamp(row, m_fixedRows, m_rowCount - 1);
    if (!SelectCell(col, row))
        return;
    if ((col != m_col || row != m_row) && m_editing)
        HideEditor();
    m_col = col;
    m_row = row;
    if (moveAnchor || !(m_options & goRangeSelect)) {
        m_anchorCol = col;
        m_anchorRow = row;
    }
    ScrollToCurrent();
    InvalidateGrid();
    if ((m_options & goAlwaysShowEditor) && hasFocus())
        ShowEditor();
}

int TStringGrid::MaxLeftCol() const
{
    // The largest first column that still shows the last column whole.
    int width = viewport()->width();
    for (int c = 0; c < m_fixedCols; ++c)
        width -= m_colWidths[c] + m_gridLineWidth;
    int col = m_colCount - 1;
    int used = 0;
    while (col >= m_fixedCols) {
        used += m_colWidths[col] + m_gridLineWidth;
        if (used > width)
            break;
        --col;
    }
    return std::max(m_fixedCols, std::min(col + 1, m_colCount - 1));
}

int TStringGrid::MaxTopRow() const
{
    int height = viewport()->height();
    for (int r = 0; r < m_fixedRows; ++r)
        height -= m_rowHeights[r] + m_gridLineWidth;
    int row = m_rowCount - 1;
    int used = 0;
    while (row >= m_fixedRows) {
        used += m_rowHeights[row] + m_gridLineWidth;
        if (used > height)
            break;
        --row;
    }
    return std::max(m_fixedRows, std::min(row + 1, m_rowCount - 1));
}

void TStringGrid::ScrollToCurrent()
{
    int left = m_leftCol, top = m_topRow;
    if (m_col >= m_fixedCols && m_col < left)
        left = m_col;
    if (m_row >= m_fixedRows && m_row < top)
        top = m_row;
    // Scroll forward until the current cell ends inside the viewport.
    auto fits = [&](int l, int t) {
        const int saveL = m_leftCol, saveT = m_topRow;
        auto* self = const_cast<TStringGrid*>(this);
        self->m_leftCol = l;
        self->m_topRow = t;
        const int x = ColumnX(m_col), y = RowY(m_row);
        const bool okX = x >= 0 && x + m_colWidths[m_col] <= viewport()->width();
        const bool okY = y >= 0 && y + m_rowHeights[m_row] <= viewport()->height();
        self->m_leftCol = saveL;
        self->m_topRow = saveT;
        return std::pair(okX, okY);
    };
    while (left < m_col && !fits(left, top).first)
        ++left;
    while (top < m_row && !fits(left, top).second)
        ++top;
    if (left != m_leftCol || top != m_topRow) {
        m_leftCol = left;
        m_topRow = top;
        UpdateScrollBars();
    }
}

void TStringGrid::UpdateScrollBars()
{
    const bool horz = m_scrollBars == ssHorizontal || m_scrollBars == ssBoth;
    const bool vert = m_scrollBars == ssVertical || m_scrollBars == ssBoth;
    setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    const QSignalBlocker hb(horizontalScrollBar()), vb(verticalScrollBar());
    horizontalScrollBar()->setRange(m_fixedCols, std::max(m_fixedCols, MaxLeftCol()));
    horizontalScrollBar()->setValue(m_leftCol);
    verticalScrollBar()->setRange(m_fixedRows, std::max(m_fixedRows, MaxTopRow()));
    verticalScrollBar()->setValue(m_topRow);
}

void TStringGrid::scrollContentsBy(int, int)
{
    m_leftCol = std::clamp(horizontalScrollBar()->value(), m_fixedCols, MaxLeftCol());
    m_topRow = std::clamp(verticalScrollBar()->value(), m_fixedRows, MaxTopRow());
    if (m_editing)
        HideEditor();
    InvalidateGrid();
}

void TStringGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    // A grid that grew may now show cells it had to scroll away while it was small.
    m_leftCol = std::clamp(m_leftCol, m_fixedCols, MaxLeftCol());
    m_topRow = std::clamp(m_topRow, m_fixedRows, MaxTopRow());
    UpdateScrollBars();
}

void TStringGrid::InvalidateGrid()
{
    viewport()->update();
}

void TStringGrid::InvalidateCell(int col, int row)
{
    const QRect r = CellRect(col, row);
    if (!r.isEmpty())
        viewport()->update(r);
}

void TStringGrid::DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                           TGridDrawState state)
{
    if (!m_defaultDrawing)
        return;
    QColor back = (state & gdFixed) ? m_fixedColor : m_color;
    QColor text = SystemColors::WindowText();
    if ((state & gdSelected) && !(state & gdFocused)) {
        back = SystemColors::ActiveCaption();
        text = palette().color(QPalette::HighlightedText);
    }
    painter.fillRect(rect, back);
    painter.setPen(text);
    painter.setFont(font());
    painter.save();
    painter.setClipRect(rect);
    painter.drawText(rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, Cells(col, row));
    painter.restore();
}

void TStringGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), m_color);
    const TGridRect sel = Selection();
    const bool focused = hasFocus() || (m_editor && m_editor->hasFocus());
    const int width = viewport()->width(), height = viewport()->height();

    for (int row = 0; row < m_rowCount; ++row) {
        const int y = RowY(row);
        if (y < 0)
            continue;
        if (y >= height)
            break;
        for (int col = 0; col < m_colCount; ++col) {
            const int x = ColumnX(col);
            if (x < 0)
                continue;
            if (x >= width)
                break;
            const QRect rect(x, y, m_colWidths[col], m_rowHeights[row]);
            const bool fixed = col < m_fixedCols || row < m_fixedRows;
            TGridDrawState state;
            if (fixed)
                state |= gdFixed;
            else {
                if (focused && col == m_col && row == m_row)
                    state |= gdFocused;
                if (sel.Contains(col, row))
                    state |= gdSelected;
            }
            painter.save();
            DrawCell(painter, col, row, rect, state);
            painter.restore();
            if (OnDrawCell) {
                painter.save();
                OnDrawCell(painter, col, row, rect, state);
                painter.restore();
            }
            const bool vertLine =
                fixed ? bool(m_options & goFixedVertLine) : bool(m_options & goVertLine);
            const bool horzLine =
                fixed ? bool(m_options & goFixedHorzLine) : bool(m_options & goHorzLine);
            // Fixed cells look raised when both fixed lines are drawn.
            if (fixed && vertLine && horzLine && rect.width() > 1 && rect.height() > 1) {
                painter.setPen(SystemColors::BtnHighlight());
                painter.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
                painter.drawLine(rect.left(), rect.top(), rect.left(), rect.bottom());
                painter.setPen(SystemColors::BtnShadow());
                painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
                painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
            }
            if (m_gridLineWidth > 0) {
                const QColor line = fixed ? QColor(Qt::black) : QColor(192, 192, 192);
                if (vertLine)
                    painter.fillRect(rect.right() + 1, y, m_gridLineWidth,
                                     rect.height() + m_gridLineWidth, line);
                if (horzLine)
                    painter.fillRect(x, rect.bottom() + 1, rect.width() + m_gridLineWidth,
                                     m_gridLineWidth, line);
            }
            if ((state & gdFocused) && !(m_options & goRowSelect) && !m_editing) {
                painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
                painter.drawRect(rect.adjusted(0, 0, -1, -1));
            }
        }
    }
}

int TStringGrid::SizingLine(const QPoint& pos, bool& isColumn) const
{
    const TGridCoord at = MouseCoord(pos);
    if ((m_options & goColSizing) && at.Y >= 0 && at.Y < m_fixedRows) {
        for (int col = 0; col < m_colCount; ++col) {
            const int x = ColumnX(col);
            if (x < 0)
                continue;
            const int edge = x + m_colWidths[col];
            if (std::abs(pos.x() - edge) <= sizingSlack) {
                isColumn = true;
                return col;
            }
        }
    }
    if ((m_options & goRowSizing) && at.X >= 0 && at.X < m_fixedCols) {
        for (int row = 0; row < m_rowCount; ++row) {
            const int y = RowY(row);
            if (y < 0)
                continue;
            const int edge = y + m_rowHeights[row];
            if (std::abs(pos.y() - edge) <= sizingSlack) {
                isColumn = false;
                return row;
            }
        }
    }
    return -1;
}

void TStringGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    bool isColumn = false;
    const int line = SizingLine(pos, isColumn);
    if (line >= 0) {
        m_sizingIndex = line;
        m_sizingColumn = isColumn;
        m_sizingStart = isColumn ? pos.x() : pos.y();
        m_sizingOriginal = isColumn ? m_colWidths[line] : m_rowHeights[line];
        return;
    }
    const TGridCoord at = MouseCoord(pos);
    // Dragging a header moves its column (row) where the mouse is let go.
    if ((m_options & goColMoving) && at.Y >= 0 && at.Y < m_fixedRows && at.X >= m_fixedCols) {
        m_movingIndex = at.X;
        m_movingColumn = true;
        return;
    }
    if ((m_options & goRowMoving) && at.X >= 0 && at.X < m_fixedCols && at.Y >= m_fixedRows) {
        m_movingIndex = at.Y;
        m_movingColumn = false;
        return;
    }
    if (at.X < m_fixedCols || at.Y < m_fixedRows)
        return;
    const bool extend = (event->modifiers() & Qt::ShiftModifier) && (m_options & goRangeSelect);
    FocusCell(at.X, at.Y, !extend);
    m_selecting = true;
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (m_sizingIndex >= 0) {
        const int delta = (m_sizingColumn ? pos.x() : pos.y()) - m_sizingStart;
        if (m_sizingColumn)
            SetColWidths(m_sizingIndex, std::max(1, m_sizingOriginal + delta));
        else
            SetRowHeights(m_sizingIndex, std::max(1, m_sizingOriginal + delta));
        return;
    }
    if (m_selecting && (event->buttons() & Qt::LeftButton)) {
        const TGridCoord at = MouseCoord(pos);
        if (at.X >= m_fixedCols && at.Y >= m_fixedRows)
            FocusCell(at.X, at.Y, false);
        return;
    }
    bool isColumn = false;
    const int line = SizingLine(pos, isColumn);
    viewport()->setCursor(line < 0 ? Qt::ArrowCursor
                                   : (isColumn ? Qt::SplitHCursor : Qt::SplitVCursor));
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_movingIndex >= 0 && event->button() == Qt::LeftButton) {
        const TGridCoord at = MouseCoord(event->position().toPoint());
        const int from = m_movingIndex;
        m_movingIndex = -1;
        if (m_movingColumn && at.X >= m_fixedCols)
            MoveColumn(from, at.X);
        else if (!m_movingColumn && at.Y >= m_fixedRows)
            MoveRow(from, at.Y);
    }
    m_sizingIndex = -1;
    m_selecting = false;
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const TGridCoord at = MouseCoord(event->position().toPoint());
    if (event->button() == Qt::LeftButton && at.X == m_col && at.Y == m_row)
        ShowEditor();
}

bool TStringGrid::focusNextPrevChild(bool next)
{
    // With Tab as a grid key, Tab moves between cells rather than out of the grid.
    if ((m_options & goTabs) && !m_editing) {
        TabPressed(!next);
        return true;
    }
    if ((m_options & goTabs) && m_editing) {
        HideEditor();
        TabPressed(!next);
        return true;
    }
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void TStringGrid::TabPressed(bool backward)
{
    int col = m_col + (backward ? -1 : 1), row = m_row;
    if (col >= m_colCount) {
        col = m_fixedCols;
        row = std::min(row + 1, m_rowCount - 1);
    } else if (col < m_fixedCols) {
        col = m_colCount - 1;
        row = std::max(row - 1, m_fixedRows);
    }
    FocusCell(col, row, true);
}

void TStringGrid::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool extend = shift && (m_options & goRangeSelect);
    int pageRows = 0;
    for (int r = m_topRow, y = RowY(m_topRow);
         r < m_rowCount && y >= 0 && y + m_rowHeights[r] <= viewport()->height(); ++r) {
        ++pageRows;
        y += m_rowHeights[r] + m_gridLineWidth;
    }
    pageRows = std::max(pageRows, 1);
    switch (event->key()) {
    case Qt::Key_Left: FocusCell(m_col - 1, m_row, !extend); return;
    case Qt::Key_Right: FocusCell(m_col + 1, m_row, !extend); return;
    case Qt::Key_Up: FocusCell(m_col, m_row - 1, !extend); return;
    case Qt::Key_Down: FocusCell(m_col, m_row + 1, !extend); return;
    case Qt::Key_PageUp: FocusCell(m_col, m_row - pageRows, !extend); return;
    case Qt::Key_PageDown: FocusCell(m_col, m_row + pageRows, !extend); return;
    case Qt::Key_Home:
        FocusCell(ctrl ? m_col : m_fixedCols, ctrl ? m_fixedRows : m_row, !extend);
        return;
    case Qt::Key_End:
        FocusCell(ctrl ? m_col : m_colCount - 1, ctrl ? m_rowCount - 1 : m_row, !extend);
        return;
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter: ShowEditor(); return;
    default: break;
    }
    // A typed character opens the editor and replaces the cell's text with it.
    if (!event->text().isEmpty() && event->text().at(0).isPrint() && !ctrl &&
        (m_options & goEditing) && CanEditShow()) {
        ShowEditor();
        if (m_editing) {
            m_editor->setText(event->text());
            SetCells(m_editCol, m_editRow, event->text());
        }
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

bool TStringGrid::CanEditShow() const
{
    return (m_options & goEditing) && !(m_options & goRowSelect) && m_col >= m_fixedCols &&
           m_row >= m_fixedRows && m_col < m_colCount && m_row < m_rowCount;
}

QLineEdit* TStringGrid::CreateEditor()
{
    return new QLineEdit(viewport());
}

void TStringGrid::UpdateEditor(QLineEdit*) {}

bool TStringGrid::EditorMode() const
{
    return m_editing;
}

void TStringGrid::SetEditorMode(bool on)
{
    if (on)
        ShowEditor();
    else
        HideEditor();
}

void TStringGrid::ShowEditor()
{
    if (m_editing || !CanEditShow())
        return;
    ScrollToCurrent();
    const QRect rect = CellRect(m_col, m_row);
    if (rect.isEmpty())
        return;
    if (!m_editor) {
        m_editor = CreateEditor();
        m_editor->setFrame(false);
        m_editor->installEventFilter(this);
        connect(m_editor, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (m_editing)
                SetCells(m_editCol, m_editRow, text);
        });
    }
    m_editing = true;
    m_editCol = m_col;
    m_editRow = m_row;
    m_editOriginal = Cells(m_col, m_row);
    m_editor->setText(m_editOriginal);
    UpdateEditor(m_editor);
    m_editor->setGeometry(rect);
    m_editor->show();
    m_editor->setFocus(Qt::OtherFocusReason);
    m_editor->selectAll();
    InvalidateGrid();
    EditorShown();
}

void TStringGrid::HideEditor()
{
    if (!m_editing)
        return;
    m_editing = false;
    // The grid takes the focus first: hiding a focused editor would pass the focus on as a
    // Tab does, and with Tab as a grid key that would move the current cell.
    if (m_editor->hasFocus())
        setFocus(Qt::OtherFocusReason);
    m_editor->hide();
    InvalidateGrid();
}

void TStringGrid::EditorAccepted()
{
    HideEditor();
}

void TStringGrid::EditorCancelled()
{
    const int col = m_editCol, row = m_editRow;
    const QString original = m_editOriginal;
    HideEditor();
    SetCells(col, row, original);
}

void TStringGrid::EditorFocusLost()
{
    HideEditor();
}

bool TStringGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor && m_editing) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter: EditorAccepted(); return true;
            case Qt::Key_Escape: EditorCancelled(); return true;
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
                // Moving to another cell keeps the edit.
                HideEditor();
                keyPressEvent(key);
                return true;
            default: break;
            }
        } else if (event->type() == QEvent::FocusOut) {
            auto* focus = static_cast<QFocusEvent*>(event);
            // Leaving for another widget ends the edit; the editor's own context menu and the
            // grid itself taking the focus back do not.
            QWidget* next = QApplication::focusWidget();
            if (focus->reason() != Qt::PopupFocusReason && next != this && next != m_editor)
                EditorFocusLost();
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}
