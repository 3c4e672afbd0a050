// TWebFileInfo: properties, retrieval of the information page, the shared client and the
// exception hook. The interactive update and the downloads are in WebFileInfoUpdate.cpp.
#include "update/WebFileInfo.h"

#include "platform/MessageBox.h"
#include "update/PleaseWait.h"
#include "update/ReadMeWindow.h"
#include "update/WebDlProgress.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QRegularExpression>
#include <QWidget>

namespace {
// The process-wide client and its one listener, which hands the client's events to the
// component whose request runs. Made by the first component that needs it and freed with that
// component.
class THttpEvents : public QObject, public THttpCliListener {
public:
    explicit THttpEvents(const TWebFileInfo* creator) : Creator(creator)
    {
        Client.setObjectName("SharedHttpCli");
        Client.SetListener(this);
    }
    ~THttpEvents() override { Client.SetListener(nullptr); }

    void OnRequestDone(THttpCli* sender, THttpRequest rqType, std::uint16_t error) override
    {
        if (Target)
            Target->HttpRequestDone(sender, rqType, error);
    }
    void OnDocData(THttpCli*, const char*, int) override
    {
        if (Target)
            Target->HttpDocData();
    }

    THttpCli Client;
    const TWebFileInfo* const Creator;
    QPointer<TWebFileInfo> Target;
    TGeneration Requests; // each request started on the client is a new generation
};

THttpEvents* sharedEvents = nullptr;
THttpCli* sharedClient = nullptr; // &sharedEvents->Client while it exists

void Warn(const QString& caption, const QString& text, QWidget* owner)
{
    MessageBox(text, caption, MessageIcon::Warning, MessageButtons::Ok, owner);
}
} // namespace

TWebFileInfo::TWebFileInfo(QWidget* owner)
    : QObject(owner), m_owner(owner), m_infoTags(new TWfiTags(this))
{
    m_infoTags->setObjectName("InfoTags");
    m_uiFont = QFont("Arial");
    m_uiFont.setPixelSize(11);
    m_limitTimer.setSingleShot(true);
    connect(&m_limitTimer, &QTimer::timeout, this, [this] {
        Application::Guard(this, [this] {
            m_limitError = QString("No complete answer within %1 seconds")
                               .arg(PageTimeLimit / 1000.0, 0, 'g', 3);
            if (sharedClient && m_transferActive)
                sharedClient->Abort();
        });
    });
}

TWebFileInfo::~TWebFileInfo()
{
    m_waitWindow.reset();
    m_progressWindow.reset();
    if (sharedEvents && sharedEvents->Creator == this) {
        delete sharedEvents;
        sharedEvents = nullptr;
        sharedClient = nullptr;
    }
}

THttpCli* TWebFileInfo::SharedHttpCli()
{
    return sharedClient;
}

void TWebFileInfo::SetActive(bool active)
{
    if (!active)
        m_active = false;
}

void TWebFileInfo::SetHomeURL(const QString& url)
{
    if (url.size() <= 6 || url.left(7).toLower() != QLatin1String("http://"))
        return;
    m_active = false;
    m_homeURL = url;
}

void TWebFileInfo::SetOptions(TWfiOptions options)
{
    options += wfioDisplayUI;
    m_options = options;
}

QFont TWebFileInfo::UIFont()
{
    if (m_uiOwnerFont && m_owner)
        m_uiFont = m_owner->font();
    return m_uiFont;
}

void TWebFileInfo::SetUIFont(const QFont& font)
{
    m_uiFont = font;
    m_uiOwnerFont = false;
}

void TWebFileInfo::SetWindowParent(QWidget* window)
{
    m_windowParent = window;
}

QWidget* TWebFileInfo::WindowParent() const
{
    if (m_windowParent)
        return m_windowParent;
    return m_owner ? m_owner->window() : nullptr;
}

bool TWebFileInfo::IsNewerVersion() const
{
    if (m_versionFormat == wfivSimpleString)
        return QString::compare(m_values.Version, m_currentVersion, Qt::CaseSensitive) > 0;
    return InfoPage::IsNewerBuildNumber(m_currentVersion, m_values.Version);
}

// --- The commands ---------------------------------------------------------------------------

bool TWebFileInfo::GetInfo()
{
    TReentryGuard entry(this, m_busy);
    return entry.Entered() && RetrieveInfo();
}

bool TWebFileInfo::ExecuteUpdate()
{
    TReentryGuard entry(this, m_busy);
    return entry.Entered() && RunUpdate();
}

bool TWebFileInfo::ShowReadMe(bool ask)
{
    TReentryGuard entry(this, m_busy);
    return entry.Entered() && OfferReadMe(ask);
}

bool TWebFileInfo::DownloadUpdateTo(const QString& fileName)
{
    TReentryGuard entry(this, m_busy);
    return entry.Entered() && DownloadUpdate(fileName);
}

bool TWebFileInfo::DownloadFile(const QString& url, const QString& fileName, const QString& caption)
{
    TReentryGuard entry(this, m_busy);
    return entry.Entered() && Download(url, fileName, caption, nullptr);
}

// --- Retrieval ----------------------------------------------------------------------------

bool TWebFileInfo::RetrieveInfo()
{
    if (m_active)
        return true;
    if (m_homeURL.isEmpty()) {
        Warn("Missing Home URL",
             "Can not retrieve version information\rbecause no home url was provided.",
             WindowParent());
        return false;
    }
    if (m_infoTags->AllEmpty()) {
        Warn("Missing Tag Information",
             "Can not retrieve version information\rbecause no tag information was provided.",
             WindowParent());
        return false;
    }
    ExceptionHook hook(this);
    // The wait window stays up across a chain of redirect tags and goes at the end.
    Teardown teardown(this);
    EnsureClient();

    bool result = false;
    int redirects = 0;
    QString url = m_homeURL;
    for (;;) {
        result = FetchPage(url);
        if (m_values.RedirectURL.isEmpty())
            break;
        // A page that names another page (or itself) is followed only so far.
        if (++redirects > MaxRedirectTags) {
            ClearValues();
            m_lastError = "Too many redirections";
            result = false;
            break;
        }
        if (!TagAddress(m_values.RedirectURL, "redirect", &url)) {
            ClearValues();
            result = false;
            break;
        }
    }
    m_active = result;
    return m_active;
}

bool TWebFileInfo::FetchPage(const QString& url)
{
    ConfigureProxy();
    QByteArray body;
    bool fetched = FetchToMemory(url, "Checking For Update...", &body);
    if (fetched && sharedClient->StatusCode() != 200) {
        fetched = false;
        m_lastError = StatusFailure();
        // An answer without a status line has no number to show; its text reaches the user
        // through LastError like any other failure.
        if (!AnswerWithoutStatusLine()) {
            if (m_waitWindow)
                m_waitWindow->hide(); // the transfer it watched is over
            MessageBox(QString::number(sharedClient->StatusCode()),
                       Application::instance() ? Application::instance()->Title() : QString(),
                       MessageIcon::None, MessageButtons::Ok, WindowParent());
        }
    }
    ClearValues();
    if (!fetched || !m_lastError.isEmpty())
        return false;
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = QString::fromUtf8(body).split(lineEnd);
    m_values = InfoPage::Parse(lines, *m_infoTags);
    m_pageURL = url;
    // Addresses are shown and used resolved; one that is not http:// stays as the page wrote
    // it and is refused when used.
    for (QString* address : {&m_values.DownloadURL, &m_values.ReadMe, &m_values.RedirectURL}) {
        std::string resolved;
        if (!address->isEmpty() && ResolveAddress(url.toStdString(), address->toStdString(),
                                                  resolved) == TLocationResult::Ok)
            *address = QString::fromStdString(resolved);
    }
    if (m_dateFormat == wfidDFSDate && !m_values.DateStr.isEmpty())
        m_productDate = InfoPage::ParseProductDate(m_values.DateStr);
    m_downloadFileName = InfoPage::FileNameFromAddress(m_values.DownloadURL);
    return true;
}

bool TWebFileInfo::TagAddress(const QString& value, const QString& what, QString* url)
{
    std::string resolved;
    switch (ResolveAddress(m_pageURL.toStdString(), value.toStdString(), resolved)) {
    case TLocationResult::Ok: *url = QString::fromStdString(resolved); return true;
    case TLocationResult::UnsupportedScheme:
        m_lastError = QString("The update page's %1 address is not an http:// address").arg(what);
        return false;
    case TLocationResult::NoServer: break;
    }
    m_lastError = QString("The update page's %1 address names no server").arg(what);
    return false;
}

void TWebFileInfo::ClearValues()
{
    m_values = TInfoPageValues();
    m_pageURL.clear();
    m_productDate = QDate();
    m_downloadFileName.clear();
}

void TWebFileInfo::EnsureClient()
{
    if (sharedEvents)
        return;
    sharedEvents = new THttpEvents(this);
    sharedClient = &sharedEvents->Client;
}

void TWebFileInfo::ConfigureProxy()
{
    if (m_proxyHost.isEmpty()) {
        sharedClient->SetProxy(QString());
        sharedClient->SetProxyPort("80");
    } else {
        sharedClient->SetProxy(m_proxyHost);
        sharedClient->SetProxyPort(QString::number(m_proxyPort));
    }
}

bool TWebFileInfo::StartRequest(const QString& url, QIODevice* stream)
{
    m_lastError.clear();
    m_limitError.clear();
    m_httpFault = false;
    // A test run never reaches beyond this machine.
    if (qEnvironmentVariableIsSet("TALLYHORN_TEST") &&
        (!InfoPage::IsLoopbackAddress(url) ||
         (!m_proxyHost.isEmpty() && !InfoPage::IsLoopbackAddress(m_proxyHost)))) {
        m_lastError = "A test run reaches only 127.0.0.1";
        return false;
    }
    if (sharedClient->State() != hcReady) {
        // A transfer given up after an exception is still ending; its last posted messages
        // make the client ready again in a moment. Other code runs meanwhile: it may delete
        // this component (or the one that owns the client), or start a request of its own.
        TLoopGuard self(this);
        TLoopGuard request(sharedEvents, sharedEvents->Requests);
        sharedClient->Abort();
        const QDeadlineTimer deadline(5000);
        while (request.Current() && sharedClient->State() != hcReady && !deadline.hasExpired())
            QCoreApplication::processEvents(
                QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents, 50);
        if (!self.Alive())
            throw calc::EAbort(); // nothing of this component may be touched any more
        if (!request.Alive()) {
            // The component that made the client was deleted, and the client with it.
            m_lastError = "The connection of the update check was closed";
            return false;
        }
        if (!request.Current()) {
            m_lastError = "Another transfer of the update check took the connection";
            return false;
        }
    }
    sharedEvents->Requests.Next();
    sharedEvents->Target = this;
    sharedClient->SetResponseStream(stream);
    sharedClient->SetNameResolver(m_nameResolver);
    sharedClient->SetURL(url);
    m_requestDone = false;
    m_transferActive = true;
    try {
        sharedClient->GetAsync();
    } catch (...) {
        m_transferActive = false;
        sharedClient->SetResponseStream(nullptr);
        throw;
    }
    return true;
}

bool TWebFileInfo::FetchToMemory(const QString& url, const QString& waitText, QByteArray* body)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    m_memoryLimit = MaxPageBytes;
    const bool started = StartRequest(url, &buffer);
    if (started) {
        m_limitTimer.start(PageTimeLimit);
        if (!m_waitWindow)
            m_waitWindow = std::make_unique<TPleaseWait>(waitText, UIFont(), WindowParent());
        else
            m_waitWindow->Label()->setText(waitText);
        if (!m_requestDone)
            m_waitWindow->ShowModal();
        m_limitTimer.stop();
    }
    m_memoryLimit = -1;
    if (sharedClient)
        sharedClient->SetResponseStream(nullptr);
    if (!started || m_httpFault)
        return false;
    if (!m_limitError.isEmpty()) {
        m_lastError = m_limitError;
        return false;
    }
    *body = buffer.data();
    return true;
}

std::unique_ptr<TReadMeWindow> TWebFileInfo::FetchReadMeWindow(const QString& tag)
{
    ExceptionHook hook(this);
    QByteArray text;
    {
        Teardown teardown(this);
        EnsureClient();
        ConfigureProxy();
        QString url;
        if (!TagAddress(tag, "read-me", &url))
            return nullptr;
        if (!FetchToMemory(url, "Retrieving ReadMe...", &text))
            return nullptr;
        if (sharedClient->StatusCode() != 200) {
            m_lastError = StatusFailure();
            return nullptr;
        }
    }
    return std::make_unique<TReadMeWindow>(QString::fromUtf8(text), UIFont(), WindowParent());
}

bool TWebFileInfo::AnswerWithoutStatusLine() const
{
    if (!sharedClient || sharedClient->StatusCode() == 200)
        return false;
    if (sharedClient->StatusCode() == 0)
        return true;
    // Read as a header, such an answer fails in many ways (cut short, lines too long, too
    // many); the missing status line is the reason. A cancel, or a file that could not be
    // written, keeps its own.
    const auto error = static_cast<THttpError>(sharedClient->RequestDoneError());
    return sharedClient->StatusLineMissing() && error != THttpError::Aborted &&
           error != THttpError::WriteFailed;
}

QString TWebFileInfo::StatusFailure() const
{
    if (!sharedClient || sharedClient->StatusCode() == 200)
        return QString();
    if (AnswerWithoutStatusLine())
        return "The server's answer has no status line";
    return sharedClient->ReasonPhrase();
}

void TWebFileInfo::EndTransfer() noexcept
{
    m_limitTimer.stop();
    m_memoryLimit = -1;
    m_downloading = false;
    if (sharedClient) {
        sharedClient->SetResponseStream(nullptr);
        if (m_transferActive) {
            m_transferActive = false;
            try {
                sharedClient->Abort();
            } catch (...) {
                // The client is made ready again before the next request starts.
            }
        }
    }
    m_waitWindow.reset();
    m_progressWindow.reset();
}

void TWebFileInfo::HttpDocData()
{
    if (!m_transferActive)
        return;
    if (m_downloading) {
        DownloadBlock();
    } else if (m_memoryLimit >= 0 && sharedClient->BytesReceived() > m_memoryLimit &&
               m_limitError.isEmpty()) {
        m_limitError = QString("The answer is larger than %1 bytes")
                           .arg(InfoPage::FormatThousands(m_memoryLimit));
        sharedClient->Abort();
    }
}

void TWebFileInfo::HttpRequestDone(QObject*, THttpRequest, std::uint16_t error)
{
    if (!m_transferActive)
        return; // the end of a transfer that was already given up
    m_transferActive = false;
    m_requestDone = true;
    if (error != 0)
        m_lastError = sharedClient ? sharedClient->ReasonPhrase() : QString();
    else
        m_lastError.clear();
    if (m_waitWindow)
        m_waitWindow->SetModalResult(ModalResult::mrOk);
    if (m_progressWindow)
        m_progressWindow->SetModalResult(m_progressWindow->Cancelled ? ModalResult::mrCancel
                                                                     : ModalResult::mrOk);
}

// --- Exceptions while a transfer runs ------------------------------------------------------

TWebFileInfo::ExceptionHook::ExceptionHook(TWebFileInfo* owner) : m_owner(owner)
{
    Application* app = Application::instance();
    if (!app || owner->m_hooked)
        return;
    m_saved = app->OnException();
    app->SetOnException([this](QObject* sender, const std::exception& e) { Handle(sender, e); });
    owner->m_hooked = true;
    m_installed = true;
}

TWebFileInfo::ExceptionHook::~ExceptionHook()
{
    if (!m_installed)
        return;
    if (Application* app = Application::instance())
        app->SetOnException(std::move(m_saved));
    if (m_owner)
        m_owner->m_hooked = false;
}

void TWebFileInfo::ExceptionHook::Handle(QObject* sender, const std::exception& e)
{
    if (m_owner && !m_spent && dynamic_cast<const EHttpException*>(&e)) {
        m_spent = true;
        m_owner->HandleHttpException(e);
        return;
    }
    // Whatever else a handler raised while a transfer runs ends that transfer too, so that its
    // window does not wait for an end that may never come; the error itself goes on to the
    // saved handler.
    if (m_owner && m_owner->m_transferActive)
        m_owner->FailTransfer(QString::fromStdString(e.what()));
    if (m_saved)
        m_saved(sender, e);
    else if (Application* app = Application::instance())
        app->ShowDefaultException(QString::fromStdString(e.what()));
}

void TWebFileInfo::FailTransfer(const QString& message)
{
    m_lastError = message;
    m_httpFault = true;
    m_transferActive = false;
    for (TNoCloseDialog* window : {static_cast<TNoCloseDialog*>(m_waitWindow.get()),
                                   static_cast<TNoCloseDialog*>(m_progressWindow.get())})
        if (window) {
            window->SetModalResult(ModalResult::mrCancel);
            window->hide();
        }
    m_memoryLimit = -1;
    m_downloading = false;
    if (sharedClient) {
        sharedClient->SetResponseStream(nullptr);
        // The client is left ready for the next request.
        if (sharedClient->State() != hcReady)
            sharedClient->Abort();
    }
}

void TWebFileInfo::HandleHttpException(const std::exception& e)
{
    const QString message = QString::fromStdString(e.what());
    FailTransfer(message);
    Warn("Exception", QString("Error retrieving update information.\rException: %1.").arg(message),
         WindowParent());
}
