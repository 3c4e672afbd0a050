// The event-driven HTTP/1.0 client. A request starts with one call that returns at once; the
// lookup, the connection, the request, the response header and the body streamed into
// ResponseStream all happen later, driven by the socket's events, and OnRequestDone ends it
// (always two posted messages after the connection closed, with the client ready again).
//
// Messages of the client's hidden window: 1025 raise OnRequestDone, 1026 become ready,
// 1027 start again after a redirection.
//
// Failures of the request itself end it with StatusCode 404, a ReasonPhrase and a non-zero
// RequestDoneError (THttpError, or a socket error number of 10000 and up): hostile or broken
// answers (an endless header line, a header beyond 1 MiB or 1000 lines, conflicting lengths,
// a chunked body, a redirection to another scheme) and control characters in an address or a
// value. Only the caller's own faults (busy, nothing to post) raise EHttpException.
//
// Only http:// addresses (and addresses without a scheme) are requested. Redirections are
// followed to http:// addresses and to references without a scheme, which are resolved against
// the current address as RFC 3986 does.
//
// Basic credentials (Username/Password, or a user and password written in the URL, which take
// their place for that request only) are sent only to the server and port of the URL the
// request started with; a redirection to another server or port drops them for the rest of
// the request. Each request starts its authentication afresh. A body of announced length ends
// as soon as that many bytes have arrived; a HEAD answer ends with its header.
#pragma once

#include "calc/Errors.h"
#include "update/HttpError.h"
#include "update/HttpResponseParser.h"
#include "update/HttpText.h"
#include "update/WSocket.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <cstdint>
#include <memory>

class QBuffer;
class QIODevice;
class QTimer;
class THiddenWindow;
struct TMessage;

enum THttpState {
    hcReady = 0,
    hcStarting = 1,
    hcConnected = 2,
    hcResolving = 3,
    hcResolved = 4,
    hcAwaitingHeader = 5,
    hcReceivingBody = 6,
    hcAborting = 7,
};
enum THttpRequest { rtGet = 1, rtPost = 2, rtHead = 3 };

// A fault of the HTTP client; ErrorCode() is the THttpError number.
class EHttpException : public calc::Exception {
public:
    EHttpException(const std::string& message, int code)
        : calc::Exception(message), m_errorCode(code)
    {
    }
    int ErrorCode() const { return m_errorCode; }

private:
    int m_errorCode;
};

class THttpCli;

// What the client reports to its one owner (the update component, a test, a benchmark), in the
// order the request runs. Every method has an empty default, so an owner overrides only what it
// needs.
class THttpCliListener {
public:
    virtual ~THttpCliListener() = default;
    virtual void OnTrace(THttpCli* sender); // never raised
    // The connection to the server (or proxy) is up.
    virtual void OnSessionConnected(THttpCli* sender);
    // After each header line of the answer.
    virtual void OnHeaderData(THttpCli* sender);
    // A request line about to be queued; the handler may change it.
    virtual void OnCommand(THttpCli* sender, QString& line);
    virtual void OnHeaderBegin(THttpCli* sender);
    virtual void OnHeaderEnd(THttpCli* sender);
    // Around composing the request.
    virtual void OnRequestHeaderBegin(THttpCli* sender);
    virtual void OnRequestHeaderEnd(THttpCli* sender);
    // The first body block; each body block (`length` bytes at `buffer`, valid during the
    // call); the end of a document that had at least one block.
    virtual void OnDocBegin(THttpCli* sender);
    virtual void OnDocData(THttpCli* sender, const char* buffer, int length);
    virtual void OnDocEnd(THttpCli* sender);
    // The body of a POST: its start, each block sent, its end.
    virtual void OnSendBegin(THttpCli* sender);
    virtual void OnSendData(THttpCli* sender, const char* buffer, int length);
    virtual void OnSendEnd(THttpCli* sender);
    // Every change of State().
    virtual void OnStateChange(THttpCli* sender);
    // The request is over and the client ready again; `error` is RequestDoneError (0 = no
    // failure of the client's own). A new request may start here.
    virtual void OnRequestDone(THttpCli* sender, THttpRequest rqType, std::uint16_t error);
    // A redirection is about to be followed.
    virtual void OnLocationChange(THttpCli* sender);
};

class THttpCli : public QObject, private THttpResponseParser::Listener, private TWSocketListener {
    Q_OBJECT

public:
    // Redirections followed in a row before the request fails.
    static constexpr int MaxRedirections = 20;
    // Milliseconds the server may stay silent (no lookup answer, no connection, no data)
    // before the request fails; the caller waits in a modal window meanwhile.
    static constexpr int DefaultIdleTimeout = 30000;
    // Bytes of a POST body sent per block.
    static constexpr int SendBlockSize = 8193;
    // Largest body block read at once (header lines go through the 8192-byte buffer).
    static constexpr int BodyReadSize = 256 * 1024;

    explicit THttpCli(QObject* parent = nullptr);
    ~THttpCli() override;

    QString URL() const { return m_url; }
    void SetURL(const QString& url) { m_url = url; }
    // Proxy host, possibly written as an address with a port; empty = direct.
    QString Proxy() const { return m_proxy; }
    void SetProxy(const QString& proxy) { m_proxy = proxy; }
    QString ProxyPort() const { return m_proxyPort; }
    void SetProxyPort(const QString& port) { m_proxyPort = port; }
    QString Sender() const { return m_sender; }
    void SetSender(const QString& from) { m_sender = from; }
    QString Agent() const { return m_agent; }
    void SetAgent(const QString& agent) { m_agent = agent; }
    QString Reference() const { return m_reference; }
    void SetReference(const QString& referer) { m_reference = referer; }
    QString Username() const { return m_username; }
    void SetUsername(const QString& user) { m_username = user; }
    QString Password() const { return m_password; }
    void SetPassword(const QString& password) { m_password = password; }
    QString ProxyUsername() const { return m_proxyUsername; }
    void SetProxyUsername(const QString& user) { m_proxyUsername = user; }
    QString ProxyPassword() const { return m_proxyPassword; }
    void SetProxyPassword(const QString& password) { m_proxyPassword = password; }
    bool NoCache() const { return m_noCache; }
    void SetNoCache(bool on) { m_noCache = on; }
    // Sent as If-Modified-Since, as stored (no time-zone change); invalid = not sent.
    QDateTime ModifiedSince() const { return m_modifiedSince; }
    void SetModifiedSince(const QDateTime& when) { m_modifiedSince = when; }
    QString Cookie() const { return m_cookie; }
    void SetCookie(const QString& cookie) { m_cookie = cookie; }
    QString ContentTypePost() const { return m_contentTypePost; }
    void SetContentTypePost(const QString& type) { m_contentTypePost = type; }
    bool MultiThreaded() const { return m_multiThreaded; }
    void SetMultiThreaded(bool on);
    int IdleTimeout() const { return m_idleTimeout; } // milliseconds, 0 = no bound
    // Also applies to the wait under way, counted afresh from now.
    void SetIdleTimeout(int milliseconds);

    // The one owner that hears the client's events (not owned; null = nobody).
    THttpCliListener* Listener() const { return m_listener; }
    void SetListener(THttpCliListener* listener) { m_listener = listener; }

    // Results of the current or last request.
    int StatusCode() const { return m_statusCode; }
    QString ReasonPhrase() const { return m_reasonPhrase; }
    // The answer (the last one, after redirections) began with something other than an
    // HTTP/1.x status line; the client then read it as header lines as far as it could.
    bool StatusLineMissing() const { return m_parser->StatusLineMissing(); }
    // Bytes announced by the Content-Length field of the answer; -1 (unknown) after
    // construction and from the start of each request (and each redirection's connection)
    // until such a field arrives. Users show -1 as unknown, never as a number.
    qint64 ContentLength() const { return m_contentLength; }
    QString ContentType() const { return m_contentType; } // lower-cased
    qint64 BytesReceived() const { return m_bytesReceived; }
    qint64 BytesSent() const { return m_bytesSent; }
    const QStringList& ReceivedHeader() const { return m_receivedHeader; }
    const QStringList& AuthChallenges() const { return m_authChallenges; }
    QString DocumentName() const { return m_documentName; }
    std::uint16_t RequestDoneError() const { return m_requestDoneError; }
    THttpState State() const { return m_state; }
    // Redirections followed by the current request.
    int RedirectionCount() const { return m_redirections; }
    // Where the request goes: the server or the proxy, and what follows the method.
    QString ConnectHost() const { return m_connectHost; }
    QString ConnectPort() const { return m_connectPort; }
    QString RequestPath() const { return m_requestPath; }
    QString TargetHostName() const { return m_targetHostName; }

    // Not owned; the body of the response is written to it.
    QIODevice* ResponseStream() const { return m_responseStream; }
    void SetResponseStream(QIODevice* stream) { m_responseStream = stream; }
    // Not owned; the body of a POST.
    QIODevice* SendStream() const { return m_sendStream; }
    void SetSendStream(QIODevice* stream) { m_sendStream = stream; }
    // Who answers the client's name lookups (its socket's): the system resolver unless a test
    // gives its own.
    void SetNameResolver(TNameResolver::Function resolver)
    {
        m_socket->SetNameResolver(std::move(resolver));
    }

    TWSocket* CtrlSocket() const { return m_socket; }

    // Start a request of URL; they raise EHttpException "HTTP component is busy" (code 1)
    // unless the client is ready, and a POST without SendStream "HTTP component has nothing
    // to post" (code 2).
    void GetAsync();
    void PostAsync();
    void HeadAsync();
    // Stops the request under way: it ends with StatusCode 404, "Connection aborted on
    // request" and RequestDoneError 3.
    void Abort();

private:
    void DoRequestAsync(THttpRequest rqType);
    void StartLookup();
    // Sets RequestPath, ConnectHost and ConnectPort for the target address.
    void ApplyTarget();
    void SetState(THttpState state);
    void HandleMessage(TMessage& message);
    void Close();
    void EndRequest();
    void Fail(THttpError error);
    void Fail(THttpError error, const QString& reason);
    void RestartIdleTimer();
    void IdleTimeoutElapsed();
    void SendRequest(const QString& method);
    void SendCommand(const QString& line);
    void SendNextBlock();

    THttpCliListener& Events() const;

    // The socket's events.
    void OnDnsLookupDone(TCustomWSocket* sender, std::uint16_t error) override;
    void OnSessionConnected(TCustomWSocket* sender, std::uint16_t error) override;
    void OnDataAvailable(TCustomWSocket* sender, std::uint16_t error) override;
    void OnDataSent(TCustomWSocket* sender, std::uint16_t error) override;
    void OnSessionClosed(TCustomWSocket* sender, std::uint16_t error) override;
    // The close of a connection that answered with a redirection: the request goes on.
    void LocationSessionClosed();

    // The receive side.
    void HeaderBegin() override;
    void HeaderLine(std::string_view line) override;
    void Location(std::string_view value) override;
    void HeaderEnd() override;
    void Body(const char* data, std::size_t length) override;
    void BodyComplete() override;
    void Failed(THttpError error) override;

    QString m_url;
    QString m_proxy;
    QString m_proxyPort = "80";
    QString m_sender;
    QString m_agent;
    QString m_reference;
    QString m_username;
    QString m_password;
    QString m_proxyUsername;
    QString m_proxyPassword;
    bool m_noCache = false;
    QDateTime m_modifiedSince;
    QString m_cookie;
    QString m_contentTypePost = "application/x-www-form-urlencoded";
    bool m_multiThreaded = false;
    int m_idleTimeout = DefaultIdleTimeout;

    int m_statusCode = 0;
    QString m_reasonPhrase;
    qint64 m_contentLength = -1;
    QString m_contentType;
    qint64 m_bytesReceived = 0;
    qint64 m_bytesSent = 0;
    QStringList m_receivedHeader;
    QStringList m_authChallenges;
    QString m_documentName;
    std::uint16_t m_requestDoneError = 0;
    QPointer<QIODevice> m_responseStream;
    QPointer<QIODevice> m_sendStream;

    THttpState m_state = hcReady;
    THttpRequest m_requestType = rtGet;
    QString m_connectHost;
    QString m_connectPort;
    QString m_requestPath;
    QString m_targetHostName;
    // The address being requested (always http): port (empty = 80) and path with query.
    QString m_targetPort;
    QString m_targetPath;
    // The credentials of this request and the server and port they belong to.
    QString m_authUser;
    QString m_authPassword;
    QString m_authHost;
    QString m_authPort;
    THttpTarget m_nextTarget; // where the Location of this answer leads
    int m_bodyBlocks = 0;
    bool m_complete = false; // every byte of the document has arrived
    bool m_connected = false;
    bool m_sending = false;
    bool m_endPosted = false; // the end of this request is under way
    int m_redirections = 0;

    bool m_followingLocation = false; // the connection closes for a redirection
    THttpCliListener* m_listener = nullptr;

    std::unique_ptr<THttpResponseParser> m_parser;
    QBuffer* m_request; // the request being composed
    TWSocket* m_socket;
    THiddenWindow* m_window;
    QTimer* m_idleTimer;
    std::unique_ptr<char[]> m_bodyBuffer;
};
