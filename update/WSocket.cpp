#include "update/WSocket.h"

#include "platform/HiddenWindow.h"
#include "platform/NameResolver.h"
#include "platform/SocketErrors.h"
#include "platform/SocketEvents.h"
#include "update/WSocketAddress.h"

#include <cerrno>
#include <netdb.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
using WSocketAddress::AllEvents;
using WSocketAddress::Dotted;
using WSocketAddress::IsDotted;

// Errors a non-blocking connect reports later through the connect event rather than at once.
bool IsDeferredConnectError(int error)
{
    return error == ECONNREFUSED || error == ENETUNREACH || error == EHOSTUNREACH ||
           error == ETIMEDOUT;
}
} // namespace

TCustomWSocket::TCustomWSocket(QObject* parent)
    : QObject(parent), m_window(new THiddenWindow([this](TMessage& m) { HandleMessage(m); }, this)),
      m_events(new TSocketEvents(m_window, WM_ASYNCSELECT, this))
{
    m_window->setObjectName("XSocketWindowClass");
    RestoreDefaults();
}

TCustomWSocket::~TCustomWSocket()
{
    m_destroying = true;
    try {
        CancelDnsLookup();
    } catch (...) {
        // A lookup that cannot be cancelled is dropped with the window anyway.
    }
    if (m_hSocket != -1 && m_state != wsClosed) {
        try {
            Close();
        } catch (...) {
        }
    }
    CloseHandle();
}

void TCustomWSocket::RestoreDefaults()
{
    m_port = 0;
    m_portAssigned = false;
    m_portText.clear();
    m_addrAssigned = false;
    m_addrText.clear();
    m_proto = IPPROTO_TCP;
    m_protoText = "tcp";
    m_protoAssigned = true;
    m_type = SOCK_STREAM;
    m_lingerOnOff = wsLingerOn;
    m_lingerTimeout = 0;
    m_hSocket = -1;
    if (m_state != wsClosed)
        ChangeState(wsClosed);
    m_allSent = true;
    m_paused = false;
    m_closeReported = false;
    m_readCount = 0;
    m_flushTimeout = 60;
}

void TCustomWSocket::ChangeState(TSocketState newState)
{
    const TSocketState oldState = m_state;
    if (oldState == newState)
        return;
    m_state = newState;
    Events().OnChangeState(this, oldState, newState);
}

int TCustomWSocket::RcvdCount() const
{
    if (m_hSocket == -1)
        return 0;
    int count = 0;
    return ioctl(m_hSocket, FIONREAD, &count) == 0 ? count : 0;
}

void TCustomWSocket::SetSendFlags(int flags)
{
    if (flags != wsSendNormal && flags != wsSendUrgent) {
        RaiseException("Invalid SendFlags");
        return;
    }
    m_sendFlags = static_cast<TSocketSendFlags>(flags);
}

void TCustomWSocket::SetAddr(const QString& addr)
{
    if (m_state != wsClosed) {
        RaiseException("Cannot change Addr if not closed");
        return;
    }
    m_addrText = addr.trimmed();
    m_addrAssigned = !m_addrText.isEmpty();
}

void TCustomWSocket::SetPort(const QString& port)
{
    if (m_state != wsClosed) {
        RaiseException("Cannot change Port if not closed");
        return;
    }
    const QString text = port.trimmed();
    m_portText = text;
    m_portAssigned = false;
    if (text.isEmpty())
        return;
    if (text[0].isDigit()) {
        qsizetype digits = 0;
        while (digits < text.size() && text[digits].isDigit())
            ++digits;
        m_port = htons(static_cast<std::uint16_t>(text.left(digits).toUInt()));
        m_portAssigned = true;
        return;
    }
    const servent* service =
        getservbyname(text.toLatin1().constData(), m_proto == IPPROTO_UDP ? "udp" : "tcp");
    if (!service) {
        SocketError("SetPort: Cannot convert port '" + port + "'", WSANO_DATA);
        return;
    }
    m_port = static_cast<in_port_t>(service->s_port);
    m_portAssigned = true;
}

void TCustomWSocket::SetProto(const QString& proto)
{
    if (m_state != wsClosed) {
        RaiseException("Cannot change Proto if not closed");
        return;
    }
    const QString text = proto.trimmed();
    m_protoText = text;
    m_protoAssigned = false;
    if (text.isEmpty())
        return;
    if (text[0].isDigit()) {
        m_proto = text.toInt();
    } else {
        const protoent* entry = getprotobyname(text.toLatin1().constData());
        if (!entry) {
            // The protocol database may be missing on a minimal system; the two names the
            // component is used with are known without it.
            if (text.compare("tcp", Qt::CaseInsensitive) == 0)
                m_proto = IPPROTO_TCP;
            else if (text.compare("udp", Qt::CaseInsensitive) == 0)
                m_proto = IPPROTO_UDP;
            else {
                SocketError("SetProto: Cannot convert protocol '" + proto + "'", WSANO_DATA);
                return;
            }
        } else {
            m_proto = entry->p_proto;
        }
    }
    m_type = m_proto == IPPROTO_UDP ? SOCK_DGRAM : SOCK_STREAM;
    m_protoAssigned = true;
}

void TCustomWSocket::DnsLookup(const QString& hostName)
{
    if (hostName.isEmpty()) {
        RaiseException("DNS lookup: invalid host name.");
        Events().OnDnsLookupDone(this, WSAEINVAL);
        return;
    }
    CancelDnsLookup();
    m_dnsResult.clear();
    m_dnsResultList.clear();

    in_addr address;
    if (IsDotted(hostName, address)) {
        m_dnsResult = Dotted(address);
        m_dnsResultList << m_dnsResult;
        Events().OnDnsLookupDone(this, 0);
        return;
    }
    m_dnsByAddress = false;
    m_dnsHandle = TNameResolver::LookupName(m_window, WM_ASYNCGETHOSTBYNAME, hostName, m_resolver);
}

void TCustomWSocket::ReverseDnsLookup(const QString& address)
{
    in_addr parsed;
    if (!IsDotted(address, parsed)) {
        RaiseException("Reverse DNS lookup: invalid IP address.");
        Events().OnDnsLookupDone(this, WSAEINVAL);
        return;
    }
    CancelDnsLookup();
    m_dnsResult.clear();
    m_dnsResultList.clear();
    m_dnsByAddress = true;
    m_dnsHandle =
        TNameResolver::LookupAddress(m_window, WM_ASYNCGETHOSTBYADDR, address, m_resolver);
}

void TCustomWSocket::CancelDnsLookup()
{
    if (m_dnsHandle == 0)
        return;
    const std::uintptr_t handle = m_dnsHandle;
    m_dnsHandle = 0;
    if (!TNameResolver::Cancel(handle)) {
        SocketError("WSACancelAsyncRequest", WSAEINVAL);
        return;
    }
    if (!m_destroying)
        Events().OnDnsLookupDone(this, WSAEINTR);
}

in_addr_t TCustomWSocket::ResolveAddr()
{
    in_addr address;
    if (IsDotted(m_addrText, address))
        return address.s_addr;
    QStringList addresses;
    if (TNameResolver::LookupNow(m_addrText, addresses, m_resolver) != 0 ||
        !IsDotted(addresses.value(0), address))
        throw ESocketException(
            QString("SetAddr: Cannot convert host address '%1'").arg(m_addrText).toStdString());
    return address.s_addr;
}

void TCustomWSocket::Connect()
{
    if (m_hSocket != -1 && m_state != wsClosed) {
        RaiseException("Connect: Socket already in use");
        return;
    }
    if (!m_portAssigned) {
        RaiseException("Connect: No Port Specified");
        return;
    }
    if (!m_addrAssigned) {
        RaiseException("Connect: No IP Address Specified");
        return;
    }
    if (!m_protoAssigned) {
        RaiseException("Connect: No Protocol Specified");
        return;
    }
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = m_port;
    peer.sin_addr.s_addr = ResolveAddr();

    ClearQueue();
    m_hSocket = socket(AF_INET, m_type | SOCK_NONBLOCK | SOCK_CLOEXEC, m_proto);
    if (m_hSocket < 0) {
        m_hSocket = -1;
        SocketError("Connect (socket)", WSAErrorFromErrno(errno));
        return;
    }
    ChangeState(wsOpened);

    if (m_type == SOCK_STREAM) {
        if (m_lingerOnOff != wsLingerNoSet) {
            const linger value{m_lingerOnOff == wsLingerOn ? 1 : 0, m_lingerTimeout};
            if (setsockopt(m_hSocket, SOL_SOCKET, SO_LINGER, &value, sizeof value) != 0) {
                SocketError("setsockopt(SO_LINGER)", WSAErrorFromErrno(errno));
                return;
            }
        }
        const int on = 1;
        if (setsockopt(m_hSocket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0) {
            SocketError("setsockopt(SO_KEEPALIVE)", WSAErrorFromErrno(errno));
            return;
        }
        if (setsockopt(m_hSocket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
            SocketError("setsockopt(SO_REUSEADDR)", WSAErrorFromErrno(errno));
            return;
        }
    } else if (!OpenDatagram(peer)) {
        return;
    }

    m_events->Select(m_hSocket, AllEvents);

    const int rc = ::connect(m_hSocket, reinterpret_cast<sockaddr*>(&peer), sizeof peer);
    if (m_type != SOCK_STREAM) {
        // A datagram socket only records its peer; it is usable at once.
        if (rc != 0) {
            SocketError("Connect", WSAErrorFromErrno(errno));
            return;
        }
        ChangeState(wsConnected);
        Events().OnSessionConnected(this, 0);
        return;
    }
    if (rc != 0 && errno != EINPROGRESS) {
        const int error = errno;
        if (IsDeferredConnectError(error)) {
            // The outcome of a non-blocking connect is always an event, even when the system
            // knows it at once.
            ChangeState(wsConnecting);
            PostMessage(m_window, WM_ASYNCSELECT, static_cast<std::uintptr_t>(m_hSocket),
                        MakeSelectLParam(FD_CONNECT, WSAErrorFromErrno(error)));
            return;
        }
        m_lastError = WSAErrorFromErrno(error);
        SocketError("Connect", m_lastError);
        return;
    }
    ChangeState(wsConnecting);
    m_events->ConnectStarted();
}

void TCustomWSocket::ClearQueue()
{
    m_queue.clear();
    m_allSent = true;
}

int TCustomWSocket::Send(const void* data, int length)
{
    if (m_state != wsConnected) {
        SocketError("Send", WSAENOTCONN);
        return -1;
    }
    m_allSent = false;
    const char* p = static_cast<const char*>(data);
    int left = std::max(0, length);
    if (m_queue.empty())
        m_queue.push_back(std::make_unique<TBuffer>(m_bufSize));
    while (left > 0) {
        const int n = m_queue.back()->Write(p, left);
        p += n;
        left -= n;
        if (left > 0)
            m_queue.push_back(std::make_unique<TBuffer>(m_bufSize));
    }
    TryToSend();
    if (m_allSent && m_hSocket != -1)
        // OnDataSent follows as a later event, never inside Send.
        PostMessage(m_window, WM_ASYNCSELECT, static_cast<std::uintptr_t>(m_hSocket),
                    MakeSelectLParam(FD_WRITE, 0));
    return length;
}

int TCustomWSocket::SendStr(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return Send(bytes.constData(), static_cast<int>(bytes.size()));
}

void TCustomWSocket::TryToSend()
{
    while (m_hSocket != -1 && !m_queue.empty()) {
        TBuffer& first = *m_queue.front();
        int length = 0;
        const char* data = first.Peek(length);
        if (length > 0) {
            const int flags = MSG_NOSIGNAL | (m_sendFlags == wsSendUrgent ? MSG_OOB : 0);
            const ssize_t n = ::send(m_hSocket, data, static_cast<std::size_t>(length), flags);
            if (n < 0) {
                const int error = WSAErrorFromErrno(errno);
                if (error == WSAEWOULDBLOCK || error == WSAEINTR) {
                    m_events->WriteBlocked();
                    return;
                }
                if (error == WSAEINVAL || error == WSAENOTSOCK || error == WSAECONNRESET ||
                    error == WSAENOTCONN) {
                    m_closeReported = true;
                    InternalClose(false);
                    Events().OnSessionClosed(this, static_cast<std::uint16_t>(error));
                    return;
                }
                SocketError("TryToSend failed", error);
                return;
            }
            first.Remove(static_cast<int>(n));
            if (n < length) {
                // The system took part of it; the next write event goes on.
                m_events->WriteBlocked();
                return;
            }
            if (n == 0)
                return;
        }
        if (m_queue.size() > 1) {
            m_queue.pop_front();
        } else {
            m_allSent = true;
            return;
        }
    }
}

int TCustomWSocket::Receive(void* buffer, int size)
{
    if (m_hSocket == -1) {
        m_lastError = WSAENOTSOCK;
        return -1;
    }
    const ssize_t n = ::recv(m_hSocket, buffer, static_cast<std::size_t>(std::max(0, size)), 0);
    m_events->ReadDone();
    if (n < 0) {
        m_lastError = WSAErrorFromErrno(errno);
        return -1;
    }
    m_readCount += n;
    return static_cast<int>(n);
}

QByteArray TCustomWSocket::ReceiveStr()
{
    QByteArray result;
    int count = RcvdCount();
    while (count > 0) {
        const qsizetype old = result.size();
        result.resize(old + count);
        const int n = Receive(result.data() + old, count);
        result.resize(old + std::max(0, n));
        if (n <= 0)
            break;
        count = RcvdCount();
    }
    return result;
}

void TCustomWSocket::HandleMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_ASYNCSELECT:
        if (m_hSocket == -1 || message.WParam != static_cast<std::uintptr_t>(m_hSocket) || m_paused)
            return;
        NetworkEvent(SelectEvent(message.LParam), SelectError(message.LParam));
        return;
    case WM_ASYNCGETHOSTBYNAME:
    case WM_ASYNCGETHOSTBYADDR: {
        if (message.WParam != m_dnsHandle || m_dnsHandle == 0)
            return; // a cancelled or stale lookup
        m_dnsHandle = 0;
        const int error = SelectError(message.LParam);
        const QStringList result = TNameResolver::TakeResult(message.WParam);
        if (error == 0) {
            m_dnsResultList = result;
            m_dnsResult = result.value(0);
        }
        Events().OnDnsLookupDone(this, static_cast<std::uint16_t>(error));
        return;
    }
    default: return;
    }
}

void TCustomWSocket::NetworkEvent(unsigned event, int error)
{
    const auto word = static_cast<std::uint16_t>(error);
    if (event & FD_CONNECT) {
        ChangeState(wsConnected);
        Events().OnSessionConnected(this, word);
        if (error != 0 && m_state != wsClosed)
            Close();
    }
    if ((event & FD_READ) && m_hSocket != -1)
        AsyncReceive(error);
    if ((event & FD_WRITE) && m_hSocket != -1) {
        TryToSend();
        if (m_allSent)
            Events().OnDataSent(this, word);
    }
    if (event & FD_ACCEPT)
        Events().OnSessionAvailable(this, word);
    if ((event & FD_CLOSE) && m_state != wsConnecting && m_hSocket != -1) {
        AsyncReceive(0);
        m_lineReading = false;
        // A handler that closed the socket while taking the last data has had its close.
        if (m_hSocket == -1)
            return;
        if (!m_closeReported) {
            m_closeReported = true;
            Events().OnSessionClosed(this, word);
        }
        if (m_state != wsClosed)
            Close();
    }
}

void TCustomWSocket::AsyncReceive(int error)
{
    for (;;) {
        m_lastError = 0;
        if (m_lineReading)
            ContinueLineRead();
        else
            Events().OnDataAvailable(this, static_cast<std::uint16_t>(error));
        if (m_lastError != 0 || m_hSocket == -1)
            return;
        int count = 0;
        if (ioctl(m_hSocket, FIONREAD, &count) != 0) {
            m_lastError = WSAErrorFromErrno(errno);
            return;
        }
        if (count == 0)
            return;
    }
}

void TCustomWSocket::Close()
{
    InternalClose(true);
}

void TCustomWSocket::CloseHandle()
{
    m_events->Release();
    if (m_hSocket != -1) {
        ::close(m_hSocket);
        m_hSocket = -1;
    }
}

void TCustomWSocket::InternalClose(bool shutdownFirst)
{
    if (m_hSocket == -1) {
        if (m_state != wsClosed)
            RestoreDefaults();
        return;
    }
    if (m_state == wsClosed)
        return;
    if (shutdownFirst)
        ::shutdown(m_hSocket, SHUT_RDWR);
    m_events->Release();
    const int fd = m_hSocket;
    m_hSocket = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        const int error = WSAErrorFromErrno(errno);
        ChangeState(wsClosed);
        SocketError("Disconnect (closesocket)", error);
        return;
    }
    m_lineReading = false;
    ChangeState(wsClosed);
    if (!m_destroying && !m_closeReported) {
        m_closeReported = true;
        Events().OnSessionClosed(this, 0);
    }
    // The handler may have opened a new connection; its settings are not touched then.
    if (m_hSocket == -1)
        RestoreDefaults();
}

void TCustomWSocket::Abort()
{
    try {
        CancelDnsLookup();
    } catch (...) {
        // An abort goes on whatever the lookup says.
    }
    ClearQueue();
    if (m_hSocket != -1) {
        const linger off{0, 0};
        setsockopt(m_hSocket, SOL_SOCKET, SO_LINGER, &off, sizeof off);
    }
    InternalClose(false);
}

void TCustomWSocket::Shutdown(int how)
{
    if (m_hSocket != -1)
        ::shutdown(m_hSocket, how == 0 ? SHUT_RD : how == 1 ? SHUT_WR : SHUT_RDWR);
}

void TCustomWSocket::Pause()
{
    m_paused = true;
    m_events->SetPaused(true);
}

void TCustomWSocket::Resume()
{
    m_paused = false;
    m_events->SetPaused(false);
}

void TCustomWSocket::SocketError(const QString& function, int error)
{
    const QString text =
        QString("Error %1 in function %2\r\n%3").arg(error).arg(function, SocketErrorDesc(error));
    if (error == WSAECONNRESET || error == WSAENOTCONN) {
        CloseHandle();
        ChangeState(wsClosed);
    }
    m_lastError = error;
    RaiseException(text);
}

void TCustomWSocket::RaiseException(const QString& text)
{
    if (!Events().OnError(this, text))
        throw ESocketException(text.toStdString());
}

TWSocketListener& TCustomWSocket::Events() const
{
    // Stateless: what a socket without an owner does.
    static TWSocketListener defaults;
    return m_listener ? *m_listener : defaults;
}

void TWSocketListener::OnDnsLookupDone(TCustomWSocket*, std::uint16_t) {}
void TWSocketListener::OnSessionConnected(TCustomWSocket*, std::uint16_t) {}
void TWSocketListener::OnDataSent(TCustomWSocket*, std::uint16_t) {}
void TWSocketListener::OnSessionClosed(TCustomWSocket*, std::uint16_t) {}
void TWSocketListener::OnSessionAvailable(TCustomWSocket*, std::uint16_t) {}
void TWSocketListener::OnChangeState(TCustomWSocket*, TSocketState, TSocketState) {}
void TWSocketListener::OnLineTooLong(TCustomWSocket*) {}

void TWSocketListener::OnDataAvailable(TCustomWSocket* sender, std::uint16_t)
{
    // Nobody wants the data: it is taken so that the next event comes.
    char discard[1024];
    sender->Receive(discard, sizeof discard);
}

bool TWSocketListener::OnError(TCustomWSocket*, const QString&)
{
    return false;
}
