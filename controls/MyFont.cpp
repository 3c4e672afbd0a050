#include "controls/MyFont.h"

TMyFont::TMyFont(QObject* parent) : QObject(parent) {}

TMyFont::TMyFont(const QFont& font, const QColor& color, QObject* parent)
    : QObject(parent), m_font(font), m_color(color)
{
}

void TMyFont::SetFont(const QFont& font)
{
    if (font == m_font)
        return;
    m_font = font;
    NotifyChange();
}

void TMyFont::SetColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    NotifyChange();
}

void TMyFont::Assign(const TMyFont& other)
{
    if (other.m_font == m_font && other.m_color == m_color)
        return;
    m_font = other.m_font;
    m_color = other.m_color;
    NotifyChange();
}

void TMyFont::NotifyChange()
{
    m_changed = true;
    emit OnChange();
}
