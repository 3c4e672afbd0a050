#include "controls/ExplBtn.h"

#include "controls/Artwork.h"
#include "controls/SystemColors.h"
#include "platform/Application.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QEnterEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <memory>

namespace {
// The 8 x 8 pattern of a button that is down, shared by all buttons, made on first use and
// dropped whenever a button goes (so a theme change is picked up by the next one).
std::unique_ptr<QPixmap> g_downPattern;

const QPixmap& DownPattern()
{
    if (!g_downPattern) {
        QImage image(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                image.setPixelColor(x, y,
                                    (x % 2) == (y % 2) ? SystemColors::BtnHighlight()
                                                       : SystemColors::BtnFace());
        g_downPattern = std::make_unique<QPixmap>(QPixmap::fromImage(image));
    }
    return *g_downPattern;
}

// The image with its transparent colour (the pixel at (0, 0)) made see-through.
// Every pixel that is not of the transparent colour, in one colour: the embossed form's layers.
QImage Silhouette(const QImage& source, const QColor& color)
{
    QImage image = TransparentImage(source);
    const QRgb fill = color.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qAlpha(line[x]) ? fill : 0;
    }
    return image;
}

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

// The drop-down triangle (5, 3 and 1 pixels wide) under (x, y), and for the explorer style a
// 7-pixel bar above it.
void DropDownMark(QPainter& painter, int x, int y, const QColor& color, bool withBar)
{
    painter.setPen(color);
    if (withBar)
        painter.drawLine(x, y - 1, x + 6, y - 1);
    painter.drawLine(x + 1, y, x + 5, y);
    painter.drawLine(x + 2, y + 1, x + 4, y + 1);
    painter.drawPoint(x + 3, y + 2);
}
} // namespace

TExplorerButton::TExplorerButton(QWidget* parent) : QWidget(parent)
{
    m_unselectedFontColor = SystemColors::WindowText();
    m_fontColor = SystemColors::WindowText();
    setAttribute(Qt::WA_OpaquePaintEvent); // the whole face is painted from one off-screen image
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    resize(m_customSize);
}

TExplorerButton::~TExplorerButton()
{
    g_downPattern.reset();
}

// --- Properties ----------------------------------------------------------------------------

void TExplorerButton::SetAlignment(TAlignment alignment)
{
    m_alignment = alignment;
    update();
}

QList<TExplorerButton*> TExplorerButton::GroupMembers() const
{
    QList<TExplorerButton*> members;
    if (!parentWidget() || m_groupIndex == 0)
        return members;
    for (auto* button : parentWidget()->findChildren<TExplorerButton*>(Qt::FindDirectChildrenOnly))
        if (button != this && button->m_groupIndex == m_groupIndex)
            members << button;
    return members;
}

void TExplorerButton::SetAllowAllUp(bool on)
{
    m_allowAllUp = on;
    for (auto* button : GroupMembers())
        button->m_allowAllUp = on;
    update();
}

void TExplorerButton::SetBevelStyle(TBevelStyle style)
{
    m_bevelStyle = style;
    update();
}

void TExplorerButton::SetNoFocusBitmap(const QImage& image)
{
    m_noFocusBitmap = image;
    UpdateGreyImage();
    update();
}

void TExplorerButton::SetBitmap(const QImage& image)
{
    m_bitmap = image;
    UpdateGreyImage();
    update();
}

void TExplorerButton::SetCaption(const QString& caption)
{
    m_caption = caption;
    UpdateShortcut();
    if (m_options & boIconOnly) {
        SetHint(StripAccelerator(caption));
        return; // the caption is not shown, so nothing to repaint
    }
    update();
}

void TExplorerButton::SetGroupIndex(int index)
{
    m_groupIndex = index;
    if (index == 0)
        m_down = false;
    update();
}

void TExplorerButton::SetDisabledBitmap(const QImage& image)
{
    m_disabledBitmap = image;
    update();
}

void TExplorerButton::SetDown(bool down)
{
    if (m_groupIndex == 0 || down == m_down)
        return;
    m_down = down;
    if (down)
        for (auto* button : GroupMembers())
            if (button->m_down) {
                button->m_down = false;
                button->update();
            }
    update();
}

void TExplorerButton::SetDropDownMenu(QMenu* menu)
{
    m_dropDownMenu = menu;
    update();
}

void TExplorerButton::ClearStates()
{
    m_pressed = false;
    m_arrowPressed = false;
    m_hot = false;
    if (m_groupIndex == 0)
        m_down = false;
}

void TExplorerButton::SetDropDownStyle(TExplorerButtonDropDownStyle style)
{
    m_dropDownStyle = style;
    ClearStates();
    update();
}

void TExplorerButton::SetLayout(TExplorerButtonLayout layout)
{
    m_layout = layout;
    update();
}

void TExplorerButton::SetOptions(TExplorerButtonOptions options)
{
    const TExplorerButtonOptions old = m_options;
    m_options = options;
    const QString plain = StripAccelerator(m_caption);
    if ((options & boIconOnly) && !(old & boIconOnly)) {
        if (m_hint.isEmpty())
            SetHint(plain);
        SetShowHint(true);
    } else if (!(options & boIconOnly) && (old & boIconOnly)) {
        if (m_hint == plain)
            SetHint(QString());
        SetShowHint(false);
    }
    if ((options ^ old) & boTransparent) {
        m_transparentBack = QPixmap();
        if (parentWidget())
            parentWidget()->update();
    }
    update();
}

void TExplorerButton::SetShadingType(TExplorerButtonShadingType type)
{
    m_shadingType = type;
    UpdateGreyImage();
    update();
}

void TExplorerButton::SetUnselectedFontColor(const QColor& color)
{
    m_unselectedFontColor = color;
    update();
}

void TExplorerButton::SetFontColor(const QColor& color)
{
    m_fontColor = color;
    update();
}

QSize& TExplorerButton::CurrentSize()
{
    switch (m_buttonSize) {
    case bsSmall: return m_smallSize;
    case bsLarge: return m_largeSize;
    case bsCustom: break;
    }
    return m_customSize;
}

void TExplorerButton::SetSmallWidth(int width)
{
    m_smallSize.setWidth(width);
    if (m_buttonSize == bsSmall)
        resize(m_smallSize);
}
void TExplorerButton::SetSmallHeight(int height)
{
    m_smallSize.setHeight(height);
    if (m_buttonSize == bsSmall)
        resize(m_smallSize);
}
void TExplorerButton::SetLargeWidth(int width)
{
    m_largeSize.setWidth(width);
    if (m_buttonSize == bsLarge)
        resize(m_largeSize);
}
void TExplorerButton::SetLargeHeight(int height)
{
    m_largeSize.setHeight(height);
    if (m_buttonSize == bsLarge)
        resize(m_largeSize);
}
void TExplorerButton::SetCustomWidth(int width)
{
    m_customSize.setWidth(width);
    if (m_buttonSize == bsCustom)
        resize(m_customSize);
}
void TExplorerButton::SetCustomHeight(int height)
{
    m_customSize.setHeight(height);
    if (m_buttonSize == bsCustom)
        resize(m_customSize);
}

void TExplorerButton::SetButtonSize(TExplorerButtonButtonSize size)
{
    m_buttonSize = size;
    resize(CurrentSize());
    update();
}

void TExplorerButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    CurrentSize() = size();
    m_transparentBack = QPixmap();
}

void TExplorerButton::SetHint(const QString& hint)
{
    m_hint = hint;
    ::SetHint(this, hint);
    UpdateTooltip();
}

void TExplorerButton::SetShowHint(bool on)
{
    m_showHint = on;
    UpdateTooltip();
}

void TExplorerButton::UpdateTooltip()
{
    setToolTip(m_showHint ? GetShortHint(m_hint) : QString());
}

void TExplorerButton::SetPopupMenu(QMenu* menu)
{
    m_popupMenu = menu;
}

QString TExplorerButton::StripAccelerator(const QString& caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                plain += '&';
                ++i;
            }
            continue;
        }
        plain += caption[i];
    }
    return plain;
}

QImage TExplorerButton::MakeGreyImage(const QImage& bitmap, TExplorerButtonShadingType shading,
                                      const QColor& highlight, const QColor& shadow)
{
    if (bitmap.isNull())
        return QImage();
    struct Thresholds {
        int white, highlight, shadow;
    };
    static constexpr Thresholds table[] = {{205, 127, 68}, {553, 231, 57}, {335, 274, 175}};
    const Thresholds& t = table[shading];
    QImage grey = bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb background = grey.pixel(0, 0);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            if (line[x] == background)
                continue;
            const int sum = qRed(line[x]) + qGreen(line[x]) + qBlue(line[x]);
            QRgb out = qRgb(0, 0, 0);
            if (sum > t.white)
                out = qRgb(255, 255, 255);
            else if (sum > t.highlight)
                out = highlight.rgb();
            else if (sum > t.shadow)
                out = shadow.rgb();
            line[x] = out;
        }
    }
    return grey;
}

void TExplorerButton::UpdateGreyImage()
{
    if (m_noFocusBitmap.isNull())
        m_greyImage = MakeGreyImage(m_bitmap, m_shadingType, SystemColors::BtnHighlight(),
                                    SystemColors::BtnShadow());
}

void TExplorerButton::UpdateShortcut()
{
    if (m_shortcutId)
        releaseShortcut(m_shortcutId);
    m_shortcutId = 0;
    const QKeySequence key = QKeySequence::mnemonic(m_caption);
    if (!key.isEmpty())
        m_shortcutId = grabShortcut(key);
}

bool TExplorerButton::PointerOver() const
{
    return rect().contains(mapFromGlobal(QCursor::pos()));
}

// --- Painting ------------------------------------------------------------------------------

void TExplorerButton::paintEvent(QPaintEvent*)
{
    // Drawn off-screen and copied in one step, so the button never flickers.
    QPixmap buffer(size());
    {
        QPainter painter(&buffer);
        Paint(painter);
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
    const int w = width(), h = height();
    // 1. Background.
    if ((m_options & boTransparent) && !m_transparentBack.isNull())
        painter.drawPixmap(0, 0, m_transparentBack);
    else {
        const QWidget* p = parentWidget();
        painter.fillRect(rect(), p ? p->palette().color(p->backgroundRole())
                                   : palette().color(QPalette::Window));
    }
    // 2. The face; the arrow part of the office style lies right of it.
    const int a = m_dropDownStyle == ddsOffice ? w - ArrowWidth : w;
    const QRect face(0, 0, a, h);
    // 3. The pattern of a button that is down.
    if (m_down && (m_options & boShowDownPattern))
        painter.fillRect(face, QBrush(DownPattern()));

    // 4. Caption measure.
    const bool hasText = !(m_options & boIconOnly) && !m_caption.isEmpty();
    const QFontMetrics metrics(font());
    int hAlign = m_alignment == taLeftJustify    ? Qt::AlignLeft
                 : m_alignment == taRightJustify ? Qt::AlignRight
                                                 : Qt::AlignHCenter;
    const int textFlags = hAlign | Qt::TextShowMnemonic |
                          ((m_options & boWordWrap) ? Qt::TextWordWrap : Qt::TextSingleLine);
    int tw = 0, th = 0, spacing = 0;
    if (hasText) {
        const QRect measured =
            metrics.boundingRect(QRect(0, 0, std::max(a - 4, 1), h * 4), textFlags, m_caption);
        tw = std::min(measured.width(), std::max(a - 4, 0));
        th = measured.height();
        spacing = 2;
    }

    // 5. Image size, with room for the drop-down mark.
    const bool hasImage = !m_bitmap.isNull();
    const bool hasMenu = m_dropDownMenu != nullptr;
    const bool showMark = (m_options & boPopupMark) && hasMenu && m_dropDownStyle == ddsIExplorer;
    int iw = 0, ih = 0;
    if (hasImage) {
        const QSize s = m_buttonSize == bsSmall   ? QSize(16, 16)
                        : m_buttonSize == bsLarge ? QSize(32, 32)
                                                  : m_bitmap.size();
        iw = s.width();
        ih = s.height();
    }
    const int imageOnlyWidth = iw;
    if (hasImage && showMark)
        iw += 10;
    if (!hasImage)
        spacing = 0;

    // 6. Placement.
    auto alignedX = [&](int itemWidth) {
        switch (m_alignment) {
        case taLeftJustify: return 3;
        case taRightJustify: return a - itemWidth - 3;
        case taCenter: break;
        }
        return (a - itemWidth) / 2;
    };
    int ix = 0, iy = 0, tx = 0, ty = 0;
    if (!hasImage) {
        ty = (h - th) / 2;
        tx = alignedX(tw);
    } else if (m_layout == blBitmapTop || m_layout == blBitmapBottom) {
        const int start = (h - th - ih - spacing) / 2;
        if (m_layout == blBitmapTop) {
            iy = start;
            ty = iy + ih + spacing;
        } else {
            ty = start;
            iy = ty + th + spacing;
        }
        ix = alignedX(iw);
        tx = alignedX(tw);
    } else {
        iy = (h - ih) / 2;
        ty = (h - th) / 2;
        tw = std::max(0, std::min(tw, a - 4 - iw - spacing));
        const int total = iw + spacing + tw;
        int first = m_alignment == taLeftJustify    ? 3
                    : m_alignment == taRightJustify ? a - 3 - total
                                                    : (a - total) / 2;
        if (m_layout == blBitmapLeft) {
            ix = first;
            tx = ix + iw + spacing;
        } else {
            tx = first;
            ix = tx + tw + spacing;
        }
    }
    if ((m_options & boWordWrap) && tx + tw > a - 5)
        tw = std::max(0, a - 5 - tx);

    // 7. Drawing by state.
    const QColor highlight = SystemColors::BtnHighlight(), shadow = SystemColors::BtnShadow();
    const bool showBevel = m_options & boShowBevel;
    auto drawImage = [&](const QImage& image, int x, int y) {
        if (image.isNull())
            return;
        const QImage clear = TransparentImage(image);
        if (m_buttonSize == bsSmall)
            painter.drawImage(QPoint(x, y), clear, QRect(0, 0, 16, 16));
        else if (m_buttonSize == bsLarge)
            painter.drawImage(QRect(x, y, 32, 32), clear, QRect(0, 0, 16, 16));
        else
            painter.drawImage(QPoint(x, y), clear);
    };
    auto drawText = [&](int x, int y, const QColor& color) {
        if (!hasText || tw <= 0)
            return;
        painter.setPen(color);
        painter.setFont(font());
        QString text = m_caption;
        if (!(m_options & boWordWrap))
            text = metrics.elidedText(m_caption, Qt::ElideRight, tw + 1, Qt::TextShowMnemonic);
        painter.drawText(QRect(x, y, tw + 1, std::max(th, 1)), textFlags, text);
    };
    auto drawMark = [&](int x, int y, const QColor& color) {
        if (showMark)
            DropDownMark(painter, x, y, color, true);
    };
    const int markX = ix + imageOnlyWidth + 2, markY = iy + ih / 2 - 1;
    auto drawOfficeArrow = [&](const QColor& color, bool sunken) {
        if (m_dropDownStyle != ddsOffice)
            return;
        const int shift = sunken ? 1 : 0;
        DropDownMark(painter, a + (ArrowWidth - 7) / 2 + shift, h / 2 - 1 + shift, color, false);
    };

    if (!isEnabled()) {
        if (m_down && showBevel)
            Bevel(painter, face, false, m_bevelStyle);
        if (!m_disabledBitmap.isNull())
            drawImage(m_disabledBitmap, ix, iy);
        else if (hasImage) {
            drawImage(Silhouette(m_bitmap, highlight), ix + 1, iy + 1);
            drawImage(Silhouette(m_bitmap, shadow), ix, iy);
        }
        drawText(tx + 1, ty + 1, highlight);
        drawText(tx, ty, shadow);
        drawMark(markX, markY, shadow);
        drawOfficeArrow(shadow, false);
        return;
    }

    const bool sunken =
        (m_pressed && m_hot) || (m_popupOpen && m_dropDownStyle == ddsIExplorer) || m_down;
    if (sunken) {
        if (showBevel) {
            Bevel(painter, face, false, m_bevelStyle);
            if (m_dropDownStyle == ddsOffice)
                Bevel(painter, QRect(a, 0, w - a, h), !m_arrowPressed, m_bevelStyle);
        }
        const bool noDepress = m_options & boNoDepress;
        const int imageShift = noDepress ? 0 : 1;
        const int textShift =
            (!noDepress && m_bevelStyle == bsRaised) || m_bevelStyle == bsLowered ? 1 : 0;
        const QColor textColor = m_hot ? m_fontColor : m_unselectedFontColor;
        drawImage(m_bitmap, ix + imageShift, iy + imageShift);
        drawText(tx + textShift, ty + textShift, textColor);
        if (hasImage)
            drawMark(markX + imageShift, markY + imageShift, textColor);
        else
            drawMark(tx + tw + 2 + textShift, ty + th / 2 - 1 + textShift, textColor);
        drawOfficeArrow(textColor, m_arrowPressed);
        return;
    }

    if ((m_hot || m_popupOpen) && showBevel) {
        Bevel(painter, face, !(m_arrowPressed && m_hot), m_bevelStyle);
        if (m_dropDownStyle == ddsOffice)
            Bevel(painter, QRect(a, 0, w - a, h), !m_arrowPressed, m_bevelStyle);
    }
    const QColor textColor = m_hot ? m_fontColor : m_unselectedFontColor;
    const int textShift = m_bevelStyle == bsLowered ? 1 : 0;
    QImage image = m_bitmap;
    if ((m_options & boMonoDisplay) && !m_hot)
        image = m_noFocusBitmap.isNull() ? m_greyImage : m_noFocusBitmap;
    drawImage(image, ix, iy);
    drawText(tx + textShift, ty + textShift, textColor);
    if (hasImage)
        drawMark(markX, markY, textColor);
    else
        drawMark(tx + tw + 2, ty + th / 2 - 1, textColor);
    drawOfficeArrow(textColor, m_arrowPressed);
}

// --- Mouse and keyboard --------------------------------------------------------------------

void TExplorerButton::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    m_hot = true;
    if (!m_down && isEnabled())
        update();
    emit OnEnter();
}

void TExplorerButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    m_hot = false;
    if (!m_down && isEnabled())
        update();
    emit OnExit();
}

void TExplorerButton::Press(const QPoint& pos)
{
    if (window() && !window()->isActiveWindow())
        window()->activateWindow();
    if (!isEnabled() || !isVisible())
        return;
    if (m_dropDownStyle == ddsOffice && pos.x() >= width() - ArrowWidth)
        m_arrowPressed = true;
    else
        m_pressed = true;
    m_hot = true;
    repaint();
    const bool menuOpens = m_dropDownMenu && (m_dropDownStyle == ddsIExplorer || m_arrowPressed);
    if (m_arrowPressed || menuOpens)
        emit OnDropDownClick();
    if (menuOpens && m_dropDownMenu) {
        m_popupOpen = true;
        repaint();
        const QPointer<TExplorerButton> self(this);
        m_dropDownMenu->exec(mapToGlobal(QPoint(0, height())));
        if (!self)
            return; // a menu command closed the window that held the button
        m_popupOpen = false;
        // The press that opened the menu is over: nothing is pressed any more.
        m_hot = PointerOver();
        m_pressed = false;
        m_arrowPressed = false;
        update();
    }
}

void TExplorerButton::Release(const QPoint& pos)
{
    if (!isEnabled() || !isVisible() || !(m_pressed || m_arrowPressed))
        return;
    const bool bodyPressed = m_pressed;
    m_hot = rect().contains(pos);
    if (m_groupIndex != 0 && bodyPressed && m_hot) {
        if (!m_down)
            SetDown(true);
        else if (m_allowAllUp) {
            m_down = false;
        }
    }
    m_pressed = false;
    m_arrowPressed = false;
    update();
    if (!m_hot)
        return;
    const bool click = m_dropDownStyle == ddsOffice ? bodyPressed : m_dropDownMenu == nullptr;
    if (click)
        emit OnClick();
}

void TExplorerButton::mousePressEvent(QMouseEvent* event)
{
    const QPointer<TExplorerButton> self(this);
    if (event->button() == Qt::LeftButton)
        Press(event->position().toPoint());
    if (self) // a drop-down command may have closed the window
        QWidget::mousePressEvent(event);
}

void TExplorerButton::mouseMoveEvent(QMouseEvent* event)
{
    // While the mouse is held the button follows the pointer in and out of its face.
    if (m_pressed || m_arrowPressed) {
        const bool hot = rect().contains(event->position().toPoint());
        if (hot != m_hot) {
            m_hot = hot;
            update();
        }
    }
    QWidget::mouseMoveEvent(event);
}

void TExplorerButton::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointer<TExplorerButton> self(this);
    if (event->button() == Qt::LeftButton)
        Release(event->position().toPoint());
    if (self) // the click handler may have closed the window
        QWidget::mouseReleaseEvent(event);
}

void TExplorerButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // The second press of a double click presses the button as the first one did.
    const QPoint pos = event->position().toPoint();
    const QPointer<TExplorerButton> self(this);
    Press(pos);
    if (!self)
        return; // a drop-down command closed the window that held the button
    const bool body = !(m_dropDownStyle == ddsOffice && pos.x() >= width() - ArrowWidth);
    if (isEnabled() && body)
        emit OnDblClick();
}

void TExplorerButton::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = m_popupMenu;
    if (!menu) {
        event->ignore(); // the form's menu, if any
        return;
    }
    const QPointer<TExplorerButton> self(this);
    menu->exec(event->globalPos());
    if (!self)
        return; // a menu command closed the window that held the button
    m_hot = PointerOver();
    m_pressed = false;
    m_arrowPressed = false;
    update();
}

bool TExplorerButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut &&
        static_cast<QShortcutEvent*>(event)->shortcutId() == m_shortcutId) {
        if (isEnabled() && isVisible()) {
            // Shown hot, then pressed and released, so the click happens as with the mouse.
            // Messages run between the steps, and a click handler may close the window that
            // holds the button, so each step checks that the button is still there.
            const QPointer<TExplorerButton> self(this);
            m_hot = true;
            repaint();
            Application::ProcessMessages();
            if (!self)
                return true;
            Press(rect().center());
            Application::ProcessMessages();
            if (!self)
                return true;
            Release(rect().center());
            Application::ProcessMessages();
            if (self && !PointerOver()) {
                m_hot = false;
                update();
            }
        }
        return true;
    }
    return QWidget::event(event);
}

void TExplorerButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        ClearStates();
        update();
    } else if (event->type() == QEvent::PaletteChange) {
        UpdateGreyImage();
        g_downPattern.reset();
    }
}
