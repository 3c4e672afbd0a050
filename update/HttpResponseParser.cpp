#include "update/HttpResponseParser.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {
char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
std::string LowerCase(std::string_view s)
{
    std::string result(s);
    std::transform(result.begin(), result.end(), result.begin(), Lower);
    return result;
}
// The text from the zero-based `start` to the end, or nothing when the line is shorter.
std::string_view From(std::string_view s, std::size_t start)
{
    return start < s.size() ? s.substr(start) : std::string_view();
}
} // namespace

void THttpResponseParser::Reset(bool headRequest)
{
    m_headRequest = headRequest;
    m_transferCoded = false;
    m_headerBytes = 0;
    m_bodyLeft = -1;
    m_held = 0;
    m_buffer[0] = 0;
    m_stopped = false;
    m_inBody = false;
    m_statusCode = 0;
    m_reasonPhrase.clear();
    m_contentLength = -1;
    m_contentType.clear();
    m_locationSeen = false;
    m_headerLines = 0;
    m_startLength = 0;
}

void THttpResponseParser::Stop()
{
    // The bytes stay as they are: a handler may stop the parser while it still reads the
    // block it was given.
    m_stopped = true;
    m_held = 0;
}

bool THttpResponseParser::ParseNumber(std::string_view text, std::int64_t& value)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::size_t end = text.size();
    while (end > i && text[end - 1] == ' ')
        --end;
    if (i < end && text[i] == '+')
        ++i;
    if (i >= end)
        return false;
    std::int64_t result = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        const int digit = text[i] - '0';
        if (result > (std::numeric_limits<std::int64_t>::max() - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

void THttpResponseParser::Feed(const char* data, std::size_t length)
{
    while (length > 0 && !m_stopped) {
        const std::size_t n = std::min(length, FreeRoom());
        std::memcpy(FreeSpace(), data, n);
        Received(n);
        data += n;
        length -= n;
    }
}

void THttpResponseParser::BodyReceived(const char* data, std::size_t length)
{
    if (!m_stopped && m_inBody)
        DeliverBody(data, length);
}

bool THttpResponseParser::StatusLineMissing() const
{
    static constexpr std::string_view statusStart = "HTTP/1.";
    for (std::size_t i = 0; i < m_startLength && i < statusStart.size(); ++i)
        if (m_start[i] != statusStart[i])
            return true;
    return m_startLength > statusStart.size() &&
           (m_start[statusStart.size()] < '0' || m_start[statusStart.size()] > '9');
}

void THttpResponseParser::Received(std::size_t count)
{
    if (m_stopped)
        return;
    count = std::min(count, BufferSize - m_held);
    for (std::size_t i = 0; i < count && m_startLength < sizeof m_start; ++i)
        m_start[m_startLength++] = m_buffer[m_held + i];
    m_held += count;
    m_buffer[m_held] = 0;

    if (m_inBody) {
        // The block is handed out from the buffer; the next receive overwrites it.
        const std::size_t n = m_held;
        m_held = 0;
        DeliverBody(m_buffer, n);
        return;
    }

    // Hand out every complete line; a line ends at a line feed, with or without a carriage
    // return before it. The buffer is compacted once, after the loop.
    std::size_t start = 0;
    while (start < m_held) {
        const void* lf = std::memchr(m_buffer + start, '\n', m_held - start);
        if (!lf)
            break;
        const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(lf) - m_buffer);
        std::size_t lineEnd = end;
        if (lineEnd > start && m_buffer[lineEnd - 1] == '\r')
            --lineEnd;
        HandleLine(std::string_view(m_buffer + start, lineEnd - start), start, end + 1);
        if (m_stopped || m_inBody)
            return; // the header's end handed the rest to the body already
        start = end + 1;
    }
    if (start > 0) {
        std::memmove(m_buffer, m_buffer + start, m_held - start);
        m_held -= start;
        m_buffer[m_held] = 0;
    }
    // A full buffer without a line end can never become a line: stop now instead of waiting
    // for bytes that could not be taken in.
    if (m_held == BufferSize)
        Fail(THttpError::LineTooLong);
}

void THttpResponseParser::HandleLine(std::string_view line, std::size_t lineStart, std::size_t next)
{
    ++m_headerLines;
    if (m_headerLines == 1 && m_listener)
        m_listener->HeaderBegin();
    if (m_stopped)
        return;
    // Every line is kept by the client: a server must not make it hold more than the bounds.
    m_headerBytes += next - lineStart;
    if (m_headerBytes > MaxHeaderBytes) {
        Fail(THttpError::HeaderTooLarge);
        return;
    }
    if (m_headerLines > MaxHeaderLines && !line.empty()) {
        Fail(THttpError::TooManyHeaderLines);
        return;
    }

    // A server that sends no header starts straight with the document.
    if (line.size() >= 6) {
        char head[6];
        for (std::size_t i = 0; i < 6; ++i)
            head[i] = Upper(line[i]);
        if (std::string_view(head, 6) == "<HTML>") {
            if (m_contentType.empty())
                m_contentType = "text/html";
            // The line and everything after it is the body, line ends included.
            StartBody(lineStart);
            return;
        }
    }

    if (!line.empty()) {
        HandleHeaderLine(line);
    } else if (m_locationSeen) {
        // A redirection: whatever follows the header is of no use.
        if (m_listener)
            m_listener->HeaderEnd();
        Stop();
    } else {
        StartBody(next);
    }
}

void THttpResponseParser::StartBody(std::size_t bodyStart)
{
    const bool noBody = m_headRequest || m_statusCode == 204 || m_statusCode == 304;
    if (m_transferCoded && !noBody) {
        // A chunked body read as plain bytes would put the chunk framing into the document.
        Fail(THttpError::TransferCoding);
        return;
    }
    m_inBody = true;
    if (m_listener)
        m_listener->HeaderEnd();
    if (m_stopped)
        return;
    m_bodyLeft = noBody ? 0 : m_contentLength;
    if (m_bodyLeft == 0) {
        Complete();
        return;
    }
    const std::size_t n = m_held - bodyStart;
    std::memmove(m_buffer, m_buffer + bodyStart, n);
    m_buffer[n] = 0;
    m_held = 0;
    DeliverBody(m_buffer, n);
}

void THttpResponseParser::HandleHeaderLine(std::string_view line)
{
    // A status line of any HTTP/1.x version: "HTTP/1." and one digit, then a blank or the end.
    if (line.size() >= 8 && line.substr(0, 7) == "HTTP/1." && line[7] >= '0' && line[7] <= '9' &&
        (line.size() == 8 || line[8] == ' ')) {
        std::int64_t code = 0;
        if (!ParseNumber(From(line, 9).substr(0, 3), code)) {
            Fail(THttpError::BadStatusCode);
            return;
        }
        m_statusCode = static_cast<int>(code);
        m_reasonPhrase = std::string(From(line, 13));
    } else if (const std::size_t colon = line.find(':'); colon != std::string_view::npos) {
        const std::string name = LowerCase(line.substr(0, colon));
        // The value follows the colon and one blank; a server that writes no blank loses
        // nothing of it.
        std::string_view value = From(line, colon + 1);
        if (!value.empty() && value[0] == ' ')
            value.remove_prefix(1);
        if (name == "location") {
            m_locationSeen = true;
            if (m_listener)
                m_listener->Location(value);
            if (m_stopped)
                return;
        } else if (name == "content-length") {
            std::int64_t length = 0;
            if (!ParseNumber(value, length)) {
                Fail(THttpError::BadContentLength);
                return;
            }
            // Two different lengths leave the end of the document in doubt.
            if (m_contentLength >= 0 && m_contentLength != length) {
                Fail(THttpError::ConflictingLength);
                return;
            }
            m_contentLength = length;
        } else if (name == "content-type") {
            m_contentType = LowerCase(value);
        } else if (name == "transfer-encoding") {
            std::string coding = LowerCase(value);
            coding.erase(0, coding.find_first_not_of(" \t"));
            coding.erase(coding.find_last_not_of(" \t") + 1);
            if (!coding.empty() && coding != "identity")
                m_transferCoded = true;
        }
    }
    if (m_listener)
        m_listener->HeaderLine(line);
}

void THttpResponseParser::DeliverBody(const char* data, std::size_t length)
{
    // Bytes beyond the announced length are not part of the document.
    if (m_bodyLeft >= 0 && length > static_cast<std::uint64_t>(m_bodyLeft))
        length = static_cast<std::size_t>(m_bodyLeft);
    if (length > 0 && m_listener)
        m_listener->Body(data, length);
    if (m_bodyLeft < 0 || m_stopped)
        return;
    m_bodyLeft -= static_cast<std::int64_t>(length);
    if (m_bodyLeft == 0)
        Complete();
}

void THttpResponseParser::Complete()
{
    Stop();
    if (m_listener)
        m_listener->BodyComplete();
}

void THttpResponseParser::Fail(THttpError error)
{
    Stop();
    if (m_listener)
        m_listener->Failed(error);
}
