// TWebFileInfo: finds out whether a newer release exists and, on request, downloads and starts
// it. It fetches the information page (HomeURL), reads its META HTTP-EQUIV tags (InfoTags),
// compares the version found there with CurrentVersion, and runs the interactive update:
// read-me offer, questions, save dialog, download with progress, signature check, install
// offer, start through the shell.
//
// All network work goes through the one process-wide THttpCli. Every transfer is watched by
// exactly one modal window ("Please Wait" or "Download Progress") that the end of the
// transfer closes; the user can end a download only through Cancel, and the information page
// and the read-me are bounded in size and time. However an operation ends, by return or by
// an exception, its transfer is ended and its windows are taken down on the way out. Only a
// status of 200 counts as success. Every read-me is shown as plain text in the "Read Me"
// window; nothing from the server is opened by another program except the signed update.
//
// The commands (GetInfo, ExecuteUpdate, ShowReadMe, DownloadUpdateTo, DownloadFile) run message
// loops while they wait. One of them called from inside such a loop while another runs on the
// same component is refused: it returns false at once and changes nothing.
#pragma once

#include "platform/Application.h"
#include "platform/FileDialog.h"
#include "platform/LoopGuard.h"
#include "platform/Maker.h"
#include "platform/NameResolver.h"
#include "platform/Shell.h"
#include "update/HttpProt.h"
#include "update/InfoPage.h"
#include "update/WfiTags.h"

#include <QDate>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>

class QFile;
class TPleaseWait;
class TReadMeWindow;
class TWebDlProgress;

enum TWfiOption {
    wfioAlwaysOverwrite = 0,
    wfioDisplayUI = 1,
    wfioDisplayReadMe = 2,
    wfioRunUpdate = 3,
    wfioExitDuringUpdate = 4,
};

// A set of TWfiOption.
class TWfiOptions {
public:
    TWfiOptions() = default;
    TWfiOptions(std::initializer_list<TWfiOption> options)
    {
        for (TWfiOption o : options)
            m_bits |= 1u << o;
    }
    bool Contains(TWfiOption o) const { return (m_bits >> o) & 1u; }
    TWfiOptions& operator+=(TWfiOption o)
    {
        m_bits |= 1u << o;
        return *this;
    }
    TWfiOptions& operator-=(TWfiOption o)
    {
        m_bits &= ~(1u << o);
        return *this;
    }
    bool operator==(const TWfiOptions&) const = default;

private:
    unsigned m_bits = 0;
};

enum TWfiDateFormat { wfidDFSDate = 0, wfidNone = 1 };
enum TWfiVersionFormat { wfivBuildNumber = 0, wfivSimpleString = 1 };

class TWebFileInfo : public QObject {
    Q_OBJECT

public:
    // Redirect tags followed in a row; the next one fails with "Too many redirections".
    static constexpr int MaxRedirectTags = 10;
    // Bounds of the information page and the read-me held in memory.
    static constexpr qint64 DefaultMaxPageBytes = 1024 * 1024;
    static constexpr int DefaultPageTimeLimit = 60000; // milliseconds for the whole fetch

    // `owner` is the form that holds the component (its font is the default UIFont, and its
    // window is the parent of the component's windows unless SetWindowParent names another).
    explicit TWebFileInfo(QWidget* owner = nullptr);
    ~TWebFileInfo() override;

    // The window that owns the component's windows, message boxes and dialogs, so that they
    // stay above it: the update centre while it is open. Null returns to the owner's window.
    void SetWindowParent(QWidget* window);
    QWidget* WindowParent() const;

    // True once the information page has been fetched and read without error. Setting False
    // makes the next GetInfo fetch again; setting True is ignored.
    bool Active() const { return m_active; }
    void SetActive(bool active);
    QString CurrentVersion() const { return m_currentVersion; }
    void SetCurrentVersion(const QString& version) { m_currentVersion = version; }
    TWfiDateFormat DateFormat() const { return m_dateFormat; }
    void SetDateFormat(TWfiDateFormat format) { m_dateFormat = format; }
    QString DownloadURL() const { return m_values.DownloadURL; }
    // Accepted only when longer than 6 characters and starting with "http://" (any case);
    // an accepted address clears Active.
    QString HomeURL() const { return m_homeURL; }
    void SetHomeURL(const QString& url);
    TWfiTags* InfoTags() const { return m_infoTags; }
    QString LastError() const { return m_lastError; }
    // wfioDisplayUI is always added.
    TWfiOptions Options() const { return m_options; }
    void SetOptions(TWfiOptions options);
    QString ProductName() const { return m_values.ProductName; }
    QString ProductAuthor() const { return m_values.Author; }
    QString ProductAuthorEMail() const { return m_values.AuthorEMail; }
    QDate ProductDate() const { return m_productDate; } // null when not converted
    QString ProductDateStr() const { return m_values.DateStr; }
    QString ProductReadMe() const { return m_values.ReadMe; }
    QString ProductReadMeExt() const { return m_values.ReadMeExt; }
    QString ProductVersion() const { return m_values.Version; }
    // The release's manifest (base64) and its base64 signature, from ManifestTag and
    // SignatureTag.
    QString ProductManifest() const { return m_values.Manifest; }
    QString ProductSignature() const { return m_values.Signature; }
    QString ProxyHost() const { return m_proxyHost; }
    void SetProxyHost(const QString& host) { m_proxyHost = host; }
    int ProxyPort() const { return m_proxyPort; }
    void SetProxyPort(int port) { m_proxyPort = port; }
    QString RunParams() const { return m_values.RunParams; }
    // While UIOwnerFont is on, reading UIFont first takes the owner's font; setting it turns
    // UIOwnerFont off.
    QFont UIFont();
    void SetUIFont(const QFont& font);
    bool UIOwnerFont() const { return m_uiOwnerFont; }
    void SetUIOwnerFont(bool on) { m_uiOwnerFont = on; }
    TWfiVersionFormat VersionFormat() const { return m_versionFormat; }
    void SetVersionFormat(TWfiVersionFormat format) { m_versionFormat = format; }

    // The maker's Ed25519 public key (base64). An update is downloaded only when the page's
    // manifest carries a good signature made with it, names UpdateProduct, the page's version
    // (newer than CurrentVersion) and the file offered, and it is kept only when its size and
    // SHA-256 are the manifest's. Without a key the check still reports versions, but no
    // update can be downloaded.
    QString PublicKey() const { return m_publicKey; }
    void SetPublicKey(const QString& key) { m_publicKey = key; }
    // The product the manifest must name.
    QString UpdateProduct() const { return m_updateProduct; }
    void SetUpdateProduct(const QString& product) { m_updateProduct = product; }
    // Bounds of the information page and the read-me: bytes, and milliseconds in all.
    qint64 MaxPageBytes = DefaultMaxPageBytes;
    int PageTimeLimit = DefaultPageTimeLimit;

    // Who answers for this component, so that a test runs it without a desktop or a name
    // service: the save dialog that asks where the update goes, the shell that opens the
    // downloaded file, and the name lookups of its requests. Empty (the default): the real
    // dialog, the shell and the system resolver.
    void SetSaveFileChooser(SaveFileChooser chooser) { m_saveFileChooser = std::move(chooser); }
    void SetShellOpener(ShellOpener opener) { m_shellOpener = std::move(opener); }
    void SetNameResolver(TNameResolver::Function resolver) { m_nameResolver = std::move(resolver); }

    bool GetInfo();
    bool IsNewerVersion() const;
    bool ExecuteUpdate();
    bool ShowReadMe(bool ask);
    bool DownloadUpdateTo(const QString& fileName);
    bool DownloadFile(const QString& url, const QString& fileName, const QString& caption);

    // The client's request-done event.
    void HttpRequestDone(QObject* sender, THttpRequest rqType, std::uint16_t error);
    // The client's body-block event.
    void HttpDocData();

    // The process-wide client (null before the first request).
    static THttpCli* SharedHttpCli();
    // The file the update was downloaded to by the last DownloadUpdateTo.
    QString LocalFileName() const { return m_localFileName; }
    // The name proposed for the update: the cleaned last segment of DownloadURL.
    QString DownloadFileName() const { return m_downloadFileName; }
    // The partial file kept after the last failed or cancelled download; empty when none.
    QString KeptPartFile() const { return m_keptPartFile; }
    // The component's windows while they are open (else null).
    TPleaseWait* WaitWindow() const { return m_waitWindow.get(); }
    TWebDlProgress* ProgressWindow() const { return m_progressWindow.get(); }

signals:
    // Every block of a download: bytes received so far, and the announced size (-1 when the
    // server announced none).
    void OnDownloadProgress(QObject* sender, qint64 bytesReceived, qint64 fileSize);

private:
    // Ends the running transfer and takes the component's windows down when an operation is
    // left, whether by return or by an exception; a component deleted meanwhile (inside a
    // message loop of the operation) has done so in its destructor and is not touched.
    class Teardown {
    public:
        explicit Teardown(TWebFileInfo* owner) : m_owner(owner) {}
        ~Teardown()
        {
            if (m_owner)
                m_owner->EndTransfer();
        }
        Teardown(const Teardown&) = delete;
        Teardown& operator=(const Teardown&) = delete;

    private:
        QPointer<TWebFileInfo> m_owner;
    };

    // Routes exceptions to the component for the length of one operation: the constructor
    // installs the hook (unless the component's hook is in place already) and the destructor
    // puts the saved handler back; nothing else touches the application's handler. The first
    // EHttpException goes to the component; every other exception, any after it, and all
    // once the component is gone go to the saved handler.
    class ExceptionHook {
    public:
        explicit ExceptionHook(TWebFileInfo* owner);
        ~ExceptionHook();
        ExceptionHook(const ExceptionHook&) = delete;
        ExceptionHook& operator=(const ExceptionHook&) = delete;

    private:
        void Handle(QObject* sender, const std::exception& e);

        QPointer<TWebFileInfo> m_owner;
        Application::ExceptionHandler m_saved;
        bool m_installed = false;
        bool m_spent = false;
    };

    // The commands' work, called by them once re-entry is ruled out, and by each other.
    bool RetrieveInfo();
    bool RunUpdate();
    bool OfferReadMe(bool ask);
    bool DownloadUpdate(const QString& fileName);

    void HandleHttpException(const std::exception& e);
    // Ends the running transfer with `message` as its failure and hides its window; the
    // client is left ready for the next request.
    void FailTransfer(const QString& message);
    // Detaches the client from our stream, aborts a transfer still running and frees the wait
    // and progress windows. Never raises.
    void EndTransfer() noexcept;
    // Empty when the client's answer has status 200, else the failure's text: the server's
    // reason, or a text of ours when the answer had no status line.
    QString StatusFailure() const;
    // The client's answer failed, or ended with status 0, because it had no status line.
    bool AnswerWithoutStatusLine() const;
    void EnsureClient();
    void ConfigureProxy();
    // Starts a GET of `url` into `stream`; false (with LastError) when it may not start.
    bool StartRequest(const QString& url, QIODevice* stream);
    // Fetches `url` into memory while a "Please Wait" window shows `waitText`; false with
    // LastError when the transfer failed (the status is not judged here).
    bool FetchToMemory(const QString& url, const QString& waitText, QByteArray* body);
    bool FetchPage(const QString& url);
    void ClearValues();
    // The address a tag of the page gives, resolved against the page's own address; false
    // with LastError when it is not an http:// address. `what` names the tag for the user.
    bool TagAddress(const QString& value, const QString& what, QString* url);
    // Reads and checks the page's signed manifest; false with LastError.
    bool CheckManifest(TUpdateManifest* manifest);
    // The download's address and signed manifest, checked; false with LastError.
    bool CheckRelease(QString* url, TUpdateManifest* manifest);
    // Creates "<name>.part" afresh for writing; false with LastError.
    bool CreatePartFile(const QString& partName, QFile* part);
    void DownloadProgress();
    // A block of the download arrived: the bound of a signed update, then the progress.
    void DownloadBlock();
    // Downloads into "<fileName>.part" and renames it once complete; with a manifest the body
    // is bounded by its size and must have its hash.
    bool Download(const QString& url, const QString& fileName, const QString& caption,
                  const TUpdateManifest* manifest);
    // Fetches the read-me a tag of the page names into a "Read Me" window; null (with
    // LastError) on failure.
    std::unique_ptr<TReadMeWindow> FetchReadMeWindow(const QString& tag);

    QPointer<QWidget> m_owner;
    QPointer<QWidget> m_windowParent;
    bool m_active = false;
    QString m_currentVersion;
    TWfiDateFormat m_dateFormat = wfidDFSDate;
    QString m_homeURL;
    TWfiTags* m_infoTags;
    QString m_lastError;
    TWfiOptions m_options{wfioDisplayUI, wfioDisplayReadMe, wfioRunUpdate, wfioExitDuringUpdate};
    QString m_proxyHost;
    int m_proxyPort = 80;
    QFont m_uiFont;
    bool m_uiOwnerFont = true;
    TWfiVersionFormat m_versionFormat = wfivBuildNumber;
    QString m_publicKey = Maker::UpdatePublicKey;
    QString m_updateProduct = Maker::UpdateProduct;
    SaveFileChooser m_saveFileChooser;
    ShellOpener m_shellOpener;
    TNameResolver::Function m_nameResolver;

    TInfoPageValues m_values;
    QString m_pageURL; // the address of the page the values come from
    QDate m_productDate;
    QString m_downloadFileName;
    QString m_localFileName;
    QString m_keptPartFile;

    std::unique_ptr<TPleaseWait> m_waitWindow;
    std::unique_ptr<TWebDlProgress> m_progressWindow;
    bool m_hooked = false; // an ExceptionHook of ours is installed
    bool m_busy = false;   // a command runs
    bool m_downloading = false;
    qint64 m_downloadBound = -1;   // bytes of the signed update being downloaded; -1 = none
    bool m_transferActive = false; // a request of ours runs and its end is awaited
    bool m_requestDone = false;
    bool m_httpFault = false;  // an exception raised while the transfer ran ended it
    QString m_limitError;      // a bound of ours ended the transfer
    qint64 m_memoryLimit = -1; // bytes allowed in the running memory fetch; -1 = none
    QTimer m_limitTimer;
};
