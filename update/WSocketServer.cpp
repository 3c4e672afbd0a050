// The server and datagram side of the socket component, which the HTTP client does not use:
// listening, accepting, taking over an accepted handle, datagram sockets and the two ends'
// addresses.
#include "platform/SocketErrors.h"
#include "platform/SocketEvents.h"
#include "update/WSocket.h"
#include "update/WSocketAddress.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>

namespace {
using WSocketAddress::AllEvents;
using WSocketAddress::Dotted;

void SetNonBlocking(int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}
} // namespace

bool TCustomWSocket::OpenDatagram(const sockaddr_in& peer)
{
    sockaddr_in local{};
    local.sin_family = AF_INET;
    if (bind(m_hSocket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        SocketError("bind", WSAErrorFromErrno(errno));
        return false;
    }
    if (peer.sin_addr.s_addr == INADDR_BROADCAST) {
        const int on = 1;
        if (setsockopt(m_hSocket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
            SocketError("setsockopt(SO_BROADCAST)", WSAErrorFromErrno(errno));
            return false;
        }
    }
    return true;
}

void TCustomWSocket::Listen()
{
    if (m_hSocket != -1 && m_state != wsClosed) {
        RaiseException("Listen: Socket already in use");
        return;
    }
    if (!m_portAssigned) {
        RaiseException("Listen: No Port Specified");
        return;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = m_port;
    local.sin_addr.s_addr = m_addrAssigned ? ResolveAddr() : htonl(INADDR_ANY);

    m_hSocket = socket(AF_INET, m_type | SOCK_NONBLOCK | SOCK_CLOEXEC, m_proto);
    if (m_hSocket < 0) {
        m_hSocket = -1;
        SocketError("Listen (socket)", WSAErrorFromErrno(errno));
        return;
    }
    ChangeState(wsOpened);
    const int on = 1;
    setsockopt(m_hSocket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(m_hSocket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        SocketError("bind", WSAErrorFromErrno(errno));
        return;
    }
    ChangeState(wsBound);
    if (m_type == SOCK_DGRAM) {
        m_events->Select(m_hSocket, AllEvents);
        return;
    }
    if (listen(m_hSocket, 5) != 0) {
        SocketError("listen", WSAErrorFromErrno(errno));
        return;
    }
    m_events->Select(m_hSocket, AllEvents);
    ChangeState(wsListening);
}

int TCustomWSocket::Accept()
{
    if (m_state != wsListening) {
        RaiseException("not a listening socket");
        return -1;
    }
    const int handle = accept4(m_hSocket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    m_events->ReadDone();
    if (handle < 0) {
        m_lastError = WSAErrorFromErrno(errno);
        if (m_lastError != WSAEWOULDBLOCK)
            SocketError("accept", m_lastError);
        return -1;
    }
    return handle;
}

void TCustomWSocket::Dup(int handle)
{
    if (handle < 0) {
        SocketError("Dup", WSAENOTSOCK);
        return;
    }
    if (m_hSocket != -1 && m_state != wsClosed)
        InternalClose(true);
    ClearQueue();
    m_hSocket = handle;
    SetNonBlocking(handle);
    int type = SOCK_STREAM;
    socklen_t length = sizeof type;
    getsockopt(handle, SOL_SOCKET, SO_TYPE, &type, &length);
    m_type = type;
    m_events->Select(m_hSocket, AllEvents);
    ChangeState(wsConnected);
}

namespace {
// The local or the peer address of a connected socket; false when there is none.
bool Endpoint(int socket, bool peer, sockaddr_in* address)
{
    *address = sockaddr_in{};
    socklen_t length = sizeof *address;
    auto* raw = reinterpret_cast<sockaddr*>(address);
    return socket != -1 &&
           (peer ? getpeername(socket, raw, &length) : getsockname(socket, raw, &length)) == 0;
}
} // namespace

QString TCustomWSocket::GetPeerAddr() const
{
    sockaddr_in address;
    return Endpoint(m_hSocket, true, &address) ? Dotted(address.sin_addr) : "error";
}

QString TCustomWSocket::GetPeerPort() const
{
    sockaddr_in address;
    return Endpoint(m_hSocket, true, &address) ? QString::number(ntohs(address.sin_port)) : "error";
}

QString TCustomWSocket::GetXAddr() const
{
    sockaddr_in address;
    return Endpoint(m_hSocket, false, &address) ? Dotted(address.sin_addr) : "error";
}

QString TCustomWSocket::GetXPort() const
{
    sockaddr_in address;
    return Endpoint(m_hSocket, false, &address) ? QString::number(ntohs(address.sin_port))
                                                : "error";
}
