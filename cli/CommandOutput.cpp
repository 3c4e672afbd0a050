#include "cli/CommandOutput.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes every byte to `fd`, going on after partial writes and interrupted calls.
bool WriteAll(int fd, const QByteArray& bytes, QString& error)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = SystemReason(errno);
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// True for a name that leads through links to one of this process's descriptors
// ("/dev/stdout", "/dev/fd/1"): what the shell opened there, a regular file included, is
// written in place, not replaced.
bool NamesADescriptor(const QString& fileName)
{
    QFileInfo step(fileName);
    for (int hops = 0; hops < 40; ++hops) {
        if (step.absoluteFilePath().startsWith(QLatin1String("/proc/")))
            return true;
        if (!step.isSymLink())
            return false;
        step.setFile(step.symLinkTarget());
    }
    return false;
}

// Writes to the file as it stands (a device, a pipe, a descriptor), closing it with the close
// checked.
bool WriteInPlace(const QString& fileName, const QByteArray& bytes, QString& error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = file.errorString();
        return false;
    }
    const int fd = file.handle();
    bool written = WriteAll(fd, bytes, error);
    // Regular files reach the disk before the close, so their errors come out here.
    if (written && QFileInfo(fileName).isFile() && ::fsync(fd) != 0) {
        error = SystemReason(errno);
        written = false;
    }
    file.close();
    if (written && file.error() != QFileDevice::NoError) {
        error = file.errorString();
        written = false;
    }
    return written;
}

} // namespace

bool TCommandOutput::WriteStandardOutput(const QByteArray& bytes, QString& error)
{
    bool written = WriteAll(STDOUT_FILENO, bytes, error);
    if (::close(STDOUT_FILENO) != 0 && written && errno != EBADF) {
        error = SystemReason(errno);
        written = false;
    }
    return written;
}

bool TCommandOutput::WriteFile(const QString& fileName, const QByteArray& bytes, QString& error)
{
    const QFileInfo info(fileName);
    if (NamesADescriptor(fileName) || (info.exists() && !info.isFile()))
        return WriteInPlace(fileName, bytes, error);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // Without a temporary file beside it (a folder the user cannot write) an existing file
        // could only be written in place, and a failure part way would destroy it: it is left
        // untouched instead.
        error = info.exists() ? QStringLiteral("no temporary file can be made beside it to "
                                               "replace it whole (%1); it is left as it was")
                                    .arg(file.errorString())
                              : file.errorString();
        return false;
    }
    // The bytes go straight to the temporary file's descriptor: QSaveFile takes a short write
    // on a full disk for success. commit() then syncs and renames. A QSaveFile destroyed
    // uncommitted removes its temporary file, and the old file stays.
    if (!WriteAll(file.handle(), bytes, error))
        return false;
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
