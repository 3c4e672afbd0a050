// The receive side of the HTTP client, kept apart from the socket so that it can be tested and
// fuzzed on bytes in memory: the 8192-byte receive buffer, its split into header lines, the
// header fields the client uses, and the body blocks that follow the header.
#pragma once

#include "update/HttpError.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class THttpResponseParser {
public:
    // Receive buffer size in bytes; a header line (with its line end) must fit in it.
    static constexpr std::size_t BufferSize = 8192;

    // What the parser finds, in the order the bytes arrive. A handler may call Stop() (or
    // Reset()); the parser then hands out nothing more from the bytes it holds.
    class Listener {
    public:
        virtual ~Listener() = default;
        // The first header line arrived.
        virtual void HeaderBegin() {}
        // A non-empty header line, after its fields have been read into the parser.
        virtual void HeaderLine(std::string_view line) { (void)line; }
        // A Location field (its value as written, after the colon and one blank).
        virtual void Location(std::string_view value) { (void)value; }
        // The header is over. With LocationSeen() no body follows (a redirection); otherwise
        // the body blocks follow, the first one possibly at once.
        virtual void HeaderEnd() {}
        // One block of the body, at most BufferSize bytes.
        virtual void Body(const char* data, std::size_t length)
        {
            (void)data;
            (void)length;
        }
        // The response cannot be read any further; the parser has stopped.
        virtual void Failed(THttpError error) { (void)error; }
    };

    explicit THttpResponseParser(Listener* listener = nullptr) : m_listener(listener) {}

    void SetListener(Listener* listener) { m_listener = listener; }

    // Forgets everything: a new response starts in the header.
    void Reset();
    // Drops the held bytes and ignores whatever arrives until Reset().
    void Stop();
    bool Stopped() const { return m_stopped; }

    // Where the next received bytes go and how many fit (0 when stopped).
    char* FreeSpace() { return m_buffer + m_held; }
    std::size_t FreeRoom() const { return m_stopped ? 0 : BufferSize - m_held; }
    // `count` bytes were written at FreeSpace(); hands out what they complete.
    void Received(std::size_t count);
    // Copies `length` bytes in, as many receives as the buffer needs.
    void Feed(const char* data, std::size_t length);

    bool InBody() const { return m_inBody; }
    std::size_t Held() const { return m_held; }

    // Fields of the response so far.
    int StatusCode() const { return m_statusCode; }
    const std::string& ReasonPhrase() const { return m_reasonPhrase; }
    // Bytes announced by Content-Length, or -1 without that field.
    std::int64_t ContentLength() const { return m_contentLength; }
    // Lower-cased; "text/html" for a server that sends no header.
    const std::string& ContentType() const { return m_contentType; }
    bool LocationSeen() const { return m_locationSeen; }
    int HeaderLineCount() const { return m_headerLines; }

    // The whole decimal number in `text` (blanks around it allowed), or false.
    static bool ParseNumber(std::string_view text, std::int64_t& value);

private:
    // `lineStart` and `next` are offsets in the buffer: where the line starts and where the
    // byte after its line feed is.
    void HandleLine(std::string_view line, std::size_t lineStart, std::size_t next);
    void HandleHeaderLine(std::string_view line);
    // Switches to the body; the held bytes from `bodyStart` on are its first block.
    void StartBody(std::size_t bodyStart);
    void DeliverBody(const char* data, std::size_t length);
    void Fail(THttpError error);

    Listener* m_listener;
    char m_buffer[BufferSize + 1]{}; // one more for the terminating zero byte
    std::size_t m_held = 0;
    bool m_stopped = false;
    bool m_inBody = false;
    int m_statusCode = 0;
    std::string m_reasonPhrase;
    std::int64_t m_contentLength = -1;
    std::string m_contentType;
    bool m_locationSeen = false;
    int m_headerLines = 0;
};
