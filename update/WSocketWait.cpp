// The blocking side of the socket component, which the HTTP client does not use: line
// reading and the waits that process messages themselves (MultiThreaded) or run the WaitCtrl
// countdown.
#include "platform/SocketErrors.h"
#include "update/WSocket.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

void TCustomWSocket::ContinueLineRead()
{
    char c;
    while (m_lineReading) {
        if (Receive(&c, 1) <= 0)
            return;
        if (c == '\n') {
            m_lineReading = false;
            m_lineDone = true;
        } else if (c != '\r') {
            m_line += c;
            if (m_line.size() >= LineLimit) {
                m_lineReading = false;
                m_lineDone = true;
                Events().OnLineTooLong(this);
            }
        }
    }
}

bool TCustomWSocket::WaitUntil(int seconds, const std::function<bool()>& done)
{
    if (m_multiThreaded) {
        const QDeadlineTimer deadline(std::chrono::seconds(std::max(0, seconds)));
        while (!done()) {
            const qint64 left = deadline.remainingTime();
            if (left <= 0)
                return false;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents,
                                            static_cast<int>(std::min<qint64>(left, 100)));
        }
        return true;
    }
    return m_waitCtrl->Wait(seconds, done);
}

bool TCustomWSocket::WaitForState(TSocketState state, int seconds)
{
    if (!m_multiThreaded && !m_waitCtrl) {
        SocketError("TWSocket.Wait", WSANO_DATA);
        return false;
    }
    return WaitUntil(seconds, [this, state] { return m_state == state; });
}

bool TCustomWSocket::ReadLine(int seconds, QString& line)
{
    line.clear();
    if (!m_multiThreaded && !m_waitCtrl) {
        RaiseException("No wait object assigned");
        return false;
    }
    m_line.clear();
    m_lineDone = false;
    m_lineReading = true;
    // Bytes that arrived before the call are not announced again.
    if (RcvdCount() > 0)
        ContinueLineRead();
    const bool ok = WaitUntil(seconds, [this] { return m_lineDone || !m_lineReading; });
    m_lineReading = false;
    line = QString::fromLatin1(m_line);
    return ok && m_lineDone;
}

void TCustomWSocket::Flush()
{
    const QDeadlineTimer deadline(std::chrono::seconds(std::max(0, m_flushTimeout)));
    while (!m_allSent && m_hSocket != -1 && m_state == wsConnected && !deadline.hasExpired()) {
        TryToSend();
        if (m_allSent || m_hSocket == -1)
            break;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
}
