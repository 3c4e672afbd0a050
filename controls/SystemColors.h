// The desktop's named colours, taken from the application palette so they follow the theme.
#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace SystemColors {
inline QColor BtnFace() { return QApplication::palette().color(QPalette::Active, QPalette::Button); }
inline QColor BtnHighlight() { return QApplication::palette().color(QPalette::Active, QPalette::Light); }
inline QColor BtnShadow() { return QApplication::palette().color(QPalette::Active, QPalette::Dark); }
inline QColor Window() { return QApplication::palette().color(QPalette::Active, QPalette::Base); }
inline QColor WindowText() { return QApplication::palette().color(QPalette::Active, QPalette::Text); }
inline QColor ActiveCaption()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
}
} // namespace SystemColors
