#include "controls/Masks.h"

void TMasks::Set(QString& field, const QString& mask)
{
    const QString cut = mask.left(MaxMaskLength);
    if (cut == field)
        return;
    field = cut;
    emit OnChange(this);
}
