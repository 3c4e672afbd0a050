#include "update/Wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

TWait::TWait(QWidget* parent) : QLabel(parent)
{
    setObjectName("WaitCtrl");
    setAlignment(Qt::AlignCenter);
}

bool TWait::Wait(int seconds, const std::function<bool()>& done)
{
    const bool outerRunning = m_running;
    m_running = true;
    m_stopped = false;
    const QDeadlineTimer deadline(std::chrono::seconds(std::max(0, seconds)));
    bool result = false;
    for (;;) {
        if (m_stopped || (done && done())) {
            result = true;
            break;
        }
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            break;
        setText(QString::number((left + 999) / 1000));
        // Wake at least every 100 ms so the caption keeps counting without events.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents,
                                        static_cast<int>(std::min<qint64>(left, 100)));
    }
    setText(QString());
    m_running = outerRunning;
    m_stopped = false;
    return result;
}
