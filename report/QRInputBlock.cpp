#include "report/QRInputBlock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {
bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::InputMethod:
    case QEvent::Drop:
    case QEvent::Close: return true;
    default: return false;
    }
}
} // namespace

TQRInputBlock::TQRInputBlock(QWidget* allowed) : m_allowed(allowed)
{
    QCoreApplication::instance()->installEventFilter(this);
}

TQRInputBlock::~TQRInputBlock()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool TQRInputBlock::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsUserInput(event->type()))
        return false;
    if (m_allowed) {
        if (watched == m_allowed || watched == m_allowed->windowHandle())
            return false;
        if (auto* widget = qobject_cast<QWidget*>(watched);
            widget && m_allowed->isAncestorOf(widget))
            return false;
    }
    if (event->type() == QEvent::Close) {
        // Only a window's own close request is refused; other objects' close events pass.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->isWindow())
            return false;
        event->ignore();
    }
    return true;
}
