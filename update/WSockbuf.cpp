#include "update/WSockbuf.h"

#include <algorithm>
#include <cstring>

TBuffer::TBuffer(int size)
    : m_buf(new char[static_cast<std::size_t>(size > 0 ? size : DefaultSize)]),
      m_bufSize(size > 0 ? size : DefaultSize)
{
}

void TBuffer::SetSize(int size)
{
    if (size <= 0)
        size = DefaultSize;
    std::unique_ptr<char[]> block(new char[static_cast<std::size_t>(size)]);
    const int keep = std::min(m_wrCount, size);
    std::memcpy(block.get(), m_buf.get(), static_cast<std::size_t>(keep));
    m_buf = std::move(block);
    m_bufSize = size;
    m_wrCount = keep;
    m_rdCount = std::min(m_rdCount, keep);
}

int TBuffer::Write(const void* data, int length)
{
    const int n = std::max(0, std::min(length, m_bufSize - m_wrCount));
    std::memcpy(m_buf.get() + m_wrCount, data, static_cast<std::size_t>(n));
    m_wrCount += n;
    return n;
}

const char* TBuffer::Peek(int& length) const
{
    length = m_wrCount - m_rdCount;
    return length > 0 ? m_buf.get() + m_rdCount : nullptr;
}

void TBuffer::Remove(int count)
{
    m_rdCount += std::max(0, std::min(count, m_wrCount - m_rdCount));
    if (m_rdCount >= m_wrCount)
        m_rdCount = m_wrCount = 0;
}
