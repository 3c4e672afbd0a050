#include "controls/CustomStrEdit.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

TCustomStrEdit::TCustomStrEdit(QWidget* parent) : TKeyRoutedEdit(parent)
{
    const int system = QFontMetrics(QApplication::font()).height();
    m_textMargin = std::min(system, fontMetrics().height()) / 4;
    // The platform edit writes at the top margin of its text area, as the control's own
    // painting does.
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextMargins(0, std::max(0, m_textMargin - PlatformTopMargin), 0, 0);
}

int TCustomStrEdit::TextLeft(const QRect& area, int textWidth, int margin, quint8 alignment)
{
    const int left = area.x();
    const int right = area.x() + area.width();
    if (alignment == 0)
        return left + margin;
    if (alignment == 1)
        return right - textWidth - margin;
    return (left + right - textWidth) / 2;
}

void TCustomStrEdit::SetUnfocusedAlignment(quint8 alignment)
{
    if (alignment == m_unfocusedAlignment)
        return;
    m_unfocusedAlignment = alignment;
    update();
}

void TCustomStrEdit::SaveAlignment()
{
    if (!m_alignmentSaved) {
        m_savedAlignment = m_unfocusedAlignment;
        m_alignmentSaved = true;
    }
    SetUnfocusedAlignment(0);
}

void TCustomStrEdit::RestoreAlignment()
{
    if (m_alignmentSaved) {
        m_alignmentSaved = false;
        SetUnfocusedAlignment(m_savedAlignment);
    }
    update();
}

void TCustomStrEdit::paintEvent(QPaintEvent* event)
{
    if (m_unfocusedAlignment == 0) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    const QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    painter.fillRect(area, Color());
    painter.setClipRect(area);
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    const QFontMetrics metrics(font());
    const int margin = hasFrame() ? m_textMargin : 0;
    const int x = TextLeft(area, metrics.horizontalAdvance(text()), margin, m_unfocusedAlignment);
    // At the top margin, where the platform edit writes while the user types, so the text
    // does not move when the focus comes and goes.
    const int y = area.y() + margin + metrics.ascent();
    painter.drawText(x, y, text());
}
