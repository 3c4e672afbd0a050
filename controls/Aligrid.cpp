#include "controls/Aligrid.h"

#include "controls/NewInplaceEdit.h"
#include "controls/SystemColors.h"
#include "platform/HiddenWindow.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

TStringAlignGrid::TStringAlignGrid(QWidget* parent)
    : TStringGrid(parent), m_selectedCellColor(SystemColors::ActiveCaption()),
      m_font(font(), SystemColors::WindowText()), m_brush(Color(), Qt::SolidPattern),
      m_fixedBrush(FixedColor(), Qt::SolidPattern)
{
    m_font.SetChanged(false);
    connect(&m_font, &TMyFont::OnChange, this, [this] {
        setFont(m_font.Font());
        InvalidateGrid();
    });
    connect(&m_brush, &TMyBrush::OnChange, this, &TStringAlignGrid::InvalidateGrid);
    connect(&m_fixedBrush, &TMyBrush::OnChange, this, &TStringAlignGrid::InvalidateGrid);
}

// The stores own every override object; the fixed brush and the grid's own font and brush are
// members, so nothing needs freeing by hand.
TStringAlignGrid::~TStringAlignGrid() = default;

void TStringAlignGrid::SetAlignment(TMyAlign align)
{
    m_alignment = align;
    InvalidateGrid();
}

void TStringAlignGrid::SetColor(const QColor& color)
{
    TStringGrid::SetColor(color);
    m_brush.SetColor(color);
}

void TStringAlignGrid::SetFixedColor(const QColor& color)
{
    TStringGrid::SetFixedColor(color);
    m_fixedBrush.SetColor(color);
}

void TStringAlignGrid::SetSelectedCellColor(const QColor& color)
{
    m_selectedCellColor = color;
    InvalidateGrid();
}

void TStringAlignGrid::SetSelectedFontColor(const QColor& color)
{
    m_selectedFontColor = color;
    InvalidateGrid();
}

void TStringAlignGrid::SetDrawSelection(bool on)
{
    m_drawSelection = on;
    InvalidateGrid();
}

// --- Drawing -------------------------------------------------------------------------------

void TStringAlignGrid::DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                                TGridDrawState state)
{
    if (!DefaultDrawing()) {
        TStringGrid::DrawCell(painter, col, row, rect, state);
        return;
    }
    // Copies: the selected colours change only what is painted, never the stored overrides.
    const TMyFont* font = GetCellFont(col, row);
    const TMyBrush* brush = GetCellBrush(col, row);
    QColor back = brush->Color();
    QColor text = font->Color();
    const bool focusedShown =
        !(state & gdFocused) || (Options() & (goDrawFocusSelected | goRowSelect));
    if (m_drawSelection && (state & gdSelected) && focusedShown) {
        back = GetCellSelectedColor(col, row);
        text = GetCellSelectedFontColor(col, row);
    }
    if (brush->Style() != Qt::SolidPattern && brush->Style() != Qt::NoBrush)
        painter.fillRect(rect, Color()); // a hatched brush shows on the window colour
    painter.fillRect(rect, QBrush(back, brush->Style()));

    painter.setFont(font->Font());
    painter.setPen(text);
    painter.setClipRect(rect);
    const QFontMetrics metrics(font->Font());
    const TMyAlign align = GetCellAlign(col, row);
    QString rest = Cells(col, row) + QChar('\r');
    int y = rect.top() + 2;
    for (qsizetype cr = rest.indexOf('\r'); cr >= 0; cr = rest.indexOf('\r')) {
        const QString line = rest.left(cr);
        rest = rest.mid(cr + 1);
        if (rest.startsWith('\n'))
            rest = rest.mid(1);
        const int width = metrics.horizontalAdvance(line);
        int x;
        switch (align) {
        case alRight: x = rect.right() + 1 - width - 2; break;
        case alCenter: x = rect.left() + (rect.width() - width) / 2; break;
        default: x = rect.left() + 2; break;
        }
        const int room = rect.width() - 4;
        if (!line.isEmpty() && width > room && room >= width / 2) {
            // A line somewhat wider than its cell is drawn narrower to fit, not cut: every
            // digit of an amount stays readable. A far wider one is cut as it stands.
            painter.save();
            painter.translate(rect.left() + 2, y + metrics.ascent());
            painter.scale(double(room) / width, 1.0);
            painter.drawText(QPoint(0, 0), line);
            painter.restore();
        } else if (!line.isEmpty()) {
            painter.drawText(QPoint(x, y + metrics.ascent()), line);
        }
        y += metrics.height();
    }
}

// --- Editing -------------------------------------------------------------------------------

bool TStringAlignGrid::CanEditShow() const
{
    return TStringGrid::CanEditShow() && GetCellEditable(Col(), Row());
}

QLineEdit* TStringAlignGrid::CreateEditor()
{
    return new TNewInplaceEdit(viewport());
}

void TStringAlignGrid::UpdateEditor(QLineEdit* editor)
{
    const TMyFont* font = GetCellFont(Col(), Row());
    static_cast<TNewInplaceEdit*>(editor)->SetCellLook(GetCellAlign(Col(), Row()), font->Font(),
                                                       font->Color(),
                                                       GetCellBrush(Col(), Row())->Color());
}

void TStringAlignGrid::PostEditEvent(int msg, int col, int row)
{
    if (col >= 0 && row >= 0)
        PostMessage(this, msg, static_cast<std::uintptr_t>(col), row);
}

void TStringAlignGrid::EditorShown()
{
    if (m_reopenSelStart >= 0) {
        InplaceEditor()->setSelection(m_reopenSelStart, m_reopenSelLength);
        m_reopenSelStart = -1;
    }
    PostEditEvent(WM_BEFOREEDIT, Col(), Row());
}

void TStringAlignGrid::EditorAccepted()
{
    const int col = Col(), row = Row();
    TStringGrid::EditorAccepted();
    PostEditEvent(WM_AFTEREDIT, col, row);
    if (m_autoEditNextCell)
        PostMessage(this, WM_EDITNEXTCELL);
}

void TStringAlignGrid::EditorCancelled()
{
    const int col = Col(), row = Row();
    TStringGrid::EditorCancelled();
    PostEditEvent(WM_CANCELEDIT, col, row);
}

void TStringAlignGrid::EditorFocusLost()
{
    const int col = Col(), row = Row();
    if (Options() & goAlwaysShowEditor) {
        QLineEdit* editor = InplaceEditor();
        m_reopenSelStart =
            editor->hasSelectedText() ? editor->selectionStart() : editor->cursorPosition();
        m_reopenSelLength = editor->hasSelectedText() ? editor->selectedText().size() : 0;
    }
    TStringGrid::EditorFocusLost();
    PostEditEvent(WM_AFTEREDIT, col, row);
}

void TStringAlignGrid::focusInEvent(QFocusEvent* event)
{
    TStringGrid::focusInEvent(event);
    if ((Options() & goAlwaysShowEditor) && !EditorMode())
        PostMessage(this, WM_REOPENEDIT);
}

bool TStringAlignGrid::event(QEvent* event)
{
    const int type = event->type();
    if (type < MessageEventType(WM_BEFOREEDIT) || type > MessageEventType(WM_EDITNEXTCELL))
        return TStringGrid::event(event);
    const TMessage& msg = static_cast<TMessageEvent*>(event)->message;
    const int col = static_cast<int>(msg.WParam), row = static_cast<int>(msg.LParam);
    switch (msg.Msg) {
    case WM_BEFOREEDIT: emit OnBeforeEdit(this, col, row); break;
    case WM_AFTEREDIT: emit OnAfterEdit(this, col, row); break;
    case WM_CANCELEDIT: emit OnCancelEdit(this, col, row); break;
    case WM_REOPENEDIT:
        if (hasFocus() && !EditorMode())
            ShowEditor();
        break;
    case WM_EDITNEXTCELL:
        StepToNextCell(m_nextCellEdit, m_afterLastCellEdit, true);
        ShowEditor();
        break;
    default: break;
    }
    return true;
}

// --- Navigation ----------------------------------------------------------------------------

void TStringAlignGrid::StepToNextCell(T_nextcell dir, t_lastcell rule, bool editableOnly)
{
    const TGridArea area{ColCount(), RowCount(), FixedCols(), FixedRows()};
    const TNextCellStep step = NextCell(area, Col(), Row(), dir, rule, [&](int col, int row) {
        return !TabStops(col) || (editableOnly && !GetCellEditable(col, row));
    });
    switch (step.kind) {
    case TNextCellStep::Stopped: return;
    case TNextCellStep::NewRow: InsertRow(step.insertAt); break;
    case TNextCellStep::NewColumn: InsertCol(step.insertAt); break;
    case TNextCellStep::Moved: break;
    }
    FocusCell(step.col, step.row, true);
}

void TStringAlignGrid::TabPressed(bool backward)
{
    StepToNextCell(backward ? ReverseDirection(m_nextCellTab) : m_nextCellTab, m_afterLastCellTab,
                   false);
}

// --- Inserting, moving and sorting ---------------------------------------------------------

void TStringAlignGrid::InsertCol(int col)
{
    col = std::clamp(col, FixedCols(), ColCount());
    m_align.InsertCol(col);
    m_edit.InsertCol(col);
    m_fonts.InsertCol(col);
    m_brushes.InsertCol(col);
    m_selectedColor.InsertCol(col);
    m_selectedFont.InsertCol(col);
    m_hints.InsertCol(col);
    InsertColumnAt(col);
}

void TStringAlignGrid::InsertRow(int row)
{
    row = std::clamp(row, FixedRows(), RowCount());
    m_align.InsertRow(row);
    m_edit.InsertRow(row);
    m_fonts.InsertRow(row);
    m_brushes.InsertRow(row);
    m_selectedColor.InsertRow(row);
    m_selectedFont.InsertRow(row);
    m_hints.InsertRow(row);
    InsertRowAt(row);
}

void TStringAlignGrid::ColumnMoved(int from, int to)
{
    m_align.MoveCol(from, to);
    m_edit.MoveCol(from, to);
    m_fonts.MoveCol(from, to);
    m_brushes.MoveCol(from, to);
    m_selectedColor.MoveCol(from, to);
    m_selectedFont.MoveCol(from, to);
    m_hints.MoveCol(from, to);
}

void TStringAlignGrid::RowMoved(int from, int to)
{
    m_align.MoveRow(from, to);
    m_edit.MoveRow(from, to);
    m_fonts.MoveRow(from, to);
    m_brushes.MoveRow(from, to);
    m_selectedColor.MoveRow(from, to);
    m_selectedFont.MoveRow(from, to);
    m_hints.MoveRow(from, to);
}

void TStringAlignGrid::ColWidthsChanged()
{
    emit OnColWidthsChanged();
}
void TStringAlignGrid::RowHeightsChanged()
{
    emit OnRowHeightsChanged();
}

void TStringAlignGrid::SortRows(int col, bool ascending)
{
    SortLines(true, col, ascending);
}
void TStringAlignGrid::SortColumns(int row, bool ascending)
{
    SortLines(false, row, ascending);
}

void TStringAlignGrid::SortLines(bool rows, int key, bool ascending)
{
    auto relation = [&](int a, int b) {
        const QString ta = rows ? Cells(key, a) : Cells(a, key);
        const QString tb = rows ? Cells(key, b) : Cells(b, key);
        const int c = QString::localeAwareCompare(ta, tb);
        t_relation result = c < 0 ? rel_less : (c > 0 ? rel_greater : rel_equal);
        if (rows)
            emit OnCompareRow(this, key, a, b, result);
        else
            emit OnCompareCol(this, key, a, b, result);
        return result;
    };
    const t_relation wrong = ascending ? rel_greater : rel_less;
    const int first = rows ? FixedRows() : FixedCols();
    const int count = rows ? RowCount() : ColCount();
    // Stable insertion sort through MoveRow/MoveColumn, so the overrides travel with the lines.
    for (int i = first + 1; i < count; ++i) {
        int j = i;
        while (j > first && relation(j - 1, i) == wrong)
            --j;
        if (j != i) {
            if (rows)
                MoveRow(i, j);
            else
                MoveColumn(i, j);
        }
    }
}

// --- Hints ---------------------------------------------------------------------------------

bool TStringAlignGrid::viewportEvent(QEvent* event)
{
    if (m_showCellHints && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const TGridCoord at = MouseCoord(help->pos());
        const QString hint = HintCell(at.X, at.Y);
        if (hint.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            const QRect cell = CellRect(at.X, at.Y);
            // Shown below the cell's bottom-left corner; leaving the cell withdraws it.
            QToolTip::showText(
                viewport()->mapToGlobal(QPoint(cell.left(), cell.top() + cell.height() + 6)), hint,
                viewport(), cell);
        }
        m_hintCell = at;
        return true;
    }
    if (m_showCellHints && event->type() == QEvent::MouseMove) {
        const TGridCoord at = MouseCoord(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (!(at == m_hintCell) && QToolTip::isVisible())
            QToolTip::hideText();
    }
    return TStringGrid::viewportEvent(event);
}
