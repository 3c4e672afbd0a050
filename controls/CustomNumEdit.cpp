#include "controls/CustomNumEdit.h"

#include "calc/Disclosure.h"
#include "calc/Errors.h"
#include "controls/AccessibleTexts.h"
#include "controls/NumberFormats.h"
#include "platform/Application.h"
#include "platform/LoopGuard.h"
#include "platform/MessageBox.h"
#include "platform/Regional.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {
int savedLimit = 0;

bool IsDigit(QChar c)
{
    return c >= '0' && c <= '9';
}

// Keeps the digits and the characters in `keep`, with one "-" in front when `negative`.
QString Filtered(const QString& text, const QString& keep, bool negative)
{
    QString out = negative ? QStringLiteral("-") : QString();
    for (const QChar c : text)
        if (IsDigit(c) || keep.contains(c))
            out += c;
    return out;
}
} // namespace

TCustomNumEdit::TCustomNumEdit(QWidget* parent)
    : TCustomStrEdit(parent), m_masks(std::make_unique<TMasks>())
{
    connect(m_masks.get(), &TMasks::OnChange, this,
            [this] { Application::Guard(this, [this] { RefreshDisplay(); }); });
    resize(85, sizeHint().height());
    SetUnfocusedAlignment(1);
    connect(this, &QLineEdit::textChanged, this, [this] {
        FitText();
        Application::Guard(this, [this] {
            emit OnChange();
            if (!m_focused && !m_showingText)
                TakeOutsideText();
        });
    });
    RefreshDisplay();
}

void TCustomNumEdit::ShowText(const QString& text)
{
    m_showingText = true;
    setText(text);
    m_showingText = false;
}

void TCustomNumEdit::TakeOutsideText()
{
    // A text set while the field is not being edited, other than the field's own display (a
    // screen reader's editable-text interface sets it so), is an entry as if typed and the
    // field left: checked, taken as the value, shown in the display form, announced by OnExit.
    savedLimit = MaxLength();
    m_focused = true;
    Exit();
}

void TCustomNumEdit::FitText()
{
    // An amount wider than the field is shown in a smaller font, never cut: every digit of it
    // stays readable (a field cut at its left edge would show $999,999,999,999 as 999,999,999).
    if (!m_fullFont)
        m_fullFont = font();
    const int room = contentsRect().width() - 8; // the frame's and the text's own margins
    const int needed = QFontMetrics(*m_fullFont).horizontalAdvance(text());
    QFont fitted = *m_fullFont;
    if (needed > room && room > 0) {
        const double scale = double(room) / needed;
        if (fitted.pixelSize() > 0)
            fitted.setPixelSize(std::max(6, int(fitted.pixelSize() * scale)));
        else
            fitted.setPointSizeF(std::max(5.0, fitted.pointSizeF() * scale));
    }
    if (fitted != font()) {
        m_fitting = true;
        setFont(fitted);
        m_fitting = false;
    }
}

void TCustomNumEdit::resizeEvent(QResizeEvent* event)
{
    TCustomStrEdit::resizeEvent(event);
    FitText();
}

void TCustomNumEdit::changeEvent(QEvent* event)
{
    TCustomStrEdit::changeEvent(event);
    // A font set from outside (not the fitted one) is the new full-size font.
    if (event->type() == QEvent::FontChange && !m_fitting) {
        m_fullFont.reset();
        FitText();
    }
}

TCustomNumEdit::~TCustomNumEdit() = default;

int TCustomNumEdit::SavedLimit()
{
    return savedLimit;
}

void TCustomNumEdit::SetDecimals(quint16 decimals)
{
    if (decimals == m_decimals)
        return;
    m_decimals = decimals;
    RefreshDisplay();
}

void TCustomNumEdit::SetDigits(quint16 digits)
{
    if (digits == m_digits)
        return;
    m_digits = digits;
    RefreshDisplay();
}

void TCustomNumEdit::SetMax(double max)
{
    if (std::isnan(max))
        throw calc::EInvalidOp();
    if (max == m_max)
        return;
    m_max = max;
    if (max < m_value)
        m_value = max;
}

void TCustomNumEdit::SetMin(double min)
{
    if (std::isnan(min))
        throw calc::EInvalidOp();
    if (min == m_min)
        return;
    m_min = min;
    if (min > m_value)
        m_value = min;
}

void TCustomNumEdit::SetNumericType(TNumericType type)
{
    if (type == m_numericType)
        return;
    m_numericType = type;
    RefreshDisplay();
}

void TCustomNumEdit::SetValue(double value)
{
    if (!std::isfinite(value))
        throw calc::EInvalidOp();
    if (value == m_value)
        return;
    if (!InRange(value)) {
        ShowRangeMessage();
        return;
    }
    m_value = value;
    RefreshDisplay();
}

void TCustomNumEdit::SetValidate(bool validate)
{
    if (validate == m_validate)
        return;
    m_validate = validate;
    if (validate && (m_value < m_min || m_value > m_max)) {
        m_value = m_min;
        RefreshDisplay();
    }
}

double TCustomNumEdit::DisplayNumber() const
{
    const double factor = std::pow(10.0, m_decimals);
    const double v = m_numericType == ntPercentage ? m_value * 100 : m_value;
    const double scaled = v * factor;
    // Only a product below 10^15 is rounded (its 15 digits are the number's); larger ones stay
    // as they are.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 1e15)
        return v;
    // Rounding as every money text of the program rounds: halves away from zero, from the
    // value's decimal of 15 significant digits (a typed 1000.005 shows 1000.01, as the loan's
    // cents count it, not the 1000.00 its binary 1000.00499... would give).
    if (m_useRounding)
        return static_cast<double>(calc::ScaledDecimal(v, m_decimals)) / factor;
    return std::trunc(scaled) / factor;
}

void TCustomNumEdit::RefreshDisplay()
{
    const TFormatSettings& settings = Regional::Current();
    const double v = DisplayNumber();
    switch (m_numericType) {
    case ntGeneral: ShowText(NumberFormats::MaskText(v, m_masks->Combined(), settings)); break;
    case ntCurrency:
        // Every cent of an amount below 10^13, whatever the number of digits typed.
        ShowText(NumberFormats::CurrencyText(v, std::max<int>(m_digits, 15), m_decimals, settings));
        break;
    case ntPercentage:
        ShowText(NumberFormats::FixedText(v, m_digits, m_decimals, settings) + '%');
        break;
    }
}

QString TCustomNumEdit::EntryText(QString display, bool currency, bool negativeValue,
                                  const TFormatSettings& settings)
{
    // A currency symbol such as "Rs." must not add its dot to the digits.
    if (currency && !settings.CurrencyString.isEmpty())
        display.remove(settings.CurrencyString);
    // One "-" in front for a negative amount, however the display shows the sign.
    const bool negative = display.startsWith('-') || display.endsWith('-') || negativeValue;
    return Filtered(display, QString(settings.DecimalSeparator) + settings.ThousandSeparator,
                    negative);
}

double TCustomNumEdit::ExitValue(const QString& edit, const TFormatSettings& settings)
{
    const QString parse = Filtered(edit, QString(settings.DecimalSeparator),
                                   edit.startsWith('-') || edit.endsWith('-'));
    return parse.isEmpty() ? 0.0 : NumberFormats::TextToFloat(parse, settings);
}

QString TCustomNumEdit::EditText() const
{
    const TFormatSettings& settings = Regional::Current();
    const QString display = text();
    // A display in scientific notation has digits that are not the number's ("1E12" would
    // read back as 112): the plain digits of the shown value are edited instead.
    if (display.contains('E') || display.contains('e')) {
        const double v = DisplayNumber();
        const QString mask =
            m_decimals > 0 ? "0." + QString(std::min<int>(m_decimals, 18), '0') : QString("0");
        return Filtered(NumberFormats::MaskText(std::fabs(v), mask, settings),
                        QString(settings.DecimalSeparator), v < 0);
    }
    return EntryText(display, m_numericType == ntCurrency, m_value < 0, settings);
}

bool TCustomNumEdit::InRange(double x) const
{
    return !m_validate || (m_min <= x && x <= m_max);
}

void TCustomNumEdit::ShowRangeMessage() const
{
    const TFormatSettings& settings = Regional::Current();
    const QString text = "Value must be between " + NumberFormats::GeneralText(m_min, settings) +
                         " and " + NumberFormats::GeneralText(m_max, settings);
    ShowInformation(text.left(80));
}

bool TCustomNumEdit::TypeCharacter(QChar c, bool pasted)
{
    Q_UNUSED(pasted);
    if (c == QChar(13) || c == QChar(27))
        return false; // for the window's default and cancel buttons
    const TFormatSettings& settings = Regional::Current();
    bool accepted = false;
    if (c == settings.DecimalSeparator || c == '-') {
        accepted = !text().contains(c);
        // The limit grows by one for the separator and one for the sign, once each while
        // editing: a separator typed and deleted again must not raise it for good.
        bool& granted = c == '-' ? m_signAllowed : m_separatorAllowed;
        if (accepted && !granted) {
            granted = true;
            SetMaxLength(MaxLength() + 1);
        }
    } else {
        accepted = IsDigit(c) || c == QChar(8) || c == settings.ThousandSeparator;
    }
    if (!accepted || !RunKeyPress(c))
        return true;
    if (c == QChar(8)) {
        if (!isReadOnly())
            backspace();
    } else {
        InsertTyped(QString(c));
    }
    return true;
}

void TCustomNumEdit::focusInEvent(QFocusEvent* event)
{
    TCustomStrEdit::focusInEvent(event);
    // Back from a menu, a message box or another window: the user is still editing.
    if (m_focused)
        return;
    m_focused = true;
    const Qt::FocusReason reason = event->reason();
    Application::Guard(this, [this, reason] { Enter(reason); });
    RetellCaretAfterFocus(this); // the switch to the edit text moved it before the focus
}

void TCustomNumEdit::FocusExit()
{
    if (m_focused)
        Application::Guard(this, [this] { Exit(); });
}

void TCustomNumEdit::Enter(Qt::FocusReason reason)
{
    ShowText(EditText());
    savedLimit = MaxLength();
    SetMaxLength(m_digits);
    m_signAllowed = m_separatorAllowed = false;
    if (reason != Qt::MouseFocusReason)
        selectAll();
    const TLoopGuard guard(this);
    emit OnEnter();
    if (guard.Alive()) // a receiver may have deleted the edit
        SaveAlignment();
}

void TCustomNumEdit::Exit()
{
    const int editingLimit = MaxLength();
    SetMaxLength(savedLimit);
    m_focused = false;

    // Throws the conversion error for a text such as "-" or "1.2.3": Value, the text and the
    // alignment then stay as they are.
    const double x = ExitValue(text(), Regional::Current());

    if (!InRange(x)) {
        // Back into the edit before the message, so that no other control runs its entry.
        m_focused = true;
        SetMaxLength(editingLimit);
        setFocus(Qt::OtherFocusReason);
        selectAll();
        ShowRangeMessage();
        return;
    }
    m_value = m_numericType == ntPercentage ? x / 100 : x;
    RefreshDisplay();
    // The alignment comes back after the receivers, also when one throws, unless one of them
    // deleted the edit.
    struct Restore {
        TCustomNumEdit* edit;
        TLoopGuard guard;
        ~Restore()
        {
            if (guard.Alive())
                edit->RestoreAlignment();
        }
    } restore{this, TLoopGuard(this)};
    emit OnExit();
}
