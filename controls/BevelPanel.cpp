#include "controls/BevelPanel.h"

#include "controls/SystemColors.h"

#include <QPainter>

namespace {
// Draws one bevel on the rectangle's edge: light above and left for a raised one, dark there
// for a lowered one. Returns the rectangle inside it.
QRect DrawBevel(QPainter& painter, QRect rect, TPanelBevel bevel)
{
    if (bevel == bvNone)
        return rect;
    const QColor light = SystemColors::BtnHighlight();
    const QColor dark = SystemColors::BtnShadow();
    const QColor topLeft = bevel == bvRaised ? light : dark;
    const QColor bottomRight = bevel == bvRaised ? dark : light;
    painter.setPen(topLeft);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
    return rect.adjusted(1, 1, -1, -1);
}
} // namespace

TBevelPanel::TBevelPanel(QWidget* parent) : QWidget(parent), m_color(SystemColors::BtnFace()) {}

void TBevelPanel::SetBevelOuter(TPanelBevel bevel)
{
    m_outer = bevel;
    update();
}

void TBevelPanel::SetBevelInner(TPanelBevel bevel)
{
    m_inner = bevel;
    update();
}

void TBevelPanel::SetColor(const QColor& color)
{
    m_color = color;
    // Child labels without their own background show the panel's colour.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
    update();
}

void TBevelPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
    DrawBevel(painter, DrawBevel(painter, rect(), m_outer), m_inner);
}
