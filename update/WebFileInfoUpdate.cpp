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
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QStandardPaths>
#include <cstdio>

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

bool TWebFileInfo::ExecuteUpdate()
{
    Teardown teardown(this);
    if (!GetInfo()) {
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
        ShowReadMe(true);
    if (!AskYesNo("Update Available", QString("Current version is %1.\rVersion %2 is available.")
                                              .arg(m_currentVersion, m_values.Version) +
                                          "\r" + "Download the update?",
                  WindowParent()))
        return false;

    SaveFileRequest request;
    request.caption = "Save As";
    request.fileName = m_downloadFileName;
    request.directory = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!QDir(request.directory).exists())
        request.directory = QDir::homePath();
    for (int i = 0; i < 3; ++i)
        request.filters.append(FileFilter{saveFilterTexts[i], {saveFilterPatterns[i]}});
    request.owner = WindowParent();
    const SaveFileAnswer answer = SaveFileDialog(request);
    if (!answer.accepted)
        return false;
    QString fileName = answer.fileName;
    if (!fileName.endsWith('/') && QFileInfo(fileName).suffix().isEmpty()) {
        if (answer.filterIndex == 1)
            fileName += ".EXE";
        else if (answer.filterIndex == 2)
            fileName += ".ZIP";
    }

    if (!DownloadUpdateTo(fileName)) {
        QString text = m_lastError.isEmpty()
                           ? QString("Error occurred while downloading update.\rError unknown.")
                           : QString("Error occurred while downloading update.\rError: \"%1.\"")
                                 .arg(m_lastError);
        if (!m_keptPartFile.isEmpty())
            text += QString("\rThe part received is kept as %1.").arg(m_keptPartFile);
        Warn("Download Error", text, WindowParent());
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
    if (ShellExecute(open) > 32) {
        if (exitDuringUpdate)
            QMetaObject::invokeMethod(
                qApp, [] { TNoCloseDialog::CloseAllWindows(); }, Qt::QueuedConnection);
        return true;
    }
    Warn("Error", "Can not start program.", WindowParent());
    return true;
}

bool TWebFileInfo::ShowReadMe(bool ask)
{
    if (!(m_active || GetInfo()))
        return false;
    if (m_values.ReadMe.isEmpty() && m_values.ReadMeExt.isEmpty())
        return false;
    if (ask &&
        !AskYesNo("Update Available", QString("Current version is %1.\rVersion %2 is available.")
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

bool TWebFileInfo::DownloadUpdateTo(const QString& fileName)
{
    if (!(m_active || GetInfo()))
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
    return Download(m_values.DownloadURL, m_localFileName, "Downloading Update", true);
}

bool TWebFileInfo::DownloadFile(const QString& url, const QString& fileName, const QString& caption)
{
    return Download(url, fileName, caption, false);
}

void TWebFileInfo::DownloadProgress()
{
    const qint64 received = SharedHttpCli()->BytesReceived();
    const qint64 size = SharedHttpCli()->ContentLength();
    if (m_progressWindow)
        m_progressWindow->ShowProgress(received, size);
    emit OnDownloadProgress(this, received, size);
}

bool TWebFileInfo::Download(const QString& url, const QString& fileName, const QString& caption,
                            bool checkSignature)
{
    ExceptionHook hook(this);
    Teardown teardown(this);
    EnsureClient();
    ConfigureProxy();
    m_keptPartFile.clear();
    m_lastError.clear();

    // The file gets its name only once it is complete (and, for an update, verified).
    const QString partName = fileName + ".part";
    QFile part(partName);
    if (!part.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_lastError = QString("Cannot write %1: %2").arg(partName, part.errorString());
        return false;
    }
    SharedHttpCli()->OnDocData = [this](QObject*, const char*, int) { DownloadProgress(); };
    if (!StartRequest(url, &part)) {
        SharedHttpCli()->OnDocData = nullptr;
        const QString reason = m_lastError;
        part.close();
        QFile::remove(partName);
        m_lastError = reason;
        return false;
    }
    m_progressWindow =
        std::make_unique<TWebDlProgress>(SharedHttpCli(), UIFont(), WindowParent());
    m_progressWindow->lblDownloading->setText(caption);
    if (!m_requestDone)
        m_progressWindow->ShowModal();
    m_progressWindow.reset();
    SharedHttpCli()->OnDocData = nullptr;
    SharedHttpCli()->SetResponseStream(nullptr);
    const bool writeFailed = part.error() != QFileDevice::NoError || !part.flush();
    part.close();

    bool ok = false;
    const qint64 announced = SharedHttpCli()->ContentLength();
    if (m_httpFault) {
        // LastError holds the exception's message.
    } else if (SharedHttpCli()->StatusCode() != 200) {
        m_lastError = StatusFailure();
    } else if (announced >= 0 && SharedHttpCli()->BytesReceived() != announced) {
        m_lastError = QString("The download ended after %1 of %2 bytes")
                          .arg(InfoPage::FormatThousands(SharedHttpCli()->BytesReceived()),
                               InfoPage::FormatThousands(announced));
    } else if (writeFailed) {
        m_lastError = QString("Cannot write %1: %2").arg(partName, part.errorString());
    } else {
        ok = true;
    }
    if (!ok) {
        // What arrived is kept for the user; an empty file holds nothing worth keeping.
        if (QFileInfo(partName).size() > 0)
            m_keptPartFile = partName;
        else
            QFile::remove(partName);
        return false;
    }
    if (checkSignature && !m_publicKey.isEmpty()) {
        const auto verdict = UpdateSignature::Verify(partName, m_values.Signature, m_publicKey);
        if (verdict != UpdateSignature::Result::Good) {
            QFile::remove(partName);
            m_lastError = UpdateSignature::Describe(verdict) + "; the file was removed";
            return false;
        }
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
