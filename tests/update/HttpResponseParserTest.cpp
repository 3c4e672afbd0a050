// The receive side of the HTTP client on bytes in memory: lines, fields, the body and the
// faults of hostile servers, independent of any socket.
#include "update/HttpResponseParser.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
// Writes down everything the parser reports, one entry per event.
struct Recorder : THttpResponseParser::Listener {
    std::vector<std::string> events;
    std::string body;
    void HeaderBegin() override { events.push_back("begin"); }
    void HeaderLine(std::string_view line) override
    {
        events.push_back("line:" + std::string(line));
    }
    void Location(std::string_view value) override
    {
        events.push_back("location:" + std::string(value));
    }
    void HeaderEnd() override { events.push_back("end"); }
    void Body(const char* data, std::size_t length) override { body.append(data, length); }
    void Failed(THttpError error) override { events.push_back("failed:" + to_string(error)); }
};

// Feeds `bytes` in receives of `chunk` bytes.
void FeedInChunks(THttpResponseParser& parser, const std::string& bytes, std::size_t chunk)
{
    for (std::size_t i = 0; i < bytes.size() && !parser.Stopped(); i += chunk)
        parser.Feed(bytes.data() + i, std::min(chunk, bytes.size() - i));
}
} // namespace

struct ParserRow {
    const char* name;
    std::string bytes;
    int statusCode;
    std::string reason;
    long long contentLength;
    std::string contentType;
    std::string body;
    std::vector<std::string> events;
};

class ParserResponses : public testing::TestWithParam<ParserRow> {};

// Whatever the receive sizes, the parser reads the same response.
TEST_P(ParserResponses, ReadTheSameInAnySplit)
{
    const ParserRow& row = GetParam();
    for (const std::size_t chunk :
         {std::size_t{1}, std::size_t{3}, std::size_t{17}, row.bytes.size()}) {
        Recorder recorder;
        THttpResponseParser parser(&recorder);
        FeedInChunks(parser, row.bytes, chunk);
        SCOPED_TRACE("chunk " + std::to_string(chunk));
        EXPECT_EQ(parser.StatusCode(), row.statusCode);
        EXPECT_EQ(parser.ReasonPhrase(), row.reason);
        EXPECT_EQ(parser.ContentLength(), row.contentLength);
        EXPECT_EQ(parser.ContentType(), row.contentType);
        EXPECT_EQ(recorder.body, row.body);
        EXPECT_EQ(recorder.events, row.events);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Http, ParserResponses,
    testing::Values(
        ParserRow{"StatusFieldsAndBody",
                  "HTTP/1.0 200 OK\r\nContent-Length: 5\r\nContent-Type: Text/Plain\r\n\r\nhello",
                  200,
                  "OK",
                  5,
                  "text/plain",
                  "hello",
                  {"begin", "line:HTTP/1.0 200 OK", "line:Content-Length: 5",
                   "line:Content-Type: Text/Plain", "end"}},
        ParserRow{"BareLineFeeds",
                  "HTTP/1.1 404 Not Found\nX: y\n\nbody\r\n",
                  404,
                  "Not Found",
                  -1,
                  "",
                  "body\r\n",
                  {"begin", "line:HTTP/1.1 404 Not Found", "line:X: y", "end"}},
        ParserRow{"NoHeaderAtAll",
                  "<HTML>\r\n<p>x</p>\n</html>",
                  0,
                  "",
                  -1,
                  "text/html",
                  "<HTML>\r\n<p>x</p>\n</html>",
                  {"begin", "end"}},
        ParserRow{"HtmlStartTagInAnyCase",
                  "<hTmL><body>x\r\n",
                  0,
                  "",
                  -1,
                  "text/html",
                  "<hTmL><body>x\r\n",
                  {"begin", "end"}},
        ParserRow{"OtherVersionIsAnOrdinaryLine",
                  "HTTP/2.0 200 OK\r\n\r\nz",
                  0,
                  "",
                  -1,
                  "",
                  "z",
                  {"begin", "line:HTTP/2.0 200 OK", "end"}},
        ParserRow{"FieldsWithoutABlankAfterTheColon",
                  "HTTP/1.0 200 OK\r\nContent-Length:12\r\nLocation:/x\r\n\r\n",
                  200,
                  "OK",
                  12,
                  "",
                  "",
                  {"begin", "line:HTTP/1.0 200 OK", "line:Content-Length:12", "location:/x",
                   "line:Location:/x", "end"}},
        ParserRow{"ShortStatusLine",
                  "HTTP/1.0 301\r\n\r\n",
                  301,
                  "",
                  -1,
                  "",
                  "",
                  {"begin", "line:HTTP/1.0 301", "end"}},
        ParserRow{
            "LocationStopsAtTheEndOfTheHeader",
            "HTTP/1.0 302 Found\r\nLocation: /next\r\n\r\nignored body",
            302,
            "Found",
            -1,
            "",
            "",
            {"begin", "line:HTTP/1.0 302 Found", "location:/next", "line:Location: /next", "end"}},
        ParserRow{"BodyBytesMayLookLikeHeaderLines",
                  "HTTP/1.0 200 OK\r\n\r\nHTTP/1.0 500 No\r\nContent-Length: 1\r\n\r\n",
                  200,
                  "OK",
                  -1,
                  "",
                  "HTTP/1.0 500 No\r\nContent-Length: 1\r\n\r\n",
                  {"begin", "line:HTTP/1.0 200 OK", "end"}},
        ParserRow{"NonNumericStatus",
                  "HTTP/1.0 2x0 OK\r\n\r\n",
                  0,
                  "",
                  -1,
                  "",
                  "",
                  {"begin", "failed:Invalid status code in the server's answer"}},
        ParserRow{"NonNumericContentLength",
                  "HTTP/1.0 200 OK\r\nContent-Length: 12a\r\n\r\n",
                  200,
                  "OK",
                  -1,
                  "",
                  "",
                  {"begin", "line:HTTP/1.0 200 OK",
                   "failed:Invalid Content-Length in the server's answer"}},
        ParserRow{"NegativeContentLength",
                  "HTTP/1.0 200 OK\r\nContent-Length: -1\r\n\r\n",
                  200,
                  "OK",
                  -1,
                  "",
                  "",
                  {"begin", "line:HTTP/1.0 200 OK",
                   "failed:Invalid Content-Length in the server's answer"}}),
    [](const testing::TestParamInfo<ParserRow>& row) { return std::string(row.param.name); });

TEST(HttpResponseParser, AHeaderLineThatFillsTheBufferFailsAtOnce)
{
    Recorder recorder;
    THttpResponseParser parser(&recorder);
    const std::string line = "X-Long: " + std::string(THttpResponseParser::BufferSize, 'a');
    parser.Feed(line.data(), THttpResponseParser::BufferSize);
    EXPECT_TRUE(parser.Stopped());
    EXPECT_EQ(recorder.events.back(), "failed:HTTP line too long");
    EXPECT_EQ(parser.FreeRoom(), 0u);
}

TEST(HttpResponseParser, ALineOneByteShortOfTheBufferStillFits)
{
    Recorder recorder;
    THttpResponseParser parser(&recorder);
    const std::string bytes =
        "X: " + std::string(THttpResponseParser::BufferSize - 4, 'a') + "\n\nbody";
    parser.Feed(bytes.data(), bytes.size());
    EXPECT_FALSE(parser.Stopped());
    EXPECT_EQ(recorder.body, "body");
}

TEST(HttpResponseParser, BodyBlocksNeverExceedTheBuffer)
{
    struct Sizes : THttpResponseParser::Listener {
        std::size_t largest = 0;
        std::size_t total = 0;
        void Body(const char*, std::size_t length) override
        {
            largest = std::max(largest, length);
            total += length;
        }
    } sizes;
    THttpResponseParser parser(&sizes);
    const std::string bytes = "HTTP/1.0 200 OK\r\n\r\n" + std::string(50000, 'q');
    parser.Feed(bytes.data(), bytes.size());
    EXPECT_EQ(sizes.total, 50000u);
    EXPECT_EQ(sizes.largest, THttpResponseParser::BufferSize);
}

TEST(HttpResponseParser, AStoppedParserTakesNothingUntilReset)
{
    Recorder recorder;
    THttpResponseParser parser(&recorder);
    parser.Stop();
    parser.Feed("HTTP/1.0 200 OK\r\n\r\n", 19);
    EXPECT_TRUE(recorder.events.empty());
    parser.Reset();
    parser.Feed("HTTP/1.0 200 OK\r\n\r\nx", 20);
    EXPECT_EQ(parser.StatusCode(), 200);
    EXPECT_EQ(recorder.body, "x");
}

TEST(HttpResponseParser, NumbersAreWholeDecimalsWithOptionalBlanks)
{
    std::int64_t v = 0;
    EXPECT_TRUE(THttpResponseParser::ParseNumber(" 1234 ", v));
    EXPECT_EQ(v, 1234);
    EXPECT_TRUE(THttpResponseParser::ParseNumber("+7", v));
    EXPECT_EQ(v, 7);
    for (const char* bad : {"", " ", "12a", "0x10", "-3", "1 2", "99999999999999999999"})
        EXPECT_FALSE(THttpResponseParser::ParseNumber(bad, v)) << bad;
}
