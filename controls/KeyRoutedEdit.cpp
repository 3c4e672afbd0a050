#include "controls/KeyRoutedEdit.h"

#include "platform/Application.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <optional>

namespace {
// Undo steps kept per entry; the oldest go first.
constexpr int MaxUndoSteps = 100;
} // namespace

// Around one user edit: when it changed the text, the text before it is an undo step. Edits
// inside it (a paste's characters) belong to it.
class TKeyRoutedEdit::UserEdit {
public:
    explicit UserEdit(TKeyRoutedEdit* edit)
        : m_edit(edit),
          m_outer(edit->m_userEditDepth++ == 0), m_before{
                                                     edit->text(), edit->cursorPosition(),
                                                     edit->selectionStart(),
                                                     static_cast<int>(edit->selectedText().size())}
    {
    }
    ~UserEdit()
    {
        if (!m_edit)
            return; // a receiver of the edit's keys deleted it
        --m_edit->m_userEditDepth;
        if (!m_outer || m_edit->text() == m_before.text)
            return;
        if (m_edit->m_undo.size() >= MaxUndoSteps)
            m_edit->m_undo.removeFirst();
        m_edit->m_undo.append(m_before);
    }
    UserEdit(const UserEdit&) = delete;
    UserEdit& operator=(const UserEdit&) = delete;

private:
    QPointer<TKeyRoutedEdit> m_edit;
    bool m_outer;
    UndoStep m_before;
};

TKeyRoutedEdit::TKeyRoutedEdit(QWidget* parent) : QLineEdit(parent)
{
    // A drop would insert text without passing the key rules.
    setAcceptDrops(false);
}

QColor TKeyRoutedEdit::Color() const
{
    return palette().color(QPalette::Base);
}

void TKeyRoutedEdit::SetColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

void TKeyRoutedEdit::CutToClipboard()
{
    if (!hasSelectedText())
        return;
    CopyToClipboard();
    if (!isReadOnly())
        DeleteSelectedText();
}

void TKeyRoutedEdit::CopyToClipboard()
{
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText());
}

void TKeyRoutedEdit::PasteFromClipboard()
{
    if (!isReadOnly())
        PasteText(QGuiApplication::clipboard()->text());
}

void TKeyRoutedEdit::DeleteSelectedText()
{
    if (!isReadOnly() && hasSelectedText())
        del();
}

void TKeyRoutedEdit::UndoEdit()
{
    if (!CanUndoEdit())
        return;
    const UndoStep step = m_undo.takeLast();
    setText(step.text);
    if (step.selectionLength > 0)
        setSelection(step.selectionStart, step.selectionLength);
    else
        setCursorPosition(step.cursor);
}

QMenu* TKeyRoutedEdit::CreateEditMenu()
{
    auto* menu = new QMenu(this);
    const bool selection = hasSelectedText();
    const bool editable = !isReadOnly();
    auto add = [this, menu](const QString& caption, bool enabled,
                            void (TKeyRoutedEdit::*command)()) {
        QAction* action = menu->addAction(caption);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, [this, command] {
            Application::Guard(this, [this, command] {
                if (command == &TKeyRoutedEdit::UndoEdit) {
                    UndoEdit();
                    return;
                }
                const UserEdit edit(this);
                (this->*command)();
            });
        });
        return action;
    };
    add(tr("&Undo"), CanUndoEdit(), &TKeyRoutedEdit::UndoEdit);
    menu->addSeparator();
    add(tr("Cu&t"), selection && editable, &TKeyRoutedEdit::CutToClipboard);
    add(tr("&Copy"), selection, &TKeyRoutedEdit::CopyToClipboard);
    add(tr("&Paste"), editable && !QGuiApplication::clipboard()->text().isEmpty(),
        &TKeyRoutedEdit::PasteFromClipboard);
    add(tr("&Delete"), selection && editable, &TKeyRoutedEdit::DeleteSelectedText);
    menu->addSeparator();
    add(tr("Select &All"), !text().isEmpty(), &QLineEdit::selectAll);
    return menu;
}

bool TKeyRoutedEdit::TypeCharacter(QChar c, bool pasted)
{
    Q_UNUSED(pasted);
    if (c == QChar(13) || c == QChar(27))
        return false;
    if (!RunKeyPress(c))
        return true;
    if (c == QChar(8)) {
        if (!isReadOnly())
            backspace();
    } else if (c.unicode() >= 32 && c.unicode() != 127) {
        InsertTyped(QString(c));
    }
    return true;
}

void TKeyRoutedEdit::DeleteKey(QKeyEvent* event)
{
    QLineEdit::keyPressEvent(event);
}

void TKeyRoutedEdit::PasteText(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() >= 32 && c.unicode() != 127)
            TypeCharacter(c, true);
}

bool TKeyRoutedEdit::InsertTyped(const QString& text)
{
    if (isReadOnly())
        return false;
    const qsizetype after = this->text().size() - selectedText().size() + text.size();
    if (m_maxLength > 0 && after > m_maxLength)
        return false;
    insert(text);
    return true;
}

bool TKeyRoutedEdit::RunKeyPress(QChar& key)
{
    emit OnKeyPress(key);
    return !key.isNull();
}

void TKeyRoutedEdit::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool control = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    const int key = event->key();
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier)) {
        event->ignore(); // menu accelerators and window shortcuts
        return;
    }
    if (control && !shift && key == Qt::Key_Z) {
        UndoEdit();
        return;
    }
    const UserEdit edit(this);
    auto type = [this, event](int code) {
        if (!TypeCharacter(QChar(code), false))
            event->ignore();
    };
    switch (key) {
    case Qt::Key_Insert:
        if (shift && !control)
            PasteFromClipboard();
        else if (control && !shift)
            CopyToClipboard();
        return;
    case Qt::Key_Delete:
        if (shift && !control)
            CutToClipboard();
        else
            DeleteKey(event);
        return;
    case Qt::Key_Backspace: type(control ? 127 : 8); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: type(13); return;
    case Qt::Key_Escape: type(27); return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Up:
    case Qt::Key_Down: QLineEdit::keyPressEvent(event); return;
    default: break;
    }
    if (control && !shift) {
        // The desktop's edit keys are commands, whatever the key rules of the edit: the text
        // a paste brings still goes through them character by character.
        switch (key) {
        case Qt::Key_A: selectAll(); return;
        case Qt::Key_C: CopyToClipboard(); return;
        case Qt::Key_V: PasteFromClipboard(); return;
        case Qt::Key_X: CutToClipboard(); return;
        default: break;
        }
    }
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z) {
        type(key - Qt::Key_A + 1);
        return;
    }
    const QString text = event->text();
    if (control || text.isEmpty() || text[0].unicode() < 32 || text[0].unicode() == 127) {
        event->ignore();
        return;
    }
    for (const QChar c : text)
        TypeCharacter(c, false);
}

void TKeyRoutedEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // A new entry starts with nothing to undo; back from a pause, the user's edits stay.
    if (!m_paused)
        m_undo.clear();
    m_paused = false;
}

void TKeyRoutedEdit::focusOutEvent(QFocusEvent* event)
{
    {
        // The selection goes as the focus leaves, but a screen reader still has this field as
        // its focus until the next one is told, and would say "text unselected" at every Tab:
        // the line's own signals are held while the toolkit deselects (the widget repaints
        // whole on losing the focus anyway).
        std::optional<QSignalBlocker> quiet;
        if (hasSelectedText())
            for (QObject* child : children())
                if (child->inherits("QWidgetLineControl"))
                    quiet.emplace(child);
        QLineEdit::focusOutEvent(event);
    }
    m_paused = true;
    switch (event->reason()) {
    case Qt::PopupFocusReason:
    case Qt::ActiveWindowFocusReason: return; // the focus comes back here afterwards
    case Qt::MenuBarFocusReason:
        // Alt, a menu key, or Escape out of a menu: the menu bar keeps the focus while the user
        // picks a menu and hands it back here when done. Only a move on from the menu bar to
        // another control leaves the edit.
        StopWatchingMenuBar();
        m_menuBar = QApplication::focusWidget();
        if (m_menuBar && m_menuBar != this)
            m_menuBar->installEventFilter(this);
        return;
    default:
        m_paused = false;
        StopWatchingMenuBar();
        FocusExit();
    }
}

bool TKeyRoutedEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_menuBar && event->type() == QEvent::FocusOut) {
        // The new focus is already set: the menu bar itself or one of its menus while a menu
        // is open, none while another window is active.
        QWidget* now = QApplication::focusWidget();
        if (now && now != m_menuBar && now->window()->windowType() != Qt::Popup) {
            StopWatchingMenuBar();
            if (now != this) {
                m_paused = false;
                FocusExit();
            }
        }
    }
    return QLineEdit::eventFilter(watched, event);
}

void TKeyRoutedEdit::StopWatchingMenuBar()
{
    if (m_menuBar)
        m_menuBar->removeEventFilter(this);
    m_menuBar = nullptr;
}

void TKeyRoutedEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateEditMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TKeyRoutedEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The X11 middle-button paste of the selection goes through the key rules too.
    if (event->button() == Qt::MiddleButton) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection() && !isReadOnly() &&
            rect().contains(event->position().toPoint())) {
            const UserEdit edit(this);
            deselect();
            setCursorPosition(cursorPositionAt(event->position().toPoint()));
            PasteText(clipboard->text(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TKeyRoutedEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // Composed text is taken only when committed, and then as typed characters.
    const QString committed = event->commitString();
    const UserEdit edit(this);
    for (const QChar c : committed)
        if (c.unicode() >= 32 && c.unicode() != 127)
            TypeCharacter(c, false);
    event->accept();
}
