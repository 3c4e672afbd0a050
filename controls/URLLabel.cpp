#include "controls/URLLabel.h"

#include "controls/AccessibleControls.h"
#include "platform/Application.h"
#include "platform/LoopGuard.h"
#include "platform/Shell.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

TURLLabel::TURLLabel(QWidget* parent) : QLabel(parent)
{
    SetFontColor(Qt::black);
    SetFontStyle({});
    m_savedColor = FontColor();
    m_savedStyle = FontStyle();
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    InstallAccessibleControls();
}

QColor TURLLabel::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TURLLabel::SetFontColor(const QColor& color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

TFontStyles TURLLabel::FontStyle() const
{
    const QFont f = font();
    TFontStyles styles;
    if (f.bold())
        styles |= fsBold;
    if (f.italic())
        styles |= fsItalic;
    if (f.underline())
        styles |= fsUnderline;
    if (f.strikeOut())
        styles |= fsStrikeOut;
    return styles;
}

void TURLLabel::SetFontStyle(TFontStyles styles)
{
    QFont f = font();
    f.setBold(styles & fsBold);
    f.setItalic(styles & fsItalic);
    f.setUnderline(styles & fsUnderline);
    f.setStrikeOut(styles & fsStrikeOut);
    setFont(f);
}

void TURLLabel::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    m_savedColor = FontColor();
    m_savedStyle = FontStyle();
    SetFontColor(m_mouseOverColor);
    SetFontStyle(m_mouseOverFont);
    update();
}

void TURLLabel::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    SetFontColor(m_savedColor);
    SetFontStyle(m_savedStyle);
    update();
}

void TURLLabel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    const TLoopGuard guard(this);
    emit OnMouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
    if (!guard.Alive()) {
        event->accept(); // a receiver deleted the label: the press goes no further
        return;
    }
    Open();
    event->accept();
}

void TURLLabel::Open()
{
    ShellOpenRequest request;
    request.file = m_url;
    request.show = ShellShowMode::ShowNormal;
    request.owner = window();
    // A failed open is silent; an error goes to the trap here rather than unwinding through
    // the toolkit's event delivery, which does not clean up after it.
    Application::Guard(this, [this, &request] { ShellOpen(m_opener, request); });
}

void TURLLabel::keyPressEvent(QKeyEvent* event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        Open();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void TURLLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect();
    // Shown from the start, not only once a key has moved the focus: a flat control shows
    // the focus no other way.
    focus.state |= QStyle::State_KeyboardFocusChange;
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}
