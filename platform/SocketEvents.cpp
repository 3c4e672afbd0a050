#include "platform/SocketEvents.h"

#include "platform/HiddenWindow.h"
#include "platform/SocketErrors.h"

#include <QSocketNotifier>
#include <cerrno>
#include <sys/socket.h>

TSocketEvents::TSocketEvents(QObject* window, int msg, QObject* parent)
    : QObject(parent), m_window(window), m_msg(msg)
{
}

TSocketEvents::~TSocketEvents()
{
    Release();
}

void TSocketEvents::Select(int fd, unsigned mask)
{
    if (fd != m_fd) {
        Release();
        m_fd = fd;
        m_read = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        m_write = new QSocketNotifier(fd, QSocketNotifier::Write, this);
        connect(m_read, &QSocketNotifier::activated, this, [this] { ReadReady(); });
        connect(m_write, &QSocketNotifier::activated, this, [this] { WriteReady(); });
        m_endOfStream = false;
        m_connecting = false;
        m_writeArmed = false;
    }
    m_mask = mask;
    m_readArmed = (mask & (FD_READ | FD_ACCEPT | FD_CLOSE)) != 0;
    UpdateNotifiers();
}

void TSocketEvents::Release()
{
    // Notifiers must be gone before the descriptor closes, or the event loop would watch a
    // number that may already belong to another socket.
    delete m_read;
    delete m_write;
    m_read = nullptr;
    m_write = nullptr;
    if (m_fd >= 0 && m_window)
        RemovePostedMessages(m_window, m_msg);
    m_fd = -1;
    m_mask = 0;
    m_connecting = false;
    m_readArmed = false;
    m_writeArmed = false;
    m_endOfStream = false;
}

void TSocketEvents::ConnectStarted()
{
    m_connecting = true;
    UpdateNotifiers();
}

void TSocketEvents::ReadDone()
{
    if (!m_endOfStream && (m_mask & (FD_READ | FD_ACCEPT | FD_CLOSE))) {
        m_readArmed = true;
        UpdateNotifiers();
    }
}

void TSocketEvents::WriteBlocked()
{
    if (m_mask & FD_WRITE) {
        m_writeArmed = true;
        UpdateNotifiers();
    }
}

void TSocketEvents::SetPaused(bool paused)
{
    m_paused = paused;
    UpdateNotifiers();
}

void TSocketEvents::UpdateNotifiers()
{
    if (!m_read)
        return;
    // While connecting only the outcome of the connect matters; reading starts afterwards.
    m_read->setEnabled(!m_paused && !m_connecting && m_readArmed && !m_endOfStream);
    m_write->setEnabled(!m_paused && (m_connecting || m_writeArmed));
}

void TSocketEvents::ReadReady()
{
    m_readArmed = false;
    UpdateNotifiers();

    int listening = 0;
    socklen_t length = sizeof listening;
    if ((m_mask & FD_ACCEPT) &&
        getsockopt(m_fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &length) == 0 && listening) {
        Post(FD_ACCEPT, 0);
        return;
    }
    int type = SOCK_STREAM;
    length = sizeof type;
    getsockopt(m_fd, SOL_SOCKET, SO_TYPE, &type, &length);
    if (type != SOCK_STREAM) {
        Post(FD_READ, 0);
        return;
    }
    // A readable stream either has data, or has reached its end, or has failed; a peek tells
    // which without taking anything.
    char byte;
    const ssize_t n = recv(m_fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0) {
        Post(FD_READ, 0);
    } else if (n == 0) {
        m_endOfStream = true;
        Post(FD_CLOSE, 0);
    } else if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
        m_readArmed = true;
        UpdateNotifiers();
    } else {
        m_endOfStream = true;
        Post(FD_CLOSE, WSAErrorFromErrno(errno));
    }
}

void TSocketEvents::WriteReady()
{
    if (m_connecting) {
        m_connecting = false;
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            error = errno;
        m_writeArmed = false;
        // A failed connect leaves nothing to read or to close.
        if (error != 0)
            m_endOfStream = true;
        UpdateNotifiers();
        Post(FD_CONNECT, WSAErrorFromErrno(error));
        if (error == 0)
            Post(FD_WRITE, 0);
        return;
    }
    m_writeArmed = false;
    UpdateNotifiers();
    Post(FD_WRITE, 0);
}

void TSocketEvents::Post(unsigned event, int error)
{
    if (m_mask & event)
        PostMessage(m_window, m_msg, static_cast<std::uintptr_t>(m_fd),
                    MakeSelectLParam(event, error));
}
