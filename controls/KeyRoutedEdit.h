// A single-line edit whose every way of entering text goes through one typed-character
// routine: keys, pasted text (the clipboard shortcuts, the context menu, middle-button paste)
// and input methods. The numeric edits override that routine to enforce their key rules, so
// no path around them exists. Dropping text onto the edit is switched off for the same reason.
// The desktop's edit keys (Ctrl+A, Ctrl+C, Ctrl+V, Ctrl+X, Ctrl+Z) are commands of the edit
// itself, so no key rule can swallow them; Undo takes back the user's edits one at a time,
// as far as the edit's last entry.
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPointer>

class QMenu;

class TKeyRoutedEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TKeyRoutedEdit(QWidget* parent = nullptr);

    // The most characters the user may type or paste; 0 means no limit. Text written by the
    // program is never cut to it.
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int limit) { m_maxLength = limit < 0 ? 0 : limit; }

    // The background colour of the edit.
    QColor Color() const;
    void SetColor(const QColor& color);

    // The clipboard commands, as the shortcuts and the context menu run them.
    virtual void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    // Deletes the selected text (the context menu's Delete).
    virtual void DeleteSelectedText();
    // Puts back the text as it was before the user's last edit since the focus entered the
    // edit (a typed key, a paste, a cut or a deletion is one edit); nothing when none is left.
    void UndoEdit();
    bool CanUndoEdit() const { return !m_undo.isEmpty() && !isReadOnly(); }

    // The context menu: Undo, Cut, Copy, Paste, Delete, Select All. The caller owns it.
    QMenu* CreateEditMenu();

signals:
    // Each character that the edit's key rules let through; a receiver that sets the key to 0
    // discards it.
    void OnKeyPress(QChar& key);

protected:
    // One typed character: printable, or a control code (8 backspace, 13 Enter, 27 Escape,
    // the other Ctrl+letter keys as 1-26, 127 Ctrl+Backspace). `pasted` is true when it comes from
    // pasted text rather than from the keyboard. Returns false when the key is not the edit's, so
    // that the parent window sees it (Enter and Escape for the default and cancel buttons).
    // This default is the plain platform edit.
    virtual bool TypeCharacter(QChar c, bool pasted);
    // The Delete key (without Shift). This default deletes like the platform edit.
    virtual void DeleteKey(QKeyEvent* event);
    // Pasted text: each printable character goes through TypeCharacter, in order. Control
    // characters in the clipboard (line ends, tabs) are skipped: a paste must never act as
    // Enter, Escape or Backspace.
    virtual void PasteText(const QString& text);

    // Inserts text at the caret as the user's typing does: it replaces the selection, and
    // nothing is inserted when the edit is read-only or the result would pass MaxLength.
    bool InsertTyped(const QString& text);
    // Emits OnKeyPress; false when a receiver discarded the key.
    bool RunKeyPress(QChar& key);

    // Leaving the edit for another control of the window. Focus taken by a menu (opened with
    // the mouse, or from the keyboard through the menu bar), a message box or another window
    // is a pause in editing, not an exit; should the focus pass from the menu bar on to
    // another control, this runs then, before that control's entry. This default does nothing.
    virtual void FocusExit() {}

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // One user edit: the text before it becomes an undo step when the edit changed it.
    class UserEdit;
    struct UndoStep {
        QString text;
        int cursor, selectionStart, selectionLength;
    };

    void StopWatchingMenuBar();

    int m_maxLength = 0;
    QList<UndoStep> m_undo;
    int m_userEditDepth = 0;
    // The focus left for a menu, a message box or another window and is to come back: no
    // new entry then, and the undo steps stay.
    bool m_paused = false;
    // The menu bar that took the focus from the keyboard, while the edit waits for it back.
    QPointer<QWidget> m_menuBar;
};
