// The numeric behaviour of the masked numeric edit: a floating-point Value shown as formatted
// text while unfocused (right-aligned), turned into plain digits while the user edits it, with
// a key filter while typing and a parse (and optional range check) when the focus leaves.
//
// States: unfocused (display text, painted right-aligned by the control, the process-wide
// saved character limit) and focused (edit text, painted by the platform edit, limited to
// Digits characters plus one per accepted decimal separator and minus sign). Focus entry and
// an accepted focus exit are the only transitions; a failed range check keeps the focus.
#pragma once

#include "controls/CustomStrEdit.h"
#include "controls/Masks.h"
#include "platform/Regional.h"

#include <QFont>
#include <memory>
#include <optional>

// How the display text is made.
enum TNumericType {
    ntGeneral = 0,   // through the masks
    ntCurrency = 1,  // currency text with precision Digits and Decimals decimals
    ntPercentage = 2 // fixed text of Value x 100 with a "%" suffix
};

class TCustomNumEdit : public TCustomStrEdit {
    Q_OBJECT

public:
    explicit TCustomNumEdit(QWidget* parent = nullptr);
    ~TCustomNumEdit() override;

    // The shared limit that every numeric edit saves on focus entry and restores on exit.
    static int SavedLimit();

    // The edit text that focus entry makes from a display text that is not in scientific
    // notation: the currency symbol removed (for ntCurrency), then the digits and the decimal
    // and thousands separators in their order, with one "-" in front for a negative amount
    // (`negativeValue`, or a display that begins or ends with "-").
    static QString EntryText(QString display, bool currency, bool negativeValue,
                             const TFormatSettings& settings);
    // The number that focus exit reads from an edit text: its digits and decimal separator,
    // negative when the text begins or ends with "-"; 0 when nothing is left. Throws
    // calc::EConvertError for what is not a number ("-", a lone separator).
    static double ExitValue(const QString& edit, const TFormatSettings& settings);

signals:
    // Every change of the text, including the changes that formatting makes.
    void OnChange();
    void OnEnter();
    // Only after an accepted exit; Value already holds the parsed number.
    void OnExit();

protected:
    // Digits after the decimal separator; also the rounding step of the display.
    quint16 Decimals() const { return m_decimals; }
    void SetDecimals(quint16 decimals);
    // Significant digits of the currency and fixed texts; the character limit while editing.
    quint16 Digits() const { return m_digits; }
    void SetDigits(quint16 digits);
    TMasks* Masks() const { return m_masks.get(); }
    // Upper and lower bound, used only when Validate is true. Writing one pulls Value inside
    // without refreshing the text. NaN is refused with calc::EInvalidOp.
    double Max() const { return m_max; }
    void SetMax(double max);
    double Min() const { return m_min; }
    void SetMin(double min);
    TNumericType NumericType() const { return m_numericType; }
    void SetNumericType(TNumericType type);
    // Round (true; an exact half goes to the even neighbour) or truncate toward zero (false)
    // to Decimals before display. Takes effect at the next refresh of the text.
    bool UseRounding() const { return m_useRounding; }
    void SetUseRounding(bool useRounding) { m_useRounding = useRounding; }
    // The number; for ntPercentage the fraction (0.25 shows as 25.00%). A write runs the
    // range check first (its message box when it fails, and then nothing changes). Infinity
    // and NaN are refused with calc::EInvalidOp: no amount of the program is either.
    double Value() const { return m_value; }
    void SetValue(double value);
    // Range check on exit and on Value writes. Turning it on moves an outside Value to Min.
    bool Validate() const { return m_validate; }
    void SetValidate(bool validate);

    bool TypeCharacter(QChar c, bool pasted) override;
    void focusInEvent(QFocusEvent* event) override;
    void FocusExit() override;

    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void RefreshDisplay();
    void FitText();
    void ShowText(const QString& text);
    void TakeOutsideText();
    // The value the display shows: x 100 for ntPercentage, rounded or truncated to Decimals.
    double DisplayNumber() const;
    // The plain digits the user edits, made from the display text.
    QString EditText() const;
    bool InRange(double x) const;
    void ShowRangeMessage() const;
    void Enter(Qt::FocusReason reason);
    void Exit();

    quint16 m_decimals = 2;
    quint16 m_digits = 12;
    std::optional<QFont> m_fullFont; // the font before FitText made it smaller
    bool m_fitting = false;
    bool m_showingText = false; // the field itself is setting its text
    std::unique_ptr<TMasks> m_masks;
    double m_max = 0;
    double m_min = 0;
    TNumericType m_numericType = ntCurrency;
    bool m_useRounding = true;
    double m_value = 0;
    bool m_validate = false;
    bool m_focused = false; // between an accepted focus entry and an accepted exit
    // The character limit has grown for a typed sign or decimal separator since the entry.
    bool m_signAllowed = false;
    bool m_separatorAllowed = false;
};
