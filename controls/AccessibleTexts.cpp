#include "controls/AccessibleTexts.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>

namespace {

// The program's one-line edits: as the toolkit's own, except that the line a reader asks for
// is always the whole text. A reader asks for the line at the last character when the caret
// stands at the end, and the toolkit's line boundaries then end before that character ("3"
// for "30", "8.75" for "8.750").
class LineEditAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit LineEditAccessible(QLineEdit* edit)
        : QAccessibleWidget(edit, QAccessible::EditableText)
    {
        addControllingSignal(QStringLiteral("textChanged(const QString&)"));
    }
    QLineEdit* Edit() const { return static_cast<QLineEdit*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return Edit()->text();
        return QAccessibleWidget::text(t).trimmed();
    }
    void setText(QAccessible::Text t, const QString& text) override
    {
        if (t == QAccessible::Value && !Edit()->isReadOnly())
            Edit()->setText(text);
        else
            QAccessibleWidget::setText(t, text);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !Edit()->isReadOnly();
        s.readOnly = Edit()->isReadOnly();
        s.selectableText = true;
        return s;
    }

    // Text.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && Edit()->hasSelectedText()) {
            *startOffset = Edit()->selectionStart();
            *endOffset = Edit()->selectionEnd();
        }
    }
    int selectionCount() const override { return Edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int) override { Edit()->deselect(); }
    void setSelection(int, int startOffset, int endOffset) override
    {
        Edit()->setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return Edit()->cursorPosition(); }
    void setCursorPosition(int position) override { Edit()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override
    {
        return Edit()->text().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(Edit()->text().size()); }
    QRect characterRect(int offset) const override
    {
        // Where the character stands, as near as the text's own advance places it.
        const QString text = Edit()->text();
        const QFontMetrics metrics(Edit()->font());
        const int at = std::clamp(offset, 0, int(text.size()));
        const QRect inside = Edit()->contentsRect();
        const QPoint corner(inside.left() + 2 + metrics.horizontalAdvance(text.left(at)),
                            inside.top() + (inside.height() - metrics.height()) / 2);
        const int width = at < text.size() ? metrics.horizontalAdvance(text.at(at)) : 1;
        return QRect(Edit()->mapToGlobal(corner), QSize(width, metrics.height()));
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return Edit()->cursorPositionAt(Edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int) override { setCursorPosition(startIndex); }
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return QString();
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override
    {
        if (boundaryType == QAccessible::LineBoundary ||
            boundaryType == QAccessible::ParagraphBoundary ||
            boundaryType == QAccessible::NoBoundary) {
            *startOffset = 0;
            *endOffset = characterCount();
            return Edit()->text();
        }
        return QAccessibleTextInterface::textAtOffset(offset, boundaryType, startOffset, endOffset);
    }

    // Editable text: the edit's own text set whole, as a paste or typing would leave it.
    void deleteText(int startOffset, int endOffset) override
    {
        replaceText(startOffset, endOffset, QString());
    }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString& text) override
    {
        if (Edit()->isReadOnly())
            return;
        QString now = Edit()->text();
        startOffset = std::clamp(startOffset, 0, int(now.size()));
        endOffset = std::clamp(endOffset, startOffset, int(now.size()));
        Edit()->setText(now.replace(startOffset, endOffset - startOffset, text));
    }
};

// A read-only page of text (the help's topic): a document whose text a reader reads line by
// line and word by word (the boundaries come from the text interface's own defaults).
class DocumentAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DocumentAccessible(QTextEdit* edit) : QAccessibleWidget(edit, QAccessible::Document) {}
    QTextEdit* Edit() const { return static_cast<QTextEdit*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        return s;
    }

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override
    {
        const QTextCursor cursor = Edit()->textCursor();
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && cursor.hasSelection()) {
            *startOffset = cursor.selectionStart();
            *endOffset = cursor.selectionEnd();
        }
    }
    int selectionCount() const override { return Edit()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int) override
    {
        QTextCursor cursor = Edit()->textCursor();
        cursor.clearSelection();
        Edit()->setTextCursor(cursor);
    }
    void setSelection(int, int startOffset, int endOffset) override
    {
        QTextCursor cursor = Edit()->textCursor();
        cursor.setPosition(Clamped(startOffset));
        cursor.setPosition(Clamped(endOffset), QTextCursor::KeepAnchor);
        Edit()->setTextCursor(cursor);
    }
    int cursorPosition() const override { return Edit()->textCursor().position(); }
    void setCursorPosition(int position) override
    {
        QTextCursor cursor = Edit()->textCursor();
        cursor.setPosition(Clamped(position));
        Edit()->setTextCursor(cursor);
    }
    QString text(int startOffset, int endOffset) const override
    {
        return Plain().mid(startOffset, endOffset - startOffset);
    }
    using QAccessibleWidget::text;
    int characterCount() const override { return int(Plain().size()); }
    QRect characterRect(int offset) const override
    {
        QTextCursor cursor(Edit()->document());
        cursor.setPosition(Clamped(offset));
        const QRect r = Edit()->cursorRect(cursor);
        return QRect(Edit()->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint local = Edit()->viewport()->mapFromGlobal(point);
        return Edit()->cursorForPosition(local).position();
    }
    void scrollToSubstring(int startIndex, int) override
    {
        setCursorPosition(startIndex);
        Edit()->ensureCursorVisible();
    }
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return QString();
    }

private:
    // The document's text, one character per position as the cursor counts them.
    QString Plain() const
    {
        QString text = Edit()->document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        text.replace(QChar::LineSeparator, QLatin1Char('\n'));
        return text;
    }
    int Clamped(int offset) const { return std::clamp(offset, 0, characterCount()); }
};

} // namespace

QAccessibleInterface* NewLineEditAccessible(QLineEdit* edit)
{
    return new LineEditAccessible(edit);
}

QAccessibleInterface* NewDocumentAccessible(QTextEdit* edit)
{
    return new DocumentAccessible(edit);
}

void RetellCaretAfterFocus(QLineEdit* edit)
{
    if (!QAccessible::isActive())
        return;
    QTimer::singleShot(0, edit, [edit] {
        if (!edit->hasFocus())
            return;
        QAccessibleTextCursorEvent caret(edit, edit->cursorPosition());
        QAccessible::updateAccessibility(&caret);
        const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        QAccessibleTextSelectionEvent selection(edit, start,
                                                start + int(edit->selectedText().size()));
        QAccessible::updateAccessibility(&selection);
    });
}
