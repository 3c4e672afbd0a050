#include "update/WSocket.h"

#include "platform/Application.h"
#include "platform/HiddenWindow.h"
#include "platform/NameResolver.h"
#include "platform/SocketErrors.h"
#include "platform/SocketEvents.h"
#include "update/Wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <netdb.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr unsigned allEvents = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

// Dotted IPv4 in the forms the classic address parser accepts ("127.0.0.1", "127.1",
// "127.000.000.001").
bool IsDottedAddress(const QString& text, in_addr& address)
{
    if (text.isEmpty() || !text[0].isDigit())
        return false;
    return inet_aton(text.toLatin1().constData(), &address) != 0;
}

QString Dotted(const in_addr& address)
{
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address, text, sizeof text);
    return QString::fromLatin1(text);
}

// Errors a non-blocking connect reports later through the connect event rather than at once.
bool IsDeferredConnectError(int error)
{
    return error == ECONNREFUSED || error == ENETUNREACH || error == EHOSTUNREACH ||
           error == ETIMEDOUT;
}

void SetNonBlocking(int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}
} // namespace

QString SocketErrorDesc(int error)
{
    static const std::map<int, const char*> texts = {
        {0, "No Error"},
        {10004, "Interrupted system call"},
        {10009, "Bad file number"},
        {10013, "Permission denied"},
        {10014, "Bad address"},
        {10022, "Invalid argument"},
        {10024, "Too many open files"},
        {10035, "Operation would block"},
        {10036, "Operation now in progress"},
        {10037, "Operation already in progress"},
        {10038, "Socket operation on non-socket"},
        {10039, "Destination address required"},
        {10040, "Message too long"},
        {10041, "Protocol wrong type for socket"},
        {10042, "Protocol not available"},
        {10043, "Protocol not supported"},
        {10044, "Socket type not supported"},
        {10045, "Operation not supported on socket"},
        {10046, "Protocol family not supported"},
        {10047, "Address family not supported by protocol family"},
        {10048, "Address already in use"},
        {10049, "Address not available"},
        {10050, "Network is down"},
        {10051, "Network is unreachable"},
        {10052, "Network dropped connection on reset"},
        {10053, "Connection aborted"},
        {10054, "Connection reset by peer"},
        {10055, "No buffer space available"},
        {10056, "Socket is already connected"},
        {10057, "Socket is not connected"},
        {10058, "Can't send after socket shutdown"},
        {10059, "Too many references: can't splice"},
        {10060, "Connection timed out"},
        {10061, "Connection refused"},
        {10062, "Too many levels of symbolic links"},
        {10063, "File name too long"},
        {10064, "Host is down"},
        {10065, "No route to host"},
        {10066, "Directory not empty"},
        {10067, "Too many processes"},
        {10068, "Too many users"},
        {10069, "Disc quota exceeded"},
        {10070, "Stale NFS file handle"},
        {10071, "Too many levels of remote in path"},
        {10091, "Network sub-system is unusable"},
        {10092, "WinSock DLL cannot support this application"},
        {10093, "WinSock not initialized"},
        {11001, "Host not found"},
        {11002, "Non-authoritative host not found"},
        {11003, "Non-recoverable error"},
        {11004, "No Data"},
    };
    const auto it = texts.find(error);
    return QString::fromLatin1(it == texts.end() ? "Not a WinSock error" : it->second);
}

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
    if (OnChangeState)
        OnChangeState(this, oldState, newState);
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
        if (OnDnsLookupDone)
            OnDnsLookupDone(this, WSAEINVAL);
        return;
    }
    CancelDnsLookup();
    m_dnsResult.clear();
    m_dnsResultList.clear();

    in_addr address;
    if (IsDottedAddress(hostName, address)) {
        m_dnsResult = Dotted(address);
        m_dnsResultList << m_dnsResult;
        if (OnDnsLookupDone)
            OnDnsLookupDone(this, 0);
        return;
    }
    m_dnsByAddress = false;
    m_dnsHandle = TNameResolver::LookupName(m_window, WM_ASYNCGETHOSTBYNAME, hostName);
}

void TCustomWSocket::ReverseDnsLookup(const QString& address)
{
    in_addr parsed;
    if (!IsDottedAddress(address, parsed)) {
        RaiseException("Reverse DNS lookup: invalid IP address.");
        if (OnDnsLookupDone)
            OnDnsLookupDone(this, WSAEINVAL);
        return;
    }
    CancelDnsLookup();
    m_dnsResult.clear();
    m_dnsResultList.clear();
    m_dnsByAddress = true;
    m_dnsHandle = TNameResolver::LookupAddress(m_window, WM_ASYNCGETHOSTBYADDR, address);
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
    if (!m_destroying && OnDnsLookupDone)
        OnDnsLookupDone(this, WSAEINTR);
}

in_addr_t TCustomWSocket::ResolveAddr()
{
    in_addr address;
    if (IsDottedAddress(m_addrText, address))
        return address.s_addr;
    QStringList addresses;
    if (TNameResolver::LookupNow(m_addrText, addresses) != 0 ||
        !IsDottedAddress(addresses.value(0), address))
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
    } else {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        if (bind(m_hSocket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            SocketError("bind", WSAErrorFromErrno(errno));
            return;
        }
        if (peer.sin_addr.s_addr == INADDR_BROADCAST) {
            const int on = 1;
            if (setsockopt(m_hSocket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
                SocketError("setsockopt(SO_BROADCAST)", WSAErrorFromErrno(errno));
                return;
            }
        }
    }

    m_events->Select(m_hSocket, allEvents);

    const int rc = ::connect(m_hSocket, reinterpret_cast<sockaddr*>(&peer), sizeof peer);
    if (m_type != SOCK_STREAM) {
        // A datagram socket only records its peer; it is usable at once.
        if (rc != 0) {
            SocketError("Connect", WSAErrorFromErrno(errno));
            return;
        }
        ChangeState(wsConnected);
        if (OnSessionConnected)
            OnSessionConnected(this, 0);
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
        m_events->Select(m_hSocket, allEvents);
        return;
    }
    if (listen(m_hSocket, 5) != 0) {
        SocketError("listen", WSAErrorFromErrno(errno));
        return;
    }
    m_events->Select(m_hSocket, allEvents);
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
    m_events->Select(m_hSocket, allEvents);
    ChangeState(wsConnected);
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
                    if (OnSessionClosed)
                        OnSessionClosed(this, static_cast<std::uint16_t>(error));
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
        if (OnDnsLookupDone)
            OnDnsLookupDone(this, static_cast<std::uint16_t>(error));
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
        if (OnSessionConnected)
            OnSessionConnected(this, word);
        if (error != 0 && m_state != wsClosed)
            Close();
    }
    if ((event & FD_READ) && m_hSocket != -1)
        AsyncReceive(error);
    if ((event & FD_WRITE) && m_hSocket != -1) {
        TryToSend();
        if (m_allSent && OnDataSent)
            OnDataSent(this, word);
    }
    if ((event & FD_ACCEPT) && OnSessionAvailable)
        OnSessionAvailable(this, word);
    if ((event & FD_CLOSE) && m_state != wsConnecting && m_hSocket != -1) {
        AsyncReceive(0);
        m_lineReading = false;
        // A handler that closed the socket while taking the last data has had its close.
        if (m_hSocket == -1)
            return;
        if (OnSessionClosed && !m_closeReported) {
            m_closeReported = true;
            OnSessionClosed(this, word);
        }
        if (m_state != wsClosed)
            Close();
    }
}

void TCustomWSocket::AsyncReceive(int error)
{
    for (;;) {
        m_lastError = 0;
        if (m_lineReading) {
            ContinueLineRead();
        } else if (OnDataAvailable) {
            OnDataAvailable(this, static_cast<std::uint16_t>(error));
        } else {
            char discard[1024];
            if (Receive(discard, sizeof discard) < 0 && m_lastError == WSAEWOULDBLOCK)
                return;
        }
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
                if (OnLineTooLong)
                    OnLineTooLong(this);
            }
        }
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
    if (!m_destroying && !m_closeReported && OnSessionClosed) {
        m_closeReported = true;
        OnSessionClosed(this, 0);
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
    if (OnError)
        OnError(this);
    else
        throw ESocketException(text.toStdString());
}
