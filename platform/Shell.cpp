#include "platform/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

namespace {
constexpr int shellSuccess = 42;
} // namespace

bool NoDesktop()
{
    return qEnvironmentVariableIsSet("TALLYHORN_TEST") ||
           QGuiApplication::platformName() == QLatin1String("offscreen") ||
           QGuiApplication::platformName() == QLatin1String("minimal");
}

int ShellOpen(const ShellOpener& opener, const ShellOpenRequest& request)
{
    return opener ? opener(request) : ShellExecute(request);
}

int ShellExecute(const ShellOpenRequest& request)
{
    // Tests run without a desktop: nothing may be opened on the machine running them.
    if (NoDesktop() || request.file.isEmpty())
        return ShellErrorFileNotFound;

    const QFileInfo local(request.file);
    if (local.isAbsolute() && local.isFile() && local.isExecutable()) {
        // A program is started with its parameters; the desktop opener could not pass them.
        const bool started = QProcess::startDetached(
            local.absoluteFilePath(), QProcess::splitCommand(request.parameters),
            request.directory.isEmpty() ? QDir::currentPath() : request.directory);
        return started ? shellSuccess : ShellErrorFileNotFound;
    }
    const QUrl url =
        local.isAbsolute() ? QUrl::fromLocalFile(request.file) : QUrl::fromUserInput(request.file);
    if (!url.isValid())
        return ShellErrorFileNotFound;
    return QDesktopServices::openUrl(url) ? shellSuccess : ShellErrorFileNotFound;
}
