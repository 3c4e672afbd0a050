#include "app/CommandOutput.h"

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

// Writes to the file as it stands (a device, a pipe, or a file in a folder that cannot be
// written), closing it with the close checked.
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
    if (info.exists() && !info.isFile())
        return WriteInPlace(fileName, bytes, error);
    if (info.exists() && !QFileInfo(info.absolutePath()).isWritable()) {
        if (WriteInPlace(fileName, bytes, error))
            return true;
        QFile::remove(fileName); // cut short: no half a file
        return false;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = file.errorString();
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
