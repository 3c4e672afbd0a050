// The grid's painting: cell backgrounds and texts, grid lines, raised fixed cells, the focus.
#include "controls/StringGrid.h"
#include "controls/SystemColors.h"

#include <QLineEdit>
#include <QMetaMethod>
#include <QPainter>

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
    const bool drawCellConnected =
        isSignalConnected(QMetaMethod::fromSignal(&TStringGrid::OnDrawCell));

    for (int row = 0; row < RowCount(); ++row) {
        const int y = m_geo.RowY(row);
        if (y < 0)
            continue;
        if (y >= height)
            break;
        for (int col = 0; col < ColCount(); ++col) {
            const int x = m_geo.ColumnX(col);
            if (x < 0)
                continue;
            if (x >= width)
                break;
            const QRect rect(x, y, ColWidths(col), RowHeights(row));
            const bool fixed = col < FixedCols() || row < FixedRows();
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
            if (drawCellConnected) {
                painter.save();
                emit OnDrawCell(painter, col, row, rect, state);
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
            if (GridLineWidth() > 0) {
                const QColor line = fixed ? QColor(Qt::black) : QColor(192, 192, 192);
                if (vertLine)
                    painter.fillRect(rect.right() + 1, y, GridLineWidth(),
                                     rect.height() + GridLineWidth(), line);
                if (horzLine)
                    painter.fillRect(x, rect.bottom() + 1, rect.width() + GridLineWidth(),
                                     GridLineWidth(), line);
            }
            if ((state & gdFocused) && !(m_options & goRowSelect) && !m_editing) {
                painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
                painter.drawRect(rect.adjusted(0, 0, -1, -1));
            }
        }
    }
}
