// The asynchronous socket component: one non-blocking TCP (or UDP) socket whose lookups,
// connection, sending, receiving and closing never block the caller. Every network event
// arrives as a message on the component's hidden window and comes out as one of its events,
// on the thread that created it.
//
// Messages of the hidden window: 1025 network event (first parameter the socket handle,
// second MakeSelectLParam(event bits, error)), 1026 name lookup done, 1027 address lookup
// done (first parameter the lookup handle, error in the high word of the second).
// Error words are Windows Sockets numbers (SocketErrorDesc gives their texts); 0 = success.
#pragma once

#include "calc/Errors.h"
#include "platform/NameResolver.h"
#include "update/WSockbuf.h"
#include "update/Wait.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <netinet/in.h>

class THiddenWindow;
class TSocketEvents;
struct TMessage;

enum TSocketState {
    wsInvalidState = 0,
    wsOpened = 1,
    wsBound = 2,
    wsConnecting = 3,
    wsConnected = 4,
    wsAccepting = 5,
    wsListening = 6,
    wsClosed = 7,
};
enum TSocketLingerOnOff { wsLingerOff = 0, wsLingerOn = 1, wsLingerNoSet = 2 };
enum TSocketSendFlags { wsSendNormal = 0, wsSendUrgent = 1 };

// A socket failure raised to the caller; the message carries the error number, the function
// and the error's text.
class ESocketException : public calc::Exception {
public:
    using calc::Exception::Exception;
};

// The private messages of the hidden window.
constexpr int WM_ASYNCSELECT = 1025;
constexpr int WM_ASYNCGETHOSTBYNAME = 1026;
constexpr int WM_ASYNCGETHOSTBYADDR = 1027;

class TCustomWSocket;

// What a socket reports to its one owner (the HTTP client, or a test), on the socket's thread.
// Error words are Windows Sockets numbers, 0 = success. Every method has a default, so an
// owner overrides only what it needs; a socket without a listener gets the defaults too.
class TWSocketListener {
public:
    virtual ~TWSocketListener() = default;
    virtual void OnDnsLookupDone(TCustomWSocket* sender, std::uint16_t error);
    virtual void OnSessionConnected(TCustomWSocket* sender, std::uint16_t error);
    // Data waits; called again while more waits after the handler returns. The default takes
    // up to 1024 bytes and drops them.
    virtual void OnDataAvailable(TCustomWSocket* sender, std::uint16_t error);
    // The send queue has become empty.
    virtual void OnDataSent(TCustomWSocket* sender, std::uint16_t error);
    // Once per connection.
    virtual void OnSessionClosed(TCustomWSocket* sender, std::uint16_t error);
    // A listening socket has a connection waiting for Accept.
    virtual void OnSessionAvailable(TCustomWSocket* sender, std::uint16_t error);
    virtual void OnChangeState(TCustomWSocket* sender, TSocketState oldState,
                               TSocketState newState);
    virtual void OnLineTooLong(TCustomWSocket* sender);
    // A failure the socket would raise as ESocketException(text). Return true to take it
    // instead: nothing is raised then and the operation returns. The default returns false.
    virtual bool OnError(TCustomWSocket* sender, const QString& text);
};

class TCustomWSocket : public QObject {
    Q_OBJECT

public:
    static constexpr int LineLimit = 254; // characters of a line read

    explicit TCustomWSocket(QObject* parent = nullptr);
    ~TCustomWSocket() override;

    // Address, port and protocol: assignable only while closed, back to their defaults after
    // every close. Addr is a dotted IPv4 address or a host name (resolved, blocking, by
    // Connect); Port a number or a service name; Proto "tcp", "udp" or a protocol number.
    QString Addr() const { return m_addrText; }
    void SetAddr(const QString& addr);
    QString Port() const { return m_portText; }
    void SetPort(const QString& port);
    QString Proto() const { return m_protoText; }
    void SetProto(const QString& proto);

    // The first address of the last lookup (dotted), or the name of the last reverse lookup.
    QString DnsResult() const { return m_dnsResult; }
    const QStringList& DnsResultList() const { return m_dnsResultList; }
    TSocketState State() const { return m_state; }
    qint64 ReadCount() const { return m_readCount; }
    // Bytes waiting in the system's receive buffer, asked each time.
    int RcvdCount() const;
    int LastError() const { return m_lastError; }
    int HSocket() const { return m_hSocket; }

    bool MultiThreaded() const { return m_multiThreaded; }
    void SetMultiThreaded(bool on) { m_multiThreaded = on; }
    TWait* WaitCtrl() const { return m_waitCtrl; }
    void SetWaitCtrl(TWait* wait) { m_waitCtrl = wait; }
    int FlushTimeout() const { return m_flushTimeout; } // seconds
    void SetFlushTimeout(int seconds) { m_flushTimeout = seconds; }
    TSocketSendFlags SendFlags() const { return m_sendFlags; }
    // Only wsSendNormal and wsSendUrgent are accepted ("Invalid SendFlags").
    void SetSendFlags(int flags);
    TSocketLingerOnOff LingerOnOff() const { return m_lingerOnOff; }
    void SetLingerOnOff(TSocketLingerOnOff linger) { m_lingerOnOff = linger; }
    int LingerTimeout() const { return m_lingerTimeout; } // seconds
    void SetLingerTimeout(int seconds) { m_lingerTimeout = seconds; }

    // The one owner that hears the socket's events (not owned; null = the defaults).
    TWSocketListener* Listener() const { return m_listener; }
    void SetListener(TWSocketListener* listener) { m_listener = listener; }

    // Who answers this socket's name lookups: the system resolver unless a test gives its
    // own. It applies from the next lookup on.
    void SetNameResolver(TNameResolver::Function resolver) { m_resolver = std::move(resolver); }

    // Looks `hostName` up; a dotted address completes inside the call. The result is in
    // DnsResult/DnsResultList when OnDnsLookupDone reports 0.
    void DnsLookup(const QString& hostName);
    // Looks the name of a dotted address up; the name is in DnsResult.
    void ReverseDnsLookup(const QString& address);
    // Cancels a pending lookup, which then reports 10004 (interrupted).
    void CancelDnsLookup();

    // Opens the socket and starts connecting; the outcome is OnSessionConnected. A datagram
    // socket is connected at once.
    void Connect();
    // Binds to Addr (any address when empty) and Port and listens; OnSessionAvailable reports
    // each waiting connection, to be taken with Accept.
    void Listen();
    // Takes a waiting connection; returns its handle (for Dup) or -1.
    int Accept();
    // Takes over a connected handle (from Accept): the socket is then connected.
    void Dup(int handle);

    // Queues `length` bytes and starts sending; returns `length`, or -1 when not connected.
    int Send(const void* data, int length);
    int SendStr(const QString& text); // UTF-8
    // Reads what is there, up to `size` bytes: the count, 0 when the peer has closed, -1 on
    // error or when nothing waits (LastError tells which).
    int Receive(void* buffer, int size);
    // Everything that waits now.
    QByteArray ReceiveStr();

    // Closes (both directions shut down first); OnSessionClosed once per connection.
    void Close();
    // Closes at once: cancels the lookup, drops the queue, no lingering, no shutdown.
    void Abort();
    // Shuts down receiving (0), sending (1) or both (2).
    void Shutdown(int how);
    // While paused, network events are ignored.
    void Pause();
    void Resume();

    QString GetPeerAddr() const;
    QString GetPeerPort() const;
    QString GetXAddr() const; // the local address
    QString GetXPort() const; // the local port

    // Blocking waits: they process messages while they wait (with MultiThreaded) or run the
    // WaitCtrl countdown. True when the condition was met within `seconds`.
    bool WaitForState(TSocketState state, int seconds);
    // Reads one line (CR dropped, at most LineLimit characters) within `seconds`.
    bool ReadLine(int seconds, QString& line);
    // Sends the queue until it is empty, the socket closes or FlushTimeout runs out.
    void Flush();
    bool AllSent() const { return m_allSent; }
    // Number of buffers in the send queue.
    int QueueCount() const { return static_cast<int>(m_queue.size()); }

protected:
    void ChangeState(TSocketState newState);
    // Reports a system error `error` (Windows Sockets number) of `function` through
    // RaiseException; 10054 and 10057 also close the handle.
    void SocketError(const QString& function, int error);
    // The listener's OnError, or ESocketException(text) when that does not take it.
    void RaiseException(const QString& text);

private:
    TWSocketListener& Events() const;
    // The datagram side of Connect: binds to any local address and allows broadcast.
    bool OpenDatagram(const sockaddr_in& peer);
    void HandleMessage(TMessage& message);
    void NetworkEvent(unsigned event, int error);
    void AsyncReceive(int error);
    void TryToSend();
    void InternalClose(bool shutdownFirst);
    void CloseHandle();
    void RestoreDefaults();
    void ClearQueue();
    void ContinueLineRead();
    bool WaitUntil(int seconds, const std::function<bool()>& done);
    in_addr_t ResolveAddr();

    THiddenWindow* m_window;
    TSocketEvents* m_events;
    TWSocketListener* m_listener = nullptr;
    TNameResolver::Function m_resolver;
    int m_hSocket = -1;
    TSocketState m_state = wsClosed;
    std::uintptr_t m_dnsHandle = 0;
    bool m_dnsByAddress = false;
    QString m_dnsResult;
    QStringList m_dnsResultList;

    QString m_addrText;
    QString m_portText;
    QString m_protoText;
    in_port_t m_port = 0; // network order
    bool m_portAssigned = false;
    bool m_addrAssigned = false;
    bool m_protoAssigned = false;
    int m_proto = IPPROTO_TCP;
    int m_type = 1; // SOCK_STREAM

    std::deque<std::unique_ptr<TBuffer>> m_queue;
    int m_bufSize = TBuffer::DefaultSize;
    bool m_allSent = true;
    bool m_paused = false;
    bool m_closeReported = false;
    bool m_destroying = false;
    qint64 m_readCount = 0;
    int m_lastError = 0;

    bool m_multiThreaded = false;
    QPointer<TWait> m_waitCtrl;
    int m_flushTimeout = 60;
    TSocketSendFlags m_sendFlags = wsSendNormal;
    TSocketLingerOnOff m_lingerOnOff = wsLingerOn;
    int m_lingerTimeout = 0;

    bool m_lineReading = false;
    bool m_lineDone = false;
    QByteArray m_line;
};

// The component as the program uses it.
class TWSocket : public TCustomWSocket {
    Q_OBJECT

public:
    using TCustomWSocket::TCustomWSocket;
};
