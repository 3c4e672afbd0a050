// The aligned grid's in-place editor: a line edit that takes the look of the cell it edits.
#pragma once

#include "controls/Aligrid.h"

#include <QLineEdit>

class TNewInplaceEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TNewInplaceEdit(QWidget* parent = nullptr);

    // Text alignment, font, text colour and background of the edited cell.
    void SetCellLook(TMyAlign align, const QFont& font, const QColor& textColor,
                     const QColor& background);
};
