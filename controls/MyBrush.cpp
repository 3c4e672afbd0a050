#include "controls/MyBrush.h"

TMyBrush::TMyBrush(QObject* parent) : QObject(parent) {}

TMyBrush::TMyBrush(const QColor& color, Qt::BrushStyle style, QObject* parent)
    : QObject(parent), m_color(color), m_style(style)
{
}

void TMyBrush::SetColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    NotifyChange();
}

void TMyBrush::SetStyle(Qt::BrushStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    NotifyChange();
}

void TMyBrush::Assign(const TMyBrush& other)
{
    if (other.m_color == m_color && other.m_style == m_style)
        return;
    m_color = other.m_color;
    m_style = other.m_style;
    NotifyChange();
}

void TMyBrush::NotifyChange()
{
    m_changed = true;
    emit OnChange();
}
