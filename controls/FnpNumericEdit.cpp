#include "controls/FnpNumericEdit.h"

#include "calc/Errors.h"
#include "controls/AccessibleTexts.h"
#include "controls/CustomStrEdit.h"
#include "controls/NumberFormats.h"
#include "platform/Application.h"
#include "platform/Regional.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMetaMethod>
#include <algorithm>
#include <cmath>

namespace {
bool IsDigit(QChar c)
{
    return c >= '0' && c <= '9';
}

// Holds OnChange back for its lifetime, also when an exception leaves the scope.
class SuppressChange {
public:
    explicit SuppressChange(int& counter) : m_counter(counter) { ++m_counter; }
    ~SuppressChange() { --m_counter; }
    SuppressChange(const SuppressChange&) = delete;
    SuppressChange& operator=(const SuppressChange&) = delete;

private:
    int& m_counter;
};

Qt::Alignment ToQt(TAlignment alignment)
{
    switch (alignment) {
    case taLeftJustify: return Qt::AlignLeft | Qt::AlignTop;
    case taCenter: return Qt::AlignHCenter | Qt::AlignTop;
    case taRightJustify: break;
    }
    return Qt::AlignRight | Qt::AlignTop;
}
} // namespace

TFnpNumericEdit::TFnpNumericEdit(QWidget* parent) : TKeyRoutedEdit(parent)
{
    // The text sits at the masked numeric edit's top margin, so the two line up in a row.
    const int margin =
        std::min(QFontMetrics(QApplication::font()).height(), fontMetrics().height()) / 4;
    setTextMargins(0, std::max(0, margin - TCustomStrEdit::PlatformTopMargin), 0, 0);
    resize(73, sizeHint().height());
    setAlignment(ToQt(m_alignment));
    connect(this, &QLineEdit::textChanged, this,
            [this] { Application::Guard(this, [this] { TextChanged(); }); });
    setText(QStringLiteral("0"));
    RefreshFormat();
}

void TFnpNumericEdit::SetAlignment(TAlignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    setAlignment(ToQt(alignment));
}

void TFnpNumericEdit::SetDecimals(int decimals)
{
    m_decimals = std::clamp(decimals, 0, 9);
    RefreshFormat();
}

double TFnpNumericEdit::Value() const
{
    return NumberFormats::TextToFloat(text(), Regional::Current());
}

void TFnpNumericEdit::SetValue(double value)
{
    if (!std::isfinite(value))
        throw calc::EInvalidOp();
    const QString formatted = NumberFormats::MaskText(value, m_formatMask, Regional::Current());
    if (formatted != text())
        setText(formatted);
}

void TFnpNumericEdit::RefreshFormat()
{
    m_formatMask = m_decimals == 0 ? QStringLiteral("0") : "0." + QString(m_decimals, '0');
    SuppressChange hold(m_suppressChange);
    setText(NumberFormats::MaskText(Value(), m_formatMask, Regional::Current()));
}

void TFnpNumericEdit::TextChanged()
{
    if (m_suppressChange == 0)
        emit OnChange();
    // The value is read only when someone listens, since a text set by the program may not
    // be a number.
    static const QMetaMethod validChange = QMetaMethod::fromSignal(&TFnpNumericEdit::OnValidChange);
    if (isSignalConnected(validChange)) {
        const double v = Value();
        if (m_minValue <= v && v <= m_maxValue)
            emit OnValidChange();
    }
}

void TFnpNumericEdit::ReplaceText(const QString& text, int caret)
{
    setText(text);
    setCursorPosition(std::clamp(caret, 0, static_cast<int>(text.size())));
}

void TFnpNumericEdit::DeleteOne(int b, bool forward)
{
    const QString t = text();
    const int len = static_cast<int>(t.size());
    if (b <= 0 || b > len)
        return;
    const int d = m_decimals;
    if (d > 0) {
        const int separator = len - d; // 1-based position of the separator
        if (b > separator) {
            // A decimal digit: the later ones move left and a "0" refills D.
            ReplaceText(t.left(b - 1) + t.mid(b) + '0', b - 1);
            return;
        }
        if (b == separator) {
            setCursorPosition(forward ? len - d : len - d - 1);
            return;
        }
        const QString integer = t.left(separator - 1);
        const QString rest = t.mid(separator - 1);
        if (b == 2 && integer.size() == 2 && integer[0] == '-' && IsDigit(integer[1])) {
            ReplaceText("-0" + rest, 1);
            return;
        }
        if (b == 1 && integer.size() == 1 && IsDigit(integer[0])) {
            ReplaceText('0' + rest, 1);
            return;
        }
    } else {
        if (b == 2 && len == 2 && t[0] == '-' && IsDigit(t[1])) {
            ReplaceText(QStringLiteral("-0"), 1);
            return;
        }
        if (b == 1 && len == 1 && IsDigit(t[0])) {
            ReplaceText(QStringLiteral("0"), 1);
            return;
        }
    }
    ReplaceText(t.left(b - 1) + t.mid(b), b - 1);
}

bool TFnpNumericEdit::DeleteSelection()
{
    if (!hasSelectedText())
        return false;
    const int start = selectionStart();
    const int count = static_cast<int>(selectedText().size());
    SuppressChange hold(m_suppressChange);
    setCursorPosition(start + count);
    for (int i = 0; i < count; ++i)
        DeleteOne(cursorPosition(), false);
    return true;
}

void TFnpNumericEdit::DeleteSelectionAndNotify()
{
    // The characters go one by one with OnChange held back; the change is reported once.
    if (DeleteSelection())
        TextChanged();
}

void TFnpNumericEdit::DialogKey(int key)
{
    // The parent window's default and cancel buttons: the key goes up the parents as one the
    // edit did not take.
    if (QWidget* parent = parentWidget()) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(parent, &event);
    }
}

bool TFnpNumericEdit::TypeCharacter(QChar c, bool pasted)
{
    if (c == QChar(13) || c == QChar(27)) {
        if (!pasted)
            DialogKey(c == QChar(13) ? Qt::Key_Return : Qt::Key_Escape);
        if (c == QChar(13))
            c = QChar(0); // Enter goes no further
    }
    if (!c.isNull() && !RunKeyPress(c))
        c = QChar(0);
    const ushort code = c.unicode();
    if (isReadOnly())
        return true;
    const TFormatSettings& settings = Regional::Current();
    const QChar separator = settings.DecimalSeparator;
    // A character the edit discards (Enter, Escape, a letter) leaves the text and its
    // selection alone: the whole value is selected on entry, and a stray key must not wipe it.
    if (!(IsDigit(c) || c == '-' || code == 8 || c == separator))
        return true;
    if (c == separator) {
        if (hasSelectedText())
            setCursorPosition(selectionStart());
    } else if (hasSelectedText()) {
        DeleteSelectionAndNotify();
    }
    const bool hadMinus = text().contains('-');

    const QString t = text();
    const int len = static_cast<int>(t.size());
    const int d = m_decimals;
    int s = cursorPosition();
    if (c == '0' && s == 0)
        return true;
    if (c == separator && d == 0)
        return true;
    if (c == '-') {
        if (m_minValue < 0) {
            if (hadMinus)
                ReplaceText(t.mid(1), s - 1);
            else
                ReplaceText('-' + t, s + 1);
        }
        return true;
    }
    if (s == len && d > 0 && code != 8 && c != separator)
        return true;
    if (c == separator) {
        setCursorPosition(std::max(0, len - d));
        return true;
    }
    if (hadMinus && s == 0) {
        s = 1;
        setCursorPosition(s);
    }
    if (code == 8) {
        DeleteOne(s, false);
        return true;
    }
    // A digit. One that adds an integer digit is discarded when the number would no longer
    // fit a double, so that Value can always be read.
    const bool minusZero = hadMinus && len >= 2 && t[1] == '0';
    const QString inserted = t.left(s) + c + t.mid(s);
    double fits = 0;
    const bool insertable = NumberFormats::TryTextToFloat(inserted, fits, settings);
    if (d > 0) {
        if (s <= 2 && minusZero)
            ReplaceText("-" + QString(c) + t.mid(2), 2);
        else if (s <= 1 && len >= 1 && t[0] == '0')
            ReplaceText(c + t.mid(1), 1);
        else if (s >= len - d)
            ReplaceText(t.left(s) + c + t.mid(s + 1), s + 1);
        else if (insertable && s < len - d - 1)
            ReplaceText(inserted, s + 1);
        else if (insertable)
            InsertTyped(QString(c));
    } else {
        // The caret goes after the typed digit, so that the next digit follows it.
        if (s <= 2 && minusZero)
            ReplaceText("-" + QString(c), 2);
        else if (s <= 1 && len >= 1 && t[0] == '0')
            ReplaceText(QString(c), 1);
        else if (insertable)
            InsertTyped(QString(c));
    }
    return true;
}

void TFnpNumericEdit::DeleteKey(QKeyEvent* event)
{
    Q_UNUSED(event);
    if (isReadOnly())
        return;
    if (hasSelectedText())
        DeleteSelectionAndNotify();
    else
        DeleteOne(cursorPosition() + 1, true);
}

void TFnpNumericEdit::DeleteSelectedText()
{
    if (!isReadOnly())
        DeleteSelectionAndNotify();
}

void TFnpNumericEdit::CutToClipboard()
{
    if (!hasSelectedText())
        return;
    CopyToClipboard();
    if (!isReadOnly())
        DeleteSelectionAndNotify();
}

void TFnpNumericEdit::PasteText(const QString& text)
{
    if (isReadOnly())
        return;
    DeleteSelectionAndNotify();
    TKeyRoutedEdit::PasteText(text);
}

void TFnpNumericEdit::focusInEvent(QFocusEvent* event)
{
    TKeyRoutedEdit::focusInEvent(event);
    if (m_entered)
        return; // back from a menu, a message box or another window
    m_entered = true;
    if (m_autoSelect && event->reason() != Qt::MouseFocusReason)
        selectAll();
    else if (!m_autoSelect)
        deselect();
    RetellCaretAfterFocus(this); // the selection moved it before the focus was told
    Application::Guard(this, [this] { emit OnEnter(); });
}

void TFnpNumericEdit::FocusExit()
{
    if (!m_entered)
        return;
    m_entered = false;
    Application::Guard(this, [this] {
        if (m_minValue != m_maxValue) {
            const double v = Value();
            if (v < m_minValue || v > m_maxValue)
                emit OnInvalidEntry();
        }
        emit OnExit();
    });
}
