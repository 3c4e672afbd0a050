// Failing writes for the tests of the paths that store what arrives: a device that fills up,
// and a limit on the size of the files this process writes.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <csignal>
#include <sys/resource.h>

// A write-only device that takes `capacity` bytes and then refuses, with `reason` as its error
// text, as a file on a full disk does: the write that crosses the capacity stores what fits
// and fails, and so does every write after it.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 capacity, QString reason = "No space left on device");
    QByteArray Written() const { return m_written; }
    int RefusedWrites() const { return m_refused; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override;

private:
    qint64 m_capacity;
    QString m_reason;
    QByteArray m_written;
    int m_refused = 0;
};

// While it lives, no file this process writes grows beyond `bytes`: a write past the limit
// stores what fits and the next one fails with "File too large" (the signal that would end
// the process meanwhile is ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_previousSignal)(int) = SIG_DFL;
};
