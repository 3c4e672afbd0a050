// TWebFileInfo: the interactive update, the read-me and the downloads.
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/NoCloseDialog.h"
#include "platform/Shell.h"
#include "update/ReadMeWindow.h"
#include "update/UpdateSignature.h"
#include "update/WebDlProgress.h"
#include "update/WebFileInfo.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool AskYesNo(const QString& caption, const QString& text, QWidget* owner)
{
    return MessageBox(text, caption, MessageIcon::Question, MessageButtons::YesNo, owner) ==
           ModalResult::mrYes;
}

void Warn(const QString& caption, const QString& text, QWidget* owner)
{
    MessageBox(text, caption, MessageIcon::Warning, MessageButtons::Ok, owner);
}

const char* const saveFilterTexts[] = {"Application (*.EXE)", "Zipped File", "All Files (*.*)"};
const char* const saveFilterPatterns[] = {"*.EXE", "*.ZIP", "*.*"};
} // namespace

bool TWebFileInfo::RunUpdate()
{
    Teardown teardown(this);
    if (!RetrieveInfo()) {
        Warn("Connection Error",
             m_lastError.isEmpty()
                 ? QString("Could not retrieve version information from the Internet.\r"
                           "Error unknown.")
                 : QString("Could not retrieve version information from the Internet.\r"
                           "Error: \"%1.\"")
                       .arg(m_lastError),
             WindowParent());
        return false;
    }
    if (!IsNewerVersion()) {
        MessageBox("There is no update available.", "No Update Found", MessageIcon::Information,
                   MessageButtons::Ok, WindowParent());
        return false;
    }
    if (m_options.Contains(wfioDisplayReadMe))
        OfferReadMe(true);
    if (!AskYesNo("Update Available",
                  QString("Current version is %1.\rVersion %2 is available.")
                          .arg(m_currentVersion, m_values.Version) +
                      "\r" + "Download the update?",
                  WindowParent()))
        return false;
    // `refused`: the release was refused before anything was downloaded.
    const auto downloadError = [this](bool refused = false) {
        const QString first = refused ? QString("The update cannot be downloaded.")
                                      : QString("Error occurred while downloading update.");
        QString text = m_lastError.isEmpty() ? first + "\rError unknown."
                                             : first + QString("\rError: \"%1.\"").arg(m_lastError);
        if (!m_keptPartFile.isEmpty())
            text += QString("\rThe part received is kept as %1.").arg(m_keptPartFile);
        Warn("Download Error", text, WindowParent());
    };
    // A release that would be refused is refused before the user is asked where to save it.
    {
        QString url;
        TUpdateManifest manifest;
        m_keptPartFile.clear();
        if (!CheckRelease(&url, &manifest)) {
            downloadError(true);
            return false;
        }
    }

    SaveFileRequest request;
    request.caption = "Save As";
    request.fileName = m_downloadFileName;
    request.directory = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!QDir(request.directory).exists())
        request.directory = QDir::homePath();
    for (int i = 0; i < 3; ++i)
        request.filters.append(FileFilter{saveFilterTexts[i], {saveFilterPatterns[i]}});
    request.owner = WindowParent();
    const SaveFileAnswer answer = ChooseSaveFile(m_saveFileChooser, request);
    if (!answer.accepted)
        return false;
    QString fileName = answer.fileName;
    if (!fileName.endsWith('/') && QFileInfo(fileName).suffix().isEmpty()) {
        if (answer.filterIndex == 1)
            fileName += ".EXE";
        else if (answer.filterIndex == 2)
            fileName += ".ZIP";
    }

    if (!DownloadUpdate(fileName)) {
        downloadError();
        return false;
    }
    if (!m_options.Contains(wfioRunUpdate))
        return true;

    const bool exitDuringUpdate = m_options.Contains(wfioExitDuringUpdate);
    const QString question =
        exitDuringUpdate
            ? QString("Do you want to install the update now?\rThis will close %1.")
                  .arg(Application::instance() ? Application::instance()->Title() : QString())
            : QString("Do you want to install the update now?");
    if (!AskYesNo("Install Update", question, WindowParent()))
        return true;

    // The desktop opens the file with the program it is associated with. Run parameters
    // cannot be passed that way, and the file is never made executable here.
    ShellOpenRequest open;
    open.file = m_localFileName;
    open.show = ShellShowMode::ShowNormal;
    open.owner = WindowParent();
    if (ShellOpen(m_shellOpener, open) > 32) {
        if (exitDuringUpdate)
            QMetaObject::invokeMethod(
                qApp, [] { TNoCloseDialog::CloseAllWindows(); }, Qt::QueuedConnection);
        return true;
    }
    Warn("Error", "Can not start program.", WindowParent());
    return true;
}

bool TWebFileInfo::OfferReadMe(bool ask)
{
    if (!(m_active || RetrieveInfo()))
        return false;
    if (m_values.ReadMe.isEmpty() && m_values.ReadMeExt.isEmpty())
        return false;
    if (ask && !AskYesNo("Update Available",
                         QString("Current version is %1.\rVersion %2 is available.")
                                 .arg(m_currentVersion, m_values.Version) +
                             "\r" + "Would you like to view the ReadMe file?",
                         WindowParent()))
        return false;

    // Both read-mes are shown as text in the read-me window: nothing the server sends is handed
    // to another program. The one of the read-me-ext tag comes first, the plain one stands in
    // when it cannot be fetched.
    for (const QString& url : {m_values.ReadMeExt, m_values.ReadMe}) {
        if (url.isEmpty())
            continue;
        if (std::unique_ptr<TReadMeWindow> window = FetchReadMeWindow(url)) {
            window->exec();
            break;
        }
    }
    return true;
}

bool TWebFileInfo::DownloadUpdate(const QString& fileName)
{
    if (!(m_active || RetrieveInfo()))
        return false;
    m_localFileName = fileName.endsWith('/') ? fileName + m_downloadFileName : fileName;
    m_keptPartFile.clear();
    if (m_localFileName.endsWith('/')) {
        m_lastError = "The download address names no file";
        return false;
    }
    if (!m_options.Contains(wfioAlwaysOverwrite) && !m_options.Contains(wfioDisplayUI) &&
        QFileInfo::exists(m_localFileName) &&
        !AskYesNo("File Exists",
                  QString("The file %1 already exists.\rDo you want to overwrite it?")
                      .arg(m_localFileName),
                  WindowParent()))
        return false;
    // Everything about the file is settled before a byte of it is fetched.
    QString url;
    TUpdateManifest manifest;
    if (!CheckRelease(&url, &manifest))
        return false;
    return Download(url, m_localFileName, "Downloading Update", &manifest);
}

bool TWebFileInfo::CheckRelease(QString* url, TUpdateManifest* manifest)
{
    return TagAddress(m_values.DownloadURL, "download", url) && CheckManifest(manifest);
}

bool TWebFileInfo::CheckManifest(TUpdateManifest* manifest)
{
    const auto verdict = UpdateSignature::VerifyManifest(m_values.Manifest, m_values.Signature,
                                                         m_publicKey, manifest);
    if (verdict != UpdateSignature::Result::Good) {
        m_lastError = UpdateSignature::Describe(verdict);
        return false;
    }
    // A release genuinely signed but older, for another product or another file is refused:
    // the page itself is not signed.
    const bool newer = m_versionFormat == wfivSimpleString
                           ? QString::compare(manifest->Version, m_currentVersion) > 0
                           : InfoPage::IsNewerBuildNumber(m_currentVersion, manifest->Version);
    if (manifest->Product != m_updateProduct)
        m_lastError =
            QString("The signed update is for another product (%1)").arg(manifest->Product);
    else if (manifest->Version != m_values.Version)
        m_lastError = QString("The signed update is version %1, not the version %2 the page "
                              "announces")
                          .arg(manifest->Version, m_values.Version);
    else if (!newer)
        m_lastError = QString("The signed update is version %1, which is not newer than %2")
                          .arg(manifest->Version, m_currentVersion);
    else if (m_downloadFileName.isEmpty())
        m_lastError = "The page offers no usable file name for the update";
    else if (manifest->FileName != m_downloadFileName)
        m_lastError = QString("The signed update is the file %1, not the %2 the page offers")
                          .arg(manifest->FileName, m_downloadFileName);
    else
        return true;
    return false;
}

bool TWebFileInfo::CreatePartFile(const QString& partName, QFile* part)
{
    // Never written through a link: a regular file of ours (a part left by an earlier try) is
    // removed, anything else of that name is left alone, and the file is made afresh.
    const QByteArray path = QFile::encodeName(partName);
    struct stat status;
    if (lstat(path.constData(), &status) == 0) {
        if (!S_ISREG(status.st_mode) || status.st_uid != geteuid()) {
            m_lastError = QString("%1 already exists and is not a file of yours, so it was left "
                                  "alone")
                              .arg(partName);
            return false;
        }
        if (unlink(path.constData()) != 0 && errno != ENOENT) {
            m_lastError = QString("Cannot remove %1: %2").arg(partName, std::strerror(errno));
            return false;
        }
    }
    const int fd = open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 || !part->open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        m_lastError = QString("Cannot write %1: %2").arg(partName, std::strerror(errno));
        if (fd >= 0)
            close(fd);
        return false;
    }
    return true;
}

void TWebFileInfo::DownloadProgress()
{
    const qint64 received = SharedHttpCli()->BytesReceived();
    const qint64 size = SharedHttpCli()->ContentLength();
    if (m_progressWindow)
        m_progressWindow->ShowProgress(received, size);
    emit OnDownloadProgress(this, received, size);
}

void TWebFileInfo::DownloadBlock()
{
    THttpCli* cli = SharedHttpCli();
    const qint64 bound = m_downloadBound;
    // Nothing beyond the signed size is written: the block that passes it is not stored.
    if (bound >= 0 && m_limitError.isEmpty() &&
        (cli->ContentLength() > bound || cli->BytesReceived() > bound)) {
        m_limitError = QString("The download is larger than the %1 bytes of the signed update")
                           .arg(InfoPage::FormatThousands(bound));
        cli->SetResponseStream(nullptr);
        cli->Abort();
        return;
    }
    DownloadProgress();
}

bool TWebFileInfo::Download(const QString& url, const QString& fileName, const QString& caption,
                            const TUpdateManifest* manifest)
{
    ExceptionHook hook(this);
    Teardown teardown(this);
    EnsureClient();
    ConfigureProxy();
    m_keptPartFile.clear();
    m_lastError.clear();

    // The file gets its name only once it is complete (and, for an update, verified).
    const QString partName = fileName + ".part";
    QFile part;
    if (!CreatePartFile(partName, &part))
        return false;
    const qint64 bound = manifest ? manifest->Size : -1;
    m_downloadBound = bound;
    m_downloading = true;
    if (!StartRequest(url, &part)) {
        m_downloading = false;
        const QString reason = m_lastError;
        part.close();
        QFile::remove(partName);
        m_lastError = reason;
        return false;
    }
    m_progressWindow = std::make_unique<TWebDlProgress>(SharedHttpCli(), UIFont(), WindowParent());
    m_progressWindow->lblDownloading->setText(caption);
    if (!m_requestDone)
        m_progressWindow->ShowModal();
    m_progressWindow.reset();
    m_downloading = false;
    SharedHttpCli()->SetResponseStream(nullptr);
    const bool writeFailed = part.error() != QFileDevice::NoError || !part.flush();

    bool ok = false;
    const qint64 received = SharedHttpCli()->BytesReceived();
    const qint64 announced = bound >= 0 ? bound : SharedHttpCli()->ContentLength();
    if (!m_limitError.isEmpty()) {
        m_lastError = m_limitError;
    } else if (m_httpFault) {
        // LastError holds the exception's message.
    } else if (SharedHttpCli()->StatusCode() != 200) {
        m_lastError = StatusFailure();
    } else if (announced >= 0 && received != announced) {
        m_lastError =
            QString("The download ended after %1 of %2 bytes")
                .arg(InfoPage::FormatThousands(received), InfoPage::FormatThousands(announced));
    } else if (writeFailed) {
        m_lastError = QString("Cannot write %1: %2").arg(partName, part.errorString());
    } else {
        ok = true;
    }
    // The bytes on disk, read back through the file written, must be the signed ones.
    bool signedBytes = true;
    if (ok && manifest) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        signedBytes = part.seek(0) && hash.addData(&part) && part.pos() == manifest->Size &&
                      hash.result() == manifest->Sha256;
    }
    part.close();
    if (!ok) {
        // What arrived is kept for the user; an empty file, or one beyond the signed size,
        // holds nothing worth keeping.
        if (m_limitError.isEmpty() && QFileInfo(partName).size() > 0)
            m_keptPartFile = partName;
        else
            QFile::remove(partName);
        return false;
    }
    if (!signedBytes) {
        QFile::remove(partName);
        m_lastError = "The download is not the file its maker signed; the file was removed";
        return false;
    }
    // rename() replaces a file of the final name in one step.
    if (std::rename(QFile::encodeName(partName).constData(),
                    QFile::encodeName(fileName).constData()) != 0) {
        m_lastError = QString("Cannot rename %1 to %2").arg(partName, fileName);
        m_keptPartFile = partName;
        return false;
    }
    return true;
}
