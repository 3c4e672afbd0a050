#include "update/HttpProt.h"

#include "platform/Application.h"
#include "platform/HiddenWindow.h"
#include "platform/SocketErrors.h"
#include "update/HttpRequest.h"
#include "update/WSocket.h"

#include <QBuffer>
#include <QTimer>

namespace {
constexpr int WM_HTTP_REQUEST_DONE = 1025;
constexpr int WM_HTTP_SET_READY = 1026;
constexpr int WM_HTTP_LOGIN = 1027;

QString Text(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString Text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

TUrlParts Parse(const QString& address)
{
    return ParseURL(address.toStdString());
}

QString SocketFailure(int error)
{
    return SocketErrorDesc(error) + " (Error #" + QString::number(error) + ")";
}
} // namespace

THttpCli::THttpCli(QObject* parent)
    : QObject(parent), m_parser(std::make_unique<THttpResponseParser>(
                           static_cast<THttpResponseParser::Listener*>(this))),
      m_request(new QBuffer(this)), m_socket(new TWSocket(this)),
      m_window(new THiddenWindow([this](TMessage& m) { HandleMessage(m); }, this)),
      m_idleTimer(new QTimer(this)), m_bodyBuffer(std::make_unique<char[]>(BodyReadSize))
{
    setObjectName("HttpCli");
    m_socket->setObjectName("CtrlSocket");
    m_socket->SetListener(this);
    m_idleTimer->setSingleShot(true);
    connect(m_idleTimer, &QTimer::timeout, this,
            [this] { Application::Guard(this, [this] { IdleTimeoutElapsed(); }); });
}

THttpCli::~THttpCli()
{
    // The socket must not call back into a half-destroyed client.
    m_socket->SetListener(nullptr);
}

THttpCliListener& THttpCli::Events() const
{
    // Stateless: what a client without an owner does.
    static THttpCliListener nobody;
    return m_listener ? *m_listener : nobody;
}

void THttpCli::SetIdleTimeout(int milliseconds)
{
    m_idleTimeout = milliseconds;
    if (!m_idleTimer->isActive())
        return;
    if (milliseconds > 0)
        m_idleTimer->start(milliseconds);
    else
        m_idleTimer->stop();
}

void THttpCli::SetMultiThreaded(bool on)
{
    m_multiThreaded = on;
    m_socket->SetMultiThreaded(on);
}

void THttpCli::GetAsync()
{
    DoRequestAsync(rtGet);
}

void THttpCli::PostAsync()
{
    DoRequestAsync(rtPost);
}

void THttpCli::HeadAsync()
{
    DoRequestAsync(rtHead);
}

void THttpCli::DoRequestAsync(THttpRequest rqType)
{
    if (m_state != hcReady)
        throw EHttpException(to_string(THttpError::Busy), static_cast<int>(THttpError::Busy));
    if (rqType == rtPost && !m_sendStream)
        throw EHttpException(to_string(THttpError::NothingToPost),
                             static_cast<int>(THttpError::NothingToPost));

    m_receivedHeader.clear();
    m_requestType = rqType;
    m_requestDoneError = 0;
    m_endPosted = false;
    m_redirections = 0;
    m_followingLocation = false;
    SetState(hcStarting);

    m_documentName.clear();
    m_statusCode = 0;
    // A length left from the previous response would be taken for this one's.
    m_contentLength = -1;
    m_bytesReceived = 0;
    m_bytesSent = 0;
    m_bodyBlocks = 0;
    m_sending = false;
    m_complete = false;
    m_parser->Reset();

    // Nothing the caller gives may carry a line end (or any control character) into the
    // request: refused before anything is looked up or sent.
    const std::pair<const QString*, const char*> values[] = {
        {&m_url, "URL"},
        {&m_proxy, "proxy"},
        {&m_proxyPort, "proxy port"},
        {&m_username, "user name"},
        {&m_password, "password"},
        {&m_proxyUsername, "proxy user name"},
        {&m_proxyPassword, "proxy password"},
        {&m_sender, "sender"},
        {&m_agent, "agent"},
        {&m_reference, "referer"},
        {&m_cookie, "cookie"},
        {&m_contentTypePost, "content type"},
    };
    for (const auto& [value, name] : values) {
        if (HasControlCharacter(value->toStdString())) {
            Fail(THttpError::ControlCharacter, QString("Control character in the %1").arg(name));
            return;
        }
    }

    const TUrlParts url = Parse(m_url);
    // Any other scheme would be sent in clear text to port 80.
    if (!url.scheme.empty() && Text(url.scheme).toLower() != "http") {
        Fail(THttpError::NotHttp);
        return;
    }
    m_targetHostName = Text(url.host);
    m_targetPort = Text(url.port);
    m_targetPath = url.path.empty() ? QString("/") : Text(url.path);
    // Credentials written in the URL serve this request only, and only its own server.
    const bool inUrl = !url.user.empty() || !url.password.empty();
    m_authUser = inUrl ? Text(url.user) : m_username;
    m_authPassword = inUrl ? Text(url.password) : m_password;
    m_authHost = m_targetHostName;
    m_authPort = m_targetPort;
    ApplyTarget();
    m_documentName = Text(DocumentNameOf(url.path));
    StartLookup();
}

void THttpCli::ApplyTarget()
{
    const THttpRoute route = RouteTo(
        {m_targetHostName.toStdString(), m_targetPort.toStdString(), m_targetPath.toStdString()},
        m_proxy.toStdString(), m_proxyPort.toStdString());
    m_requestPath = Text(route.requestPath);
    m_connectHost = Text(route.connectHost);
    m_connectPort = Text(route.connectPort);
}

void THttpCli::StartLookup()
{
    SetState(hcResolving);
    RestartIdleTimer();
    try {
        m_socket->DnsLookup(m_connectHost);
    } catch (const ESocketException&) {
        // An empty host name: the lookup cannot even start.
        if (m_state == hcResolving) {
            m_statusCode = 404;
            m_reasonPhrase = "can't resolve hostname to IP address";
            m_requestDoneError = WSAEINVAL;
            EndRequest();
        }
    }
}

void THttpCli::SetState(THttpState state)
{
    if (state == m_state)
        return;
    m_state = state;
    if (state == hcReady)
        m_idleTimer->stop();
    Events().OnStateChange(this);
    if (state == hcReady)
        PostMessage(m_window, WM_HTTP_REQUEST_DONE);
}

void THttpCli::HandleMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_HTTP_REQUEST_DONE:
        Events().OnRequestDone(this, m_requestType, m_requestDoneError);
        return;
    case WM_HTTP_SET_READY: SetState(hcReady); return;
    case WM_HTTP_LOGIN:
        if (!m_endPosted && m_state != hcReady && m_state != hcAborting)
            StartLookup();
        return;
    default: return;
    }
}

void THttpCli::Close()
{
    m_parser->Stop();
    m_socket->Close();
    m_connected = false;
}

void THttpCli::EndRequest()
{
    // Whatever ends the request (the close of the connection, a failed lookup, an abort) ends
    // it once.
    if (m_endPosted)
        return;
    m_endPosted = true;
    m_connected = false;
    m_idleTimer->stop();
    RemovePostedMessages(m_window, WM_HTTP_LOGIN);
    if (m_bodyBlocks > 0)
        Events().OnDocEnd(this);
    PostMessage(m_window, WM_HTTP_SET_READY);
}

void THttpCli::Fail(THttpError error)
{
    Fail(error, Text(to_string(error)));
}

void THttpCli::Fail(THttpError error, const QString& reason)
{
    if (m_endPosted)
        return;
    m_statusCode = 404;
    m_reasonPhrase = reason;
    m_requestDoneError = static_cast<std::uint16_t>(error);
    Close();
    // Without an open connection no close event comes to end the request.
    EndRequest();
}

void THttpCli::RestartIdleTimer()
{
    if (m_idleTimeout > 0)
        m_idleTimer->start(m_idleTimeout);
}

void THttpCli::IdleTimeoutElapsed()
{
    if (m_state == hcReady || m_endPosted)
        return;
    if (m_state == hcResolving) {
        Fail(THttpError::Timeout);
        try {
            m_socket->CancelDnsLookup();
        } catch (const ESocketException&) {
        }
        return;
    }
    Fail(THttpError::Timeout);
}

void THttpCli::OnDnsLookupDone(TCustomWSocket*, std::uint16_t error)
{
    if (m_state != hcResolving || m_endPosted)
        return; // an abort or the idle bound cancelled the lookup
    if (error != 0) {
        m_statusCode = 404;
        m_reasonPhrase = "can't resolve hostname to IP address";
        m_requestDoneError = error;
        EndRequest();
        return;
    }
    SetState(hcResolved);
    RestartIdleTimer();
    try {
        m_socket->SetAddr(m_socket->DnsResult());
        m_socket->SetPort(m_connectPort);
        m_socket->SetProto("tcp");
        m_socket->Connect();
    } catch (const ESocketException&) {
        const int socketError = m_socket->LastError();
        m_requestDoneError = static_cast<std::uint16_t>(socketError);
        m_statusCode = 404;
        m_reasonPhrase = "can't connect: " + SocketFailure(socketError);
        m_socket->Close();
        EndRequest();
    }
}

void THttpCli::OnSessionConnected(TCustomWSocket*, std::uint16_t error)
{
    if (error != 0) {
        // The socket closes next, and its close ends the request.
        m_statusCode = 404;
        m_reasonPhrase = SocketFailure(error);
        m_requestDoneError = error;
        return;
    }
    if (m_state != hcResolved)
        return;
    m_connected = true;
    RestartIdleTimer();
    SetState(hcConnected);
    Events().OnSessionConnected(this);
    // Each answer (a redirection's too) brings its own length and type.
    m_parser->Reset(m_requestType == rtHead);
    m_contentLength = -1;
    m_contentType.clear();
    m_complete = false;
    SetState(hcAwaitingHeader);
    try {
        switch (m_requestType) {
        case rtGet: SendRequest("GET"); break;
        case rtHead: SendRequest("HEAD"); break;
        case rtPost:
            SendRequest("POST");
            Events().OnSendBegin(this);
            m_sending = true;
            SendNextBlock();
            break;
        }
    } catch (...) {
        Close();
        throw;
    }
}

void THttpCli::SendCommand(const QString& line)
{
    QString text = line;
    Events().OnCommand(this, text);
    m_request->write(text.toUtf8());
    m_request->write("\r\n", 2);
}

void THttpCli::SendRequest(const QString& method)
{
    THttpRequestHead head;
    head.method = method.toStdString();
    head.requestPath = m_requestPath.toStdString();
    head.sender = m_sender.toStdString();
    head.reference = m_reference.toStdString();
    head.agent = m_agent.toStdString();
    head.host = m_targetHostName.toStdString();
    head.noCache = m_noCache;
    if (m_modifiedSince.isValid()) {
        const QDate d = m_modifiedSince.date();
        const QTime t = m_modifiedSince.time();
        head.modifiedSince =
            HttpDate(d.year(), d.month(), d.day(), d.dayOfWeek(), t.hour(), t.minute(), t.second());
    }
    head.contentType = m_contentTypePost.toStdString();
    head.contentLength = m_sendStream ? m_sendStream->size() : 0;
    if (!m_authUser.isEmpty() &&
        SameServer(m_authHost.toStdString(), m_authPort.toStdString(),
                   m_targetHostName.toStdString(), m_targetPort.toStdString()))
        head.credentials = (m_authUser + ":" + m_authPassword).toStdString();
    if (!m_proxy.isEmpty() && !m_proxyUsername.isEmpty())
        head.proxyCredentials = (m_proxyUsername + ":" + m_proxyPassword).toStdString();
    head.cookie = m_cookie.toStdString();

    m_request->close();
    m_request->setData(QByteArray());
    m_request->open(QIODevice::WriteOnly);
    Events().OnRequestHeaderBegin(this);
    for (const std::string& line : RequestHeaderLines(head))
        SendCommand(Text(line));
    Events().OnRequestHeaderEnd(this);
    SendCommand(QString());
    const QByteArray request = m_request->data();
    m_request->close();
    m_request->setData(QByteArray());
    m_socket->Send(request.constData(), static_cast<int>(request.size()));
}

void THttpCli::SendNextBlock()
{
    if (!m_sending || !m_sendStream)
        return;
    QByteArray block = m_sendStream->read(SendBlockSize);
    if (block.isEmpty()) {
        m_sending = false;
        Events().OnSendEnd(this);
        return;
    }
    m_bytesSent += block.size();
    Events().OnSendData(this, block.constData(), static_cast<int>(block.size()));
    m_socket->Send(block.constData(), static_cast<int>(block.size()));
}

void THttpCli::OnDataSent(TCustomWSocket*, std::uint16_t)
{
    if (m_sending) {
        RestartIdleTimer();
        SendNextBlock();
    }
}

void THttpCli::OnDataAvailable(TCustomWSocket*, std::uint16_t)
{
    RestartIdleTimer();
    if (m_parser->Stopped() || (m_state != hcAwaitingHeader && m_state != hcReceivingBody)) {
        // Nothing more is wanted from this connection; take the bytes so that the close
        // still arrives.
        char discard[4096];
        m_socket->Receive(discard, sizeof discard);
        return;
    }
    if (m_parser->InBody()) {
        // The body goes straight from the socket to the listener, in reads larger than the
        // header buffer.
        const int n = m_socket->Receive(m_bodyBuffer.get(), BodyReadSize);
        if (n > 0)
            m_parser->BodyReceived(m_bodyBuffer.get(), static_cast<std::size_t>(n));
        return;
    }
    if (m_parser->FreeRoom() == 0) {
        // The parser fails a full buffer itself; this only guards the receive below.
        Fail(THttpError::LineTooLong);
        return;
    }
    const int n = m_socket->Receive(m_parser->FreeSpace(), static_cast<int>(m_parser->FreeRoom()));
    if (n <= 0)
        return;
    m_parser->Received(static_cast<std::size_t>(n));
}

void THttpCli::OnSessionClosed(TCustomWSocket*, std::uint16_t error)
{
    if (m_followingLocation) {
        LocationSessionClosed();
        return;
    }
    if (error != 0 && m_requestDoneError == 0 && m_statusCode < 400 && !m_complete) {
        // A connection that broke (a reset) did not deliver the whole document.
        m_statusCode = 404;
        m_reasonPhrase = SocketFailure(error);
        m_requestDoneError = error;
    }
    if (m_requestDoneError == 0 && m_statusCode < 400 && !m_complete) {
        // An HTTP/1.0 body ends with the connection, so a connection that ends early looks
        // complete; the header and the announced length tell otherwise.
        const qint64 announced = m_parser->ContentLength();
        const bool headerCut = m_state == hcAwaitingHeader && m_connected;
        const bool bodyCut =
            m_state == hcReceivingBody && announced >= 0 && m_bytesReceived < announced;
        if (headerCut || bodyCut) {
            m_statusCode = 404;
            m_reasonPhrase = Text(to_string(THttpError::Truncated));
            m_requestDoneError = static_cast<std::uint16_t>(THttpError::Truncated);
        }
    }
    EndRequest();
}

void THttpCli::LocationSessionClosed()
{
    m_connected = false;
    m_followingLocation = false;
    Events().OnLocationChange(this);
    PostMessage(m_window, WM_HTTP_LOGIN);
}

void THttpCli::Abort()
{
    if (m_state == hcReady) {
        if (m_socket->State() != wsClosed)
            m_socket->Close();
        return;
    }
    const THttpState old = m_state;
    SetState(hcAborting);
    if (old == hcResolving) {
        try {
            m_socket->CancelDnsLookup();
        } catch (const ESocketException&) {
        }
    }
    m_statusCode = 404;
    m_reasonPhrase = Text(to_string(THttpError::Aborted));
    m_requestDoneError = static_cast<std::uint16_t>(THttpError::Aborted);
    if (old != hcResolving)
        Close(); // its close event ends the request
    EndRequest();
}

void THttpCli::HeaderBegin()
{
    Events().OnHeaderBegin(this);
}

void THttpCli::HeaderLine(std::string_view line)
{
    const QString text = Text(line);
    m_receivedHeader << text;
    if (m_parser->StatusCode() != 0) {
        m_statusCode = m_parser->StatusCode();
        m_reasonPhrase = Text(m_parser->ReasonPhrase());
    }
    if (m_parser->ContentLength() >= 0)
        m_contentLength = m_parser->ContentLength();
    if (!m_parser->ContentType().empty())
        m_contentType = Text(m_parser->ContentType());
    const qsizetype colon = text.indexOf(':');
    if (colon > 0 && text.left(colon).toLower() == "www-authenticate" &&
        !text.startsWith("HTTP/1."))
        m_authChallenges << text.mid(colon + (text.mid(colon + 1, 1) == " " ? 2 : 1));
    Events().OnHeaderData(this);
    if (m_statusCode >= 400 && !m_endPosted)
        Close(); // an error answer ends at its status line
}

void THttpCli::Location(std::string_view value)
{
    if (m_endPosted)
        return;
    if (HasControlCharacter(value)) {
        Fail(THttpError::ControlCharacter, "Control character in the Location field");
        return;
    }
    // Resolved against the address of this request; the last Location of the header wins.
    const THttpTarget base{m_targetHostName.toStdString(), m_targetPort.toStdString(),
                           m_targetPath.toStdString()};
    switch (ResolveLocation(base, value, m_nextTarget)) {
    case TLocationResult::Ok: return;
    case TLocationResult::UnsupportedScheme: Fail(THttpError::UnsupportedScheme); return;
    case TLocationResult::NoServer: Fail(THttpError::BadLocation); return;
    }
}

void THttpCli::HeaderEnd()
{
    if (!m_parser->ContentType().empty())
        m_contentType = Text(m_parser->ContentType()); // "text/html" for a server without header
    if (m_parser->LocationSeen()) {
        Events().OnHeaderEnd(this);
        if (m_endPosted)
            return;
        ++m_redirections;
        if (m_redirections > MaxRedirections) {
            Fail(THttpError::TooManyRedirections);
            return;
        }
        m_targetHostName = Text(m_nextTarget.host);
        m_targetPort = Text(m_nextTarget.port);
        m_targetPath = Text(m_nextTarget.path);
        // Another server never gets the credentials, nor does their server after it.
        if (!SameServer(m_authHost.toStdString(), m_authPort.toStdString(), m_nextTarget.host,
                        m_nextTarget.port)) {
            m_authUser.clear();
            m_authPassword.clear();
        }
        ApplyTarget();
        m_bodyBlocks = 0;
        m_parser->Stop();
        m_followingLocation = true;
        m_socket->Close();
        return;
    }
    if (m_documentName.endsWith(".exe", Qt::CaseInsensitive) && m_contentType == "text/html")
        m_documentName = m_documentName.left(m_documentName.size() - 3) + "htm";
    SetState(hcReceivingBody);
    Events().OnHeaderEnd(this);
}

void THttpCli::Body(const char* data, std::size_t length)
{
    if (m_bodyBlocks == 0)
        Events().OnDocBegin(this);
    ++m_bodyBlocks;
    m_bytesReceived += static_cast<qint64>(length);
    Events().OnDocData(this, data, static_cast<int>(length));
    if (m_responseStream &&
        m_responseStream->write(data, static_cast<qint64>(length)) != static_cast<qint64>(length))
        Fail(THttpError::WriteFailed,
             Text(to_string(THttpError::WriteFailed)) + ": " + m_responseStream->errorString());
}

void THttpCli::BodyComplete()
{
    // Every announced byte is here (or the answer has no body): the document is complete,
    // whether or not the server closes.
    m_complete = true;
    Close();
    EndRequest();
}

void THttpCli::Failed(THttpError error)
{
    Fail(error);
}

void THttpCliListener::OnTrace(THttpCli*) {}
void THttpCliListener::OnSessionConnected(THttpCli*) {}
void THttpCliListener::OnHeaderData(THttpCli*) {}
void THttpCliListener::OnCommand(THttpCli*, QString&) {}
void THttpCliListener::OnHeaderBegin(THttpCli*) {}
void THttpCliListener::OnHeaderEnd(THttpCli*) {}
void THttpCliListener::OnRequestHeaderBegin(THttpCli*) {}
void THttpCliListener::OnRequestHeaderEnd(THttpCli*) {}
void THttpCliListener::OnDocBegin(THttpCli*) {}
void THttpCliListener::OnDocData(THttpCli*, const char*, int) {}
void THttpCliListener::OnDocEnd(THttpCli*) {}
void THttpCliListener::OnSendBegin(THttpCli*) {}
void THttpCliListener::OnSendData(THttpCli*, const char*, int) {}
void THttpCliListener::OnSendEnd(THttpCli*) {}
void THttpCliListener::OnStateChange(THttpCli*) {}
void THttpCliListener::OnRequestDone(THttpCli*, THttpRequest, std::uint16_t) {}
void THttpCliListener::OnLocationChange(THttpCli*) {}
