#include "tests/support/FailingDevice.h"

FailingDevice::FailingDevice(qint64 capacity, QString reason)
    : m_capacity(capacity), m_reason(std::move(reason))
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 FailingDevice::writeData(const char* data, qint64 length)
{
    const qint64 room = m_capacity - m_written.size();
    if (room <= 0) {
        ++m_refused;
        setErrorString(m_reason);
        return -1;
    }
    const qint64 taken = std::min(room, length);
    m_written.append(data, taken);
    return taken;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &m_previous);
    m_previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_previous;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_previousSignal);
}
