// The receive side of the HTTP client, kept apart from the socket so that it can be tested and
// fuzzed on bytes in memory: the 8192-byte receive buffer, its split into header lines, the
// header fields the client uses, and the body blocks that follow the header.
//
// The header is bounded (MaxHeaderBytes, MaxHeaderLines). A body of announced length ends when
// that many bytes have arrived (BodyComplete); anything after it is dropped. A HEAD answer and
// the statuses 204 and 304 have no body at all.
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
    // Bounds of a whole header, line ends included.
    static constexpr std::size_t MaxHeaderBytes = 1024 * 1024;
    static constexpr int MaxHeaderLines = 1000;

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
        // One block of the body: at most BufferSize bytes from the receive buffer, or as
        // many as BodyReceived() was given.
        virtual void Body(const char* data, std::size_t length)
        {
            (void)data;
            (void)length;
        }
        // The whole document has arrived (the announced length, or an answer without body);
        // the parser has stopped.
        virtual void BodyComplete() {}
        // The response cannot be read any further; the parser has stopped.
        virtual void Failed(THttpError error) { (void)error; }
    };

    explicit THttpResponseParser(Listener* listener = nullptr) : m_listener(listener) {}

    void SetListener(Listener* listener) { m_listener = listener; }

    // Forgets everything: a new response starts in the header. The answer to a HEAD request
    // has no body, whatever its header says.
    void Reset(bool headRequest = false);
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
    // Body bytes received outside the buffer (only while InBody()), handed out as one block.
    void BodyReceived(const char* data, std::size_t length);

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
    // Bytes of the answer have arrived and they cannot begin an HTTP/1.x status line: the
    // server sent no header at all, or a header without its first line.
    bool StatusLineMissing() const;
    int HeaderLineCount() const { return m_headerLines; }
    // A Transfer-Encoding other than identity was announced.
    bool TransferCoded() const { return m_transferCoded; }

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
    void Complete();
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
    bool m_transferCoded = false;
    bool m_headRequest = false;
    int m_headerLines = 0;
    std::size_t m_headerBytes = 0;
    std::int64_t m_bodyLeft = -1; // body bytes still to come, -1 = until the close
    char m_start[8]{};            // the first bytes of the answer
    std::size_t m_startLength = 0;
};
