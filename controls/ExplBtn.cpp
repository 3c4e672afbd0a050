#include "controls/ExplBtn.h"

#include "controls/AccessibleControls.h"
#include "controls/ExplBtnImages.h"
#include "controls/SystemColors.h"
#include "platform/Application.h"
#include "platform/LoopGuard.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcutEvent>

TExplorerButton::TExplorerButton(QWidget* parent) : QWidget(parent)
{
    InstallAccessibleControls();
    m_unselectedFontColor = SystemColors::WindowText();
    m_fontColor = SystemColors::WindowText();
    setAttribute(Qt::WA_OpaquePaintEvent); // the whole face is painted from one off-screen image
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    resize(m_customSize);
}

TExplorerButton::~TExplorerButton()
{
    ResetDownPattern();
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
    return ::MakeGreyImage(bitmap, shading, highlight, shadow);
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
    const TLoopGuard guard(this);
    if (m_arrowPressed || menuOpens) {
        emit OnDropDownClick();
        if (!guard.Alive())
            return; // the handler closed the window that held the button
    }
    if (menuOpens && m_dropDownMenu) {
        m_popupOpen = true;
        repaint();
        m_dropDownMenu->exec(mapToGlobal(QPoint(0, height())));
        if (!guard.Alive())
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
        KeyClick();
        return true;
    }
    return QWidget::event(event);
}

void TExplorerButton::KeyClick()
{
    if (!isEnabled() || !isVisible())
        return;
    // Shown hot, then pressed and released, so the click happens as with the mouse. Messages
    // run between the steps: the same key arriving meanwhile is refused, so it clicks once,
    // and a click handler may close the window that holds the button, so each step checks
    // that the button is still there.
    const TReentryGuard entry(this, m_acceleratorBusy);
    if (!entry.Entered())
        return;
    const TLoopGuard guard(this);
    m_hot = true;
    repaint();
    Application::ProcessMessages();
    if (!guard.Alive())
        return;
    Press(rect().center());
    Application::ProcessMessages();
    if (!guard.Alive())
        return;
    Release(rect().center());
    Application::ProcessMessages();
    if (guard.Alive() && !PointerOver()) {
        m_hot = false;
        update();
    }
}

void TExplorerButton::keyPressEvent(QKeyEvent* event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (plain && !event->isAutoRepeat()) {
            KeyClick();
            return;
        }
        break;
    default: break;
    }
    QWidget::keyPressEvent(event);
}

void TExplorerButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        ClearStates();
        update();
    } else if (event->type() == QEvent::PaletteChange) {
        UpdateGreyImage();
        ResetDownPattern();
    }
}
