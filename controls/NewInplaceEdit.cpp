#include "controls/NewInplaceEdit.h"

TNewInplaceEdit::TNewInplaceEdit(QWidget* parent) : QLineEdit(parent)
{
    setObjectName("InplaceEdit");
}

void TNewInplaceEdit::SetCellLook(TMyAlign align, const QFont& font, const QColor& textColor,
                                  const QColor& background)
{
    switch (align) {
    case alRight: setAlignment(Qt::AlignRight | Qt::AlignVCenter); break;
    case alCenter: setAlignment(Qt::AlignHCenter | Qt::AlignVCenter); break;
    case alLeft: setAlignment(Qt::AlignLeft | Qt::AlignVCenter); break;
    }
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Text, textColor);
    pal.setColor(QPalette::Base, background);
    setPalette(pal);
}
