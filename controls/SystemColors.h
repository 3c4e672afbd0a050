// The desktop's named colours, taken from the application palette so they follow the theme.
#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace SystemColors {
// 8 bits a channel, as the colour lands on screen (derived palette colours carry more).
inline QColor Role(QPalette::ColorRole role)
{
    return QColor(QApplication::palette().color(QPalette::Active, role).rgb());
}
inline QColor BtnFace()
{
    return Role(QPalette::Button);
}
inline QColor BtnHighlight()
{
    return Role(QPalette::Light);
}
inline QColor BtnShadow()
{
    return Role(QPalette::Dark);
}
inline QColor Window()
{
    return Role(QPalette::Base);
}
inline QColor WindowText()
{
    return Role(QPalette::Text);
}
inline QColor ActiveCaption()
{
    return Role(QPalette::Highlight);
}
} // namespace SystemColors
