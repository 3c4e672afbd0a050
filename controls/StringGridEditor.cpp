// The grid's in-place editor: opening and closing it, Enter, Escape and leaving the grid.
#include "controls/StringGrid.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

bool TStringGrid::CanEditShow() const
{
    return (m_options & goEditing) && !(m_options & goRowSelect) && m_col >= FixedCols() &&
           m_row >= FixedRows() && m_col < ColCount() && m_row < RowCount();
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
