// The flat button's painting: the background, the down pattern, then image, caption, marks and
// bevels for the button's state, at the places LayOutButtonFace gives.
#include "controls/Artwork.h"
#include "controls/ExplBtn.h"
#include "controls/ExplBtnImages.h"
#include "controls/ExplBtnLayout.h"
#include "controls/SystemColors.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {
void Bevel(QPainter& painter, const QRect& rect, bool raisedLook, TBevelStyle style)
{
    // A lowered bevel style swaps the two looks.
    const bool lightTopLeft = (style == bsRaised) == raisedLook;
    const QColor topLeft = lightTopLeft ? SystemColors::BtnHighlight() : SystemColors::BtnShadow();
    const QColor bottomRight =
        lightTopLeft ? SystemColors::BtnShadow() : SystemColors::BtnHighlight();
    const int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
    painter.setPen(topLeft);
    painter.drawLine(l, t, r, t);
    painter.drawLine(l, t, l, b);
    painter.setPen(bottomRight);
    painter.drawLine(l, b, r, b);
    painter.drawLine(r, t, r, b);
}

// The drop-down triangle (5, 3 and 1 pixels wide) under `at`, and for the explorer style a
// 7-pixel bar above it.
void DropDownMark(QPainter& painter, QPoint at, const QColor& color, bool withBar)
{
    const int x = at.x(), y = at.y();
    painter.setPen(color);
    if (withBar)
        painter.drawLine(x, y - 1, x + 6, y - 1);
    painter.drawLine(x + 1, y, x + 5, y);
    painter.drawLine(x + 2, y + 1, x + 4, y + 1);
    painter.drawPoint(x + 3, y + 2);
}
} // namespace

void TExplorerButton::paintEvent(QPaintEvent*)
{
    // Drawn off-screen and copied in one step, so the button never flickers.
    QPixmap buffer(size());
    {
        QPainter painter(&buffer);
        Paint(painter);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = rect().adjusted(3, 3, -3, -3);
            // Shown from the start, not only once a key has moved the focus: a flat control shows
            // the focus no other way.
            focus.state |= QStyle::State_KeyboardFocusChange;
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
    QPainter(this).drawPixmap(0, 0, buffer);
}

void TExplorerButton::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if ((m_options & boTransparent) && m_transparentBack.isNull() && parentWidget()) {
        // The parent's own drawing behind the button, without its children (this button).
        m_transparentBack = QPixmap(size());
        m_transparentBack.fill(parentWidget()->palette().color(parentWidget()->backgroundRole()));
        parentWidget()->render(&m_transparentBack, QPoint(), QRegion(geometry()),
                               QWidget::DrawWindowBackground);
    }
}

void TExplorerButton::Paint(QPainter& painter)
{
    // Background: the parent's colour, or what lies behind a transparent button.
    if ((m_options & boTransparent) && !m_transparentBack.isNull())
        painter.drawPixmap(0, 0, m_transparentBack);
    else {
        const QWidget* p = parentWidget();
        painter.fillRect(rect(), p ? p->palette().color(p->backgroundRole())
                                   : palette().color(QPalette::Window));
    }

    // The caption is measured here (it needs the font); the rest of the layout is pure.
    TButtonFace face;
    face.size = size();
    face.dropDownStyle = m_dropDownStyle;
    face.layout = m_layout;
    face.alignment = m_alignment;
    face.buttonSize = m_buttonSize;
    face.options = m_options;
    face.bitmapSize = m_bitmap.size();
    face.hasMenu = m_dropDownMenu != nullptr;
    face.hasText = !(m_options & boIconOnly) && !m_caption.isEmpty();
    const QFontMetrics metrics(font());
    const int hAlign = m_alignment == taLeftJustify    ? Qt::AlignLeft
                       : m_alignment == taRightJustify ? Qt::AlignRight
                                                       : Qt::AlignHCenter;
    const int textFlags = hAlign | Qt::TextShowMnemonic |
                          ((m_options & boWordWrap) ? Qt::TextWordWrap : Qt::TextSingleLine);
    const int room = CaptionRoom(ButtonFaceWidth(width(), m_dropDownStyle));
    if (face.hasText)
        face.textSize =
            metrics.boundingRect(QRect(0, 0, std::max(room, 1), height() * 4), textFlags, m_caption)
                .size();
    const TButtonFaceLayout at = LayOutButtonFace(face);

    if (m_down && (m_options & boShowDownPattern))
        painter.fillRect(at.face, QBrush(DownPattern()));

    const QColor highlight = SystemColors::BtnHighlight(), shadow = SystemColors::BtnShadow();
    const bool showBevel = m_options & boShowBevel;
    const QPoint shifted(1, 1);
    auto drawImage = [&](const QImage& image, QPoint pos) {
        if (image.isNull())
            return;
        const QImage clear = TransparentImage(image);
        if (m_buttonSize == bsSmall)
            painter.drawImage(pos, clear, QRect(0, 0, 16, 16));
        else if (m_buttonSize == bsLarge)
            painter.drawImage(QRect(pos, QSize(32, 32)), clear, QRect(0, 0, 16, 16));
        else
            painter.drawImage(pos, clear);
    };
    auto drawText = [&](QPoint pos, const QColor& color) {
        const int tw = at.text.width();
        if (!face.hasText || tw <= 0)
            return;
        painter.setPen(color);
        painter.setFont(font());
        QString text = m_caption;
        if (!(m_options & boWordWrap))
            text = metrics.elidedText(m_caption, Qt::ElideRight, tw + 1, Qt::TextShowMnemonic);
        painter.drawText(QRect(pos, QSize(tw + 1, std::max(at.text.height(), 1))), textFlags, text);
    };
    auto drawMark = [&](QPoint pos, const QColor& color) {
        if (at.showMark)
            DropDownMark(painter, pos, color, true);
    };
    auto drawOfficeArrow = [&](const QColor& color, bool sunken) {
        if (m_dropDownStyle == ddsOffice)
            DropDownMark(painter, at.arrowMark + (sunken ? shifted : QPoint()), color, false);
    };
    const bool hasImage = !at.image.isEmpty();

    if (!isEnabled()) {
        // Embossed: the highlight one pixel right and down, the shadow in place.
        if (m_down && showBevel)
            Bevel(painter, at.face, false, m_bevelStyle);
        if (!m_disabledBitmap.isNull())
            drawImage(m_disabledBitmap, at.image.topLeft());
        else if (hasImage) {
            drawImage(SilhouetteImage(m_bitmap, highlight), at.image.topLeft() + shifted);
            drawImage(SilhouetteImage(m_bitmap, shadow), at.image.topLeft());
        }
        drawText(at.text.topLeft() + shifted, highlight);
        drawText(at.text.topLeft(), shadow);
        drawMark(at.imageMark, shadow);
        drawOfficeArrow(shadow, false);
        return;
    }

    const QColor textColor = m_hot ? m_fontColor : m_unselectedFontColor;
    const bool sunken =
        (m_pressed && m_hot) || (m_popupOpen && m_dropDownStyle == ddsIExplorer) || m_down;
    if (sunken) {
        if (showBevel) {
            Bevel(painter, at.face, false, m_bevelStyle);
            if (m_dropDownStyle == ddsOffice)
                Bevel(painter, at.arrow, !m_arrowPressed, m_bevelStyle);
        }
        const bool noDepress = m_options & boNoDepress;
        const QPoint imageShift = noDepress ? QPoint() : shifted;
        const QPoint textShift =
            (!noDepress && m_bevelStyle == bsRaised) || m_bevelStyle == bsLowered ? shifted
                                                                                  : QPoint();
        drawImage(m_bitmap, at.image.topLeft() + imageShift);
        drawText(at.text.topLeft() + textShift, textColor);
        drawMark(hasImage ? at.imageMark + imageShift : at.textMark + textShift, textColor);
        drawOfficeArrow(textColor, m_arrowPressed);
        return;
    }

    if ((m_hot || m_popupOpen) && showBevel) {
        Bevel(painter, at.face, !(m_arrowPressed && m_hot), m_bevelStyle);
        if (m_dropDownStyle == ddsOffice)
            Bevel(painter, at.arrow, !m_arrowPressed, m_bevelStyle);
    }
    const QPoint textShift = m_bevelStyle == bsLowered ? shifted : QPoint();
    QImage image = m_bitmap;
    if ((m_options & boMonoDisplay) && !m_hot)
        image = m_noFocusBitmap.isNull() ? m_greyImage : m_noFocusBitmap;
    drawImage(image, at.image.topLeft());
    drawText(at.text.topLeft() + textShift, textColor);
    drawMark(hasImage ? at.imageMark : at.textMark, textColor);
    drawOfficeArrow(textColor, m_arrowPressed);
}
