// The masked numeric edit as the windows use it: the numeric properties made public. There is
// no alignment property: a numeric edit is always right-aligned while unfocused.
#pragma once

#include "controls/CustomNumEdit.h"

class TNumEdit : public TCustomNumEdit {
    Q_OBJECT

public:
    explicit TNumEdit(QWidget* parent = nullptr) : TCustomNumEdit(parent) {}

    using TCustomNumEdit::Decimals;
    using TCustomNumEdit::Digits;
    using TCustomNumEdit::Masks;
    using TCustomNumEdit::Max;
    using TCustomNumEdit::Min;
    using TCustomNumEdit::NumericType;
    using TCustomNumEdit::SetDecimals;
    using TCustomNumEdit::SetDigits;
    using TCustomNumEdit::SetMax;
    using TCustomNumEdit::SetMin;
    using TCustomNumEdit::SetNumericType;
    using TCustomNumEdit::SetUseRounding;
    using TCustomNumEdit::SetValidate;
    using TCustomNumEdit::SetValue;
    using TCustomNumEdit::UseRounding;
    using TCustomNumEdit::Validate;
    using TCustomNumEdit::Value;
};
