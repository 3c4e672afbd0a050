// Private window messages: a component's hidden message-only window, and PostMessage.
//
// A message number n (1025, 3024, ...) travels as a posted QEvent of type QEvent::User + n,
// so the numbers stay those the components document.
#pragma once

#include <QEvent>
#include <QObject>
#include <cstdint>
#include <functional>

struct TMessage {
    int Msg;
    std::uintptr_t WParam;
    std::intptr_t LParam;
};

class TMessageEvent : public QEvent {
public:
    TMessageEvent(int msg, std::uintptr_t wParam, std::intptr_t lParam);
    TMessage message;
};

constexpr QEvent::Type MessageEventType(int msg)
{
    return static_cast<QEvent::Type>(QEvent::User + msg);
}

// Queues a message for `target`; it is delivered by the message loop, never inside this call.
void PostMessage(QObject* target, int msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

// Removes the messages of number `msg` still queued for `target`.
void RemovePostedMessages(QObject* target, int msg);

// A hidden window that hands each posted message to a handler. Exceptions from the handler go
// to the application's exception trap.
class THiddenWindow : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(TMessage&)>;
    explicit THiddenWindow(Handler handler, QObject* parent = nullptr);

protected:
    bool event(QEvent* event) override;

private:
    Handler m_handler;
};
