// The grid's counts, sizes, texts, selection, scrolling and moving or inserting columns and
// rows; where cells lie is worked out by its TGridGeometry.
#include "controls/StringGrid.h"

#include "controls/AccessibleControls.h"
#include "controls/SystemColors.h"

#include <QLineEdit>
#include <QScrollBar>
#include <algorithm>

TStringGrid::TStringGrid(QWidget* parent) : QAbstractScrollArea(parent)
{
    InstallAccessibleControls();
    m_color = SystemColors::Window();
    m_fixedColor = SystemColors::BtnFace();
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::StyledPanel);
    viewport()->setMouseTracking(true);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    Resize(ColCount(), RowCount());
    UpdateScrollBars();
}

TStringGrid::~TStringGrid() = default;

void TStringGrid::Resize(int cols, int rows)
{
    m_geo.Resize(cols, rows, ViewSize());
    cols = ColCount();
    rows = RowCount();
    m_tabStops.resize(cols, true);
    m_cells.resize(cols);
    for (auto& column : m_cells)
        if (static_cast<int>(column.size()) > rows)
            column.resize(rows);
    // Keep the current cell inside the grid.
    const int lastCol = std::max(FixedCols(), cols - 1), lastRow = std::max(FixedRows(), rows - 1);
    m_col = std::clamp(m_col, FixedCols(), lastCol);
    m_row = std::clamp(m_row, FixedRows(), lastRow);
    m_anchorCol = std::clamp(m_anchorCol, FixedCols(), lastCol);
    m_anchorRow = std::clamp(m_anchorRow, FixedRows(), lastRow);
    UpdateScrollBars();
    InvalidateGrid();
}

QSize TStringGrid::ViewSize() const
{
    return viewport()->size();
}

void TStringGrid::SetColCount(int count)
{
    if (count != ColCount()) {
        HideEditor();
        Resize(count, RowCount());
    }
}

void TStringGrid::SetRowCount(int count)
{
    if (count != RowCount()) {
        HideEditor();
        Resize(ColCount(), count);
    }
}

void TStringGrid::SetFixedCols(int count)
{
    m_geo.SetFixedCols(count);
    Resize(ColCount(), RowCount());
}

void TStringGrid::SetFixedRows(int count)
{
    m_geo.SetFixedRows(count);
    Resize(ColCount(), RowCount());
}

void TStringGrid::SetDefaultColWidth(int width)
{
    m_geo.SetDefaultColWidth(width);
    UpdateScrollBars();
    InvalidateGrid();
    ColWidthsChanged();
}

void TStringGrid::SetDefaultRowHeight(int height)
{
    m_geo.SetDefaultRowHeight(height);
    UpdateScrollBars();
    InvalidateGrid();
    RowHeightsChanged();
}

void TStringGrid::SetColWidths(int col, int width)
{
    if (!m_geo.SetColWidth(col, width))
        return;
    UpdateScrollBars();
    InvalidateGrid();
    ColWidthsChanged();
}

void TStringGrid::SetRowHeights(int row, int height)
{
    if (!m_geo.SetRowHeight(row, height))
        return;
    UpdateScrollBars();
    InvalidateGrid();
    RowHeightsChanged();
}

void TStringGrid::SetGridLineWidth(int width)
{
    m_geo.SetGridLineWidth(width);
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
    return col >= 0 && col < ColCount() ? m_tabStops[col] : false;
}

void TStringGrid::SetTabStops(int col, bool on)
{
    if (col >= 0 && col < ColCount())
        m_tabStops[col] = on;
}

TGridRect TStringGrid::Selection() const
{
    TGridRect r{std::min(m_col, m_anchorCol), std::min(m_row, m_anchorRow),
                std::max(m_col, m_anchorCol), std::max(m_row, m_anchorRow)};
    if (m_options & goRowSelect) {
        r.Left = FixedCols();
        r.Right = ColCount() - 1;
    }
    return r;
}

void TStringGrid::SetSelection(const TGridRect& selection)
{
    HideEditor();
    const int maxCol = std::max(ColCount() - 1, 0), maxRow = std::max(RowCount() - 1, 0);
    m_anchorCol = std::clamp(selection.Left, 0, maxCol);
    m_anchorRow = std::clamp(selection.Top, 0, maxRow);
    m_col = std::clamp(selection.Right, 0, maxCol);
    m_row = std::clamp(selection.Bottom, 0, maxRow);
    ScrollToCurrent();
    InvalidateGrid();
}

void TStringGrid::SetLeftCol(int col)
{
    if (!m_geo.SetLeftCol(col, ViewSize()))
        return;
    UpdateScrollBars();
    InvalidateGrid();
}

void TStringGrid::SetTopRow(int row)
{
    if (!m_geo.SetTopRow(row, ViewSize()))
        return;
    UpdateScrollBars();
    InvalidateGrid();
}

QString TStringGrid::Cells(int col, int row) const
{
    if (col < 0 || col >= ColCount() || row < 0)
        return QString();
    const auto& column = m_cells[col];
    return row < static_cast<int>(column.size()) ? column[row] : QString();
}

void TStringGrid::SetCells(int col, int row, const QString& text)
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount())
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
    AnnounceGridChange(this);
}

QRect TStringGrid::CellRect(int col, int row) const
{
    return m_geo.CellRect(col, row, ViewSize());
}

void TStringGrid::MoveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= ColCount() || to >= ColCount())
        return;
    HideEditor();
    MoveGridEntry(m_cells, from, to);
    m_geo.MoveColumn(from, to);
    std::vector<bool> stops(m_tabStops.begin(), m_tabStops.end());
    MoveGridEntry(stops, from, to);
    m_tabStops.assign(stops.begin(), stops.end());
    ColumnMoved(from, to);
    InvalidateGrid();
}

void TStringGrid::MoveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= RowCount() || to >= RowCount())
        return;
    HideEditor();
    for (auto& column : m_cells) {
        if (static_cast<int>(column.size()) <= std::max(from, to))
            column.resize(std::max(from, to) + 1);
        MoveGridEntry(column, from, to);
    }
    m_geo.MoveRow(from, to);
    RowMoved(from, to);
    InvalidateGrid();
}

void TStringGrid::ColumnMoved(int, int) {}

void TStringGrid::RowMoved(int, int) {}

void TStringGrid::InsertColumnAt(int col)
{
    col = std::clamp(col, FixedCols(), ColCount());
    HideEditor();
    m_cells.insert(m_cells.begin() + col, std::vector<QString>());
    m_tabStops.insert(m_tabStops.begin() + col, true);
    m_geo.InsertColumn(col, ViewSize());
    Resize(ColCount(), RowCount());
}

void TStringGrid::InsertRowAt(int row)
{
    row = std::clamp(row, FixedRows(), RowCount());
    HideEditor();
    for (auto& column : m_cells)
        if (row < static_cast<int>(column.size()))
            column.insert(column.begin() + row, QString());
    m_geo.InsertRow(row, ViewSize());
    Resize(ColCount(), RowCount());
}

bool TStringGrid::SelectCell(int, int)
{
    return true;
}

void TStringGrid::FocusCell(int col, int row, bool moveAnchor)
{
    if (ColCount() <= FixedCols() || RowCount() <= FixedRows())
        return;
    col = std::clamp(col, FixedCols(), ColCount() - 1);
    row = std::clamp(row, FixedRows(), RowCount() - 1);
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

void TStringGrid::ScrollToCurrent()
{
    if (m_geo.ScrollToShow(m_col, m_row, ViewSize()))
        UpdateScrollBars();
}

void TStringGrid::UpdateScrollBars()
{
    const bool horz = m_scrollBars == ssHorizontal || m_scrollBars == ssBoth;
    const bool vert = m_scrollBars == ssVertical || m_scrollBars == ssBoth;
    setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    const QSignalBlocker hb(horizontalScrollBar()), vb(verticalScrollBar());
    horizontalScrollBar()->setRange(FixedCols(),
                                    std::max(FixedCols(), m_geo.MaxLeftCol(ViewSize())));
    horizontalScrollBar()->setValue(LeftCol());
    verticalScrollBar()->setRange(FixedRows(), std::max(FixedRows(), m_geo.MaxTopRow(ViewSize())));
    verticalScrollBar()->setValue(TopRow());
}

void TStringGrid::scrollContentsBy(int, int)
{
    m_geo.SetLeftCol(horizontalScrollBar()->value(), ViewSize());
    m_geo.SetTopRow(verticalScrollBar()->value(), ViewSize());
    if (m_editing)
        HideEditor();
    InvalidateGrid();
}

void TStringGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    // A grid that grew may now show cells it had to scroll away while it was small.
    m_geo.ClampScroll(ViewSize());
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
