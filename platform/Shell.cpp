#include "platform/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {
ShellOpenHook& Hook()
{
    static ShellOpenHook hook;
    return hook;
}

constexpr int shellSuccess = 42;
} // namespace

void SetShellOpenHook(ShellOpenHook hook)
{
    Hook() = std::move(hook);
}

int ShellExecute(const ShellOpenRequest& request)
{
    if (Hook())
        return Hook()(request);
    if (qEnvironmentVariableIsSet("TALLYHORN_TEST") || request.file.isEmpty())
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
