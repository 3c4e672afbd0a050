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
// Receives the shared client's request-done event and hands it to the component whose
// request runs.
class THttpEvents {
public:
    TWebFileInfo* Target = nullptr;
};

THttpCli* sharedClient = nullptr;
THttpEvents* sharedEvents = nullptr;
const TWebFileInfo* sharedOwner = nullptr;

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
    if (m_hooked)
        UnhookExceptions();
    m_waitWindow.reset();
    m_progressWindow.reset();
    if (sharedEvents && sharedEvents->Target == this)
        sharedEvents->Target = nullptr;
    if (sharedOwner == this) {
        delete sharedClient;
        delete sharedEvents;
        sharedClient = nullptr;
        sharedEvents = nullptr;
        sharedOwner = nullptr;
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

// --- Retrieval ----------------------------------------------------------------------------

bool TWebFileInfo::GetInfo()
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
    for (;;) {
        const QString url = m_values.RedirectURL.isEmpty() ? m_homeURL : m_values.RedirectURL;
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
        if (sharedClient->StatusCode() != 0) {
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
    if (m_dateFormat == wfidDFSDate && !m_values.DateStr.isEmpty())
        m_productDate = InfoPage::ParseProductDate(m_values.DateStr);
    m_downloadFileName = InfoPage::FileNameFromAddress(m_values.DownloadURL);
    return true;
}

void TWebFileInfo::ClearValues()
{
    m_values = TInfoPageValues();
    m_productDate = QDate();
    m_downloadFileName.clear();
}

void TWebFileInfo::EnsureClient()
{
    if (sharedClient)
        return;
    sharedEvents = new THttpEvents;
    sharedClient = new THttpCli;
    sharedClient->setObjectName("SharedHttpCli");
    sharedOwner = this;
    sharedClient->OnRequestDone = [](QObject* sender, THttpRequest rqType, std::uint16_t error) {
        if (sharedEvents && sharedEvents->Target)
            sharedEvents->Target->HttpRequestDone(sender, rqType, error);
    };
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
        // make the client ready again in a moment.
        sharedClient->Abort();
        const QDeadlineTimer deadline(5000);
        while (sharedClient->State() != hcReady && !deadline.hasExpired())
            QCoreApplication::processEvents(
                QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    sharedEvents->Target = this;
    sharedClient->SetResponseStream(stream);
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
    sharedClient->OnDocData = [this](QObject*, const char*, int) {
        if (sharedClient->BytesReceived() > MaxPageBytes && m_limitError.isEmpty()) {
            m_limitError = QString("The answer is larger than %1 bytes")
                               .arg(InfoPage::FormatThousands(MaxPageBytes));
            sharedClient->Abort();
        }
    };
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
    sharedClient->OnDocData = nullptr;
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

std::unique_ptr<TReadMeWindow> TWebFileInfo::FetchReadMeWindow(const QString& url)
{
    ExceptionHook hook(this);
    QByteArray text;
    {
        Teardown teardown(this);
        EnsureClient();
        ConfigureProxy();
        if (!FetchToMemory(url, "Retrieving ReadMe...", &text))
            return nullptr;
        if (sharedClient->StatusCode() != 200) {
            m_lastError = StatusFailure();
            return nullptr;
        }
    }
    return std::make_unique<TReadMeWindow>(QString::fromUtf8(text), UIFont(), WindowParent());
}

QString TWebFileInfo::StatusFailure() const
{
    if (!sharedClient || sharedClient->StatusCode() == 200)
        return QString();
    if (sharedClient->StatusCode() == 0)
        return "The server's answer has no status line";
    return sharedClient->ReasonPhrase();
}

void TWebFileInfo::EndTransfer() noexcept
{
    m_limitTimer.stop();
    if (sharedClient) {
        sharedClient->OnDocData = nullptr;
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

void TWebFileInfo::HookExceptions()
{
    Application* app = Application::instance();
    if (!app || m_hooked)
        return;
    m_savedOnException = app->OnException();
    app->SetOnException(
        [this](QObject* sender, const std::exception& e) { HandleAppException(sender, e); });
    m_hooked = true;
}

void TWebFileInfo::UnhookExceptions()
{
    if (!m_hooked)
        return;
    m_hooked = false;
    if (Application* app = Application::instance())
        app->SetOnException(std::move(m_savedOnException));
    m_savedOnException = nullptr;
}

void TWebFileInfo::HandleAppException(QObject* sender, const std::exception& e)
{
    const QString message = QString::fromStdString(e.what());
    const bool http = dynamic_cast<const EHttpException*>(&e) != nullptr;
    // Whatever a handler raised while a transfer runs ends that transfer, so that its window
    // does not wait for an end that may never come.
    if (http || m_transferActive) {
        m_lastError = message;
        m_httpFault = true;
        m_transferActive = false;
        for (TNoCloseDialog* window : {static_cast<TNoCloseDialog*>(m_waitWindow.get()),
                                       static_cast<TNoCloseDialog*>(m_progressWindow.get())})
            if (window) {
                window->SetModalResult(ModalResult::mrCancel);
                window->hide();
            }
        if (sharedClient) {
            sharedClient->SetResponseStream(nullptr);
            sharedClient->OnDocData = nullptr;
            // The client is left ready for the next request.
            if (sharedClient->State() != hcReady)
                sharedClient->Abort();
        }
    }
    if (!http) {
        if (m_savedOnException)
            m_savedOnException(sender, e);
        else if (Application* app = Application::instance())
            app->ShowDefaultException(message);
        return;
    }
    UnhookExceptions();
    Warn("Exception", QString("Error retrieving update information.\rException: %1.").arg(message),
         WindowParent());
}
