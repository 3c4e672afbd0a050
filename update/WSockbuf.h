// One chunk of a socket's send queue: a fixed-size block that is filled at the end and sent
// from the front.
#pragma once

#include <cstddef>
#include <memory>

class TBuffer {
public:
    static constexpr int DefaultSize = 1514; // bytes: one Ethernet frame

    // A size of 0 or less means DefaultSize.
    explicit TBuffer(int size = DefaultSize);

    int Size() const { return m_bufSize; }
    // Changes the block size; the bytes written so far are kept (cut to the new size).
    void SetSize(int size);

    // Copies as much of `data` as fits; returns the number of bytes copied.
    int Write(const void* data, int length);
    // The bytes written but not sent yet; `length` receives their count (0 gives null).
    const char* Peek(int& length) const;
    // Marks `count` bytes as sent; once everything is sent the block is empty again.
    void Remove(int count);

    int WrCount() const { return m_wrCount; }
    int RdCount() const { return m_rdCount; }

private:
    std::unique_ptr<char[]> m_buf;
    int m_bufSize;
    int m_wrCount = 0; // bytes written
    int m_rdCount = 0; // bytes already sent, from the front
};
