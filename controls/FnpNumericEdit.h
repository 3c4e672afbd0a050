// The bounded numeric edit: a fixed-point entry field whose text is always a number with a
// fixed count of decimals ("8.750", "30"). Every keystroke edits that text in place: digits
// typed in the decimals overwrite, deleting a decimal digit pulls the later ones left and
// refills with "0", the decimal separator key jumps to the decimals, a lone integer digit
// deleted becomes "0". It keeps no number of its own: Value is read from and written to the
// text. The limits only raise events; nothing is clamped.
//
// Positions in the comments count characters from 0 at the left; the text is the integer
// digits I, the decimal separator, then Decimals digits D (no separator and no D when Decimals
// is 0).
#pragma once

#include "controls/Alignment.h"
#include "controls/KeyRoutedEdit.h"

class TFnpNumericEdit : public TKeyRoutedEdit {
    Q_OBJECT

public:
    explicit TFnpNumericEdit(QWidget* parent = nullptr);

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    // Select the whole text on focus entry, unless the focus came by a mouse press.
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool autoSelect) { m_autoSelect = autoSelect; }
    // The count of decimals, 0 to 9 (writes outside are clamped). A write always reformats
    // the text, even when the count is unchanged.
    int Decimals() const { return m_decimals; }
    void SetDecimals(int decimals);
    // The limits: the value is in range when MinValue <= Value <= MaxValue. A MinValue below
    // 0 lets the "-" key toggle the sign.
    double MaxValue() const { return m_maxValue; }
    void SetMaxValue(double value) { m_maxValue = value; }
    double MinValue() const { return m_minValue; }
    void SetMinValue(double value) { m_minValue = value; }
    // Read-only.
    QString Version() const { return QStringLiteral("1.00.08"); }
    // The text as a number (regional decimal separator). Throws calc::EConvertError for a
    // text that is not a number.
    double Value() const;
    // Replaces the text by the value with Decimals decimals (halves away from zero) when it
    // differs. Infinity and NaN are refused with calc::EInvalidOp.
    void SetValue(double value);
    // The internal format: "0", or "0." and Decimals zeros.
    QString FormatMask() const { return m_formatMask; }

    void CutToClipboard() override;
    void DeleteSelectedText() override;

signals:
    // Every change of the text, except those made while it is suppressed (reformatting,
    // deleting a selection character by character).
    void OnChange();
    // After every change of the text (also a suppressed one) when the value is in range.
    void OnValidChange();
    void OnEnter();
    // On exit, before OnExit, when MinValue differs from MaxValue and Value is out of range.
    void OnInvalidEntry();
    void OnExit();

protected:
    bool TypeCharacter(QChar c, bool pasted) override;
    void DeleteKey(QKeyEvent* event) override;
    void PasteText(const QString& text) override;
    void focusInEvent(QFocusEvent* event) override;
    void FocusExit() override;

private:
    void RefreshFormat();
    void TextChanged();
    // Replaces the whole text and puts the caret at `caret`, with no selection.
    void ReplaceText(const QString& text, int caret);
    // Removes the character at the 1-based position `b` by the fixed-point rules: b is the
    // caret for Backspace and the caret + 1 for Delete (`forward`).
    void DeleteOne(int b, bool forward);
    // Deletes the selected characters one Backspace at a time with OnChange held back; false
    // when there was no selection.
    bool DeleteSelection();
    // Deletes the selection and then reports the change once.
    void DeleteSelectionAndNotify();
    void DialogKey(int key);

    TAlignment m_alignment = taRightJustify;
    bool m_autoSelect = true;
    int m_decimals = 2;
    double m_maxValue = 0;
    double m_minValue = 0;
    QString m_formatMask = QStringLiteral("0.00");
    int m_suppressChange = 0;
    bool m_entered = false;
};
