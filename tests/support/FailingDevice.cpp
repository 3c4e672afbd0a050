#include "tests/support/FailingDevice.h"

#include <algorithm>

FailingDevice::FailingDevice(qint64 capacity, QString reason)
    : m_capacity(capacity), m_reason(std::move(reason))
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 FailingDevice::writeData(const char* data, qint64 length)
{
    const qint64 taken = std::clamp(m_capacity - m_written.size(), qint64(0), length);
    m_written.append(data, taken);
    if (taken == length)
        return length;
    ++m_refused;
    setErrorString(m_reason);
    return -1;
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
