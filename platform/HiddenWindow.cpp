#include "platform/HiddenWindow.h"

#include "platform/Application.h"

#include <QCoreApplication>

TMessageEvent::TMessageEvent(int msg, std::uintptr_t wParam, std::intptr_t lParam)
    : QEvent(MessageEventType(msg)), message{msg, wParam, lParam}
{
}

void PostMessage(QObject* target, int msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    QCoreApplication::postEvent(target, new TMessageEvent(msg, wParam, lParam));
}

void RemovePostedMessages(QObject* target, int msg)
{
    QCoreApplication::removePostedEvents(target, MessageEventType(msg));
}

THiddenWindow::THiddenWindow(Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler))
{
}

bool THiddenWindow::event(QEvent* event)
{
    if (event->type() >= QEvent::User && event->type() <= QEvent::MaxUser) {
        if (auto* message = dynamic_cast<TMessageEvent*>(event)) {
            Application::Guard(this, [&] { m_handler(message->message); });
            return true;
        }
    }
    return QObject::event(event);
}
