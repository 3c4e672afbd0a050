#include "tests/support/LoopbackServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Waits until `fd` is readable or the wake pipe is; false when woken to stop.
bool WaitReadable(int fd, int wake)
{
    pollfd fds[2] = {{fd, POLLIN, 0}, {wake, POLLIN, 0}};
    for (;;) {
        const int rc = poll(fds, 2, -1);
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0 || (fds[1].revents & POLLIN))
            return false;
        if (fds[0].revents)
            return true;
    }
}
} // namespace

LoopbackServer::LoopbackServer(Script script) : m_default(std::move(script))
{
    m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = Loopback(0);
    bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(m_listen, 16);
    socklen_t length = sizeof address;
    getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    if (pipe(m_wake) != 0)
        m_wake[0] = m_wake[1] = -1;
    m_thread = std::thread([this] { Run(); });
}

LoopbackServer::~LoopbackServer()
{
    m_stopping = true;
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
    }
    m_changed.notify_all();
    const char byte = 0;
    if (write(m_wake[1], &byte, 1) < 0) {
        // The thread also stops at its next accept.
    }
    m_thread.join();
    close(m_listen);
    close(m_wake[0]);
    close(m_wake[1]);
}

LoopbackServer& LoopbackServer::Then(Script script)
{
    std::lock_guard lock(m_mutex);
    m_scripts.push_back(std::move(script));
    return *this;
}

QString LoopbackServer::Url(const QString& path) const
{
    return QString("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

std::vector<std::string> LoopbackServer::Requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void LoopbackServer::Release()
{
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
    }
    m_changed.notify_all();
}

LoopbackServer::Script LoopbackServer::Answer(const std::string& response)
{
    return [response](Connection& c) {
        c.ReadRequest();
        c.Send(response);
    };
}

void LoopbackServer::Run()
{
    while (!m_stopping) {
        if (!WaitReadable(m_listen, m_wake[0]))
            return;
        const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++m_connections;
        Script script;
        {
            std::lock_guard lock(m_mutex);
            if (!m_scripts.empty()) {
                script = std::move(m_scripts.front());
                m_scripts.pop_front();
            } else {
                script = m_default;
            }
        }
        Connection connection(*this, fd);
        if (script)
            script(connection);
        close(fd);
    }
}

std::string LoopbackServer::Connection::ReadRequest()
{
    std::string request;
    std::size_t bodyLength = 0;
    std::size_t headerEnd = std::string::npos;
    char buffer[4096];
    for (;;) {
        if (headerEnd != std::string::npos && request.size() >= headerEnd + bodyLength)
            break;
        if (!WaitReadable(m_fd, m_server.m_wake[0]))
            break;
        const ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        request.append(buffer, static_cast<std::size_t>(n));
        if (headerEnd == std::string::npos) {
            const std::size_t end = request.find("\r\n\r\n");
            if (end != std::string::npos) {
                headerEnd = end + 4;
                const std::size_t field = request.find("Content-Length: ");
                if (field != std::string::npos && field < end)
                    bodyLength = std::stoul(request.substr(field + 16));
            }
        }
    }
    std::lock_guard lock(m_server.m_mutex);
    m_server.m_requests.push_back(request);
    return request;
}

void LoopbackServer::Connection::Send(const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

void LoopbackServer::Connection::WaitForPeerClose()
{
    char buffer[4096];
    while (WaitReadable(m_fd, m_server.m_wake[0]))
        if (recv(m_fd, buffer, sizeof buffer, 0) <= 0)
            return;
}

void LoopbackServer::Connection::WaitForRelease()
{
    std::unique_lock lock(m_server.m_mutex);
    m_server.m_changed.wait(lock, [this] { return m_server.m_released; });
}

void LoopbackServer::Connection::Reset()
{
    const linger hard{1, 0};
    setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
}

int UnusedLoopbackPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd); // bound but never listening: the port refuses until someone else takes it
    return ntohs(address.sin_port);
}

bool ProcessMessagesUntil(const std::function<bool()>& condition, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

void ProcessPostedMessages(int rounds)
{
    for (int i = 0; i < rounds; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QObject sentinel;
        bool arrived = false;
        QMetaObject::invokeMethod(
            &sentinel, [&arrived] { arrived = true; }, Qt::QueuedConnection);
        while (!arrived)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
