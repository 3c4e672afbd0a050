// The grid's mouse and keyboard: selecting, sizing and moving with the mouse, the cursor keys,
// Tab and typing into a cell.
#include "controls/StringGrid.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

TGridSizingLine TStringGrid::SizingLine(const QPoint& pos) const
{
    return m_geo.SizingLine(pos, bool(m_options & goColSizing), bool(m_options & goRowSizing));
}

void TStringGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    const TGridSizingLine line = SizingLine(pos);
    if (line.index >= 0) {
        m_sizingIndex = line.index;
        m_sizingColumn = line.column;
        m_sizingStart = line.column ? pos.x() : pos.y();
        m_sizingOriginal = line.column ? ColWidths(line.index) : RowHeights(line.index);
        return;
    }
    const TGridCoord at = MouseCoord(pos);
    // Dragging a header moves its column (row) where the mouse is let go.
    if ((m_options & goColMoving) && at.Y >= 0 && at.Y < FixedRows() && at.X >= FixedCols()) {
        m_movingIndex = at.X;
        m_movingColumn = true;
        return;
    }
    if ((m_options & goRowMoving) && at.X >= 0 && at.X < FixedCols() && at.Y >= FixedRows()) {
        m_movingIndex = at.Y;
        m_movingColumn = false;
        return;
    }
    if (at.X < FixedCols() || at.Y < FixedRows())
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
        if (at.X >= FixedCols() && at.Y >= FixedRows())
            FocusCell(at.X, at.Y, false);
        return;
    }
    const TGridSizingLine line = SizingLine(pos);
    viewport()->setCursor(line.index < 0 ? Qt::ArrowCursor
                                         : (line.column ? Qt::SplitHCursor : Qt::SplitVCursor));
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_movingIndex >= 0 && event->button() == Qt::LeftButton) {
        const TGridCoord at = MouseCoord(event->position().toPoint());
        const int from = m_movingIndex;
        m_movingIndex = -1;
        if (m_movingColumn && at.X >= FixedCols())
            MoveColumn(from, at.X);
        else if (!m_movingColumn && at.Y >= FixedRows())
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
    if (col >= ColCount()) {
        col = FixedCols();
        row = std::min(row + 1, RowCount() - 1);
    } else if (col < FixedCols()) {
        col = ColCount() - 1;
        row = std::max(row - 1, FixedRows());
    }
    FocusCell(col, row, true);
}

void TStringGrid::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool extend = shift && (m_options & goRangeSelect);
    const int pageRows = m_geo.PageRows(ViewSize());
    switch (event->key()) {
    case Qt::Key_Left: FocusCell(m_col - 1, m_row, !extend); return;
    case Qt::Key_Right: FocusCell(m_col + 1, m_row, !extend); return;
    case Qt::Key_Up: FocusCell(m_col, m_row - 1, !extend); return;
    case Qt::Key_Down: FocusCell(m_col, m_row + 1, !extend); return;
    case Qt::Key_PageUp: FocusCell(m_col, m_row - pageRows, !extend); return;
    case Qt::Key_PageDown: FocusCell(m_col, m_row + pageRows, !extend); return;
    case Qt::Key_Home:
        FocusCell(ctrl ? m_col : FixedCols(), ctrl ? FixedRows() : m_row, !extend);
        return;
    case Qt::Key_End:
        FocusCell(ctrl ? m_col : ColCount() - 1, ctrl ? RowCount() - 1 : m_row, !extend);
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
