#include "platform/DialogFont.h"

#include <QStringList>

QFont DialogFont(int pixelSize, bool bold)
{
    static const bool substituted = [] {
        QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "DejaVu Sans"});
        return true;
    }();
    (void)substituted;
    QFont font("MS Sans Serif");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
