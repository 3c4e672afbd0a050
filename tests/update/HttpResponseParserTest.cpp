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
    void BodyComplete() override { events.push_back("complete"); }
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
                   "line:Content-Type: Text/Plain", "end", "complete"}},
        ParserRow{"BytesBeyondTheLengthAreDropped",
                  "HTTP/1.0 200 OK\r\nContent-Length: 3\r\nContent-Length: 3\r\n\r\nabcHTTP/1.0",
                  200,
                  "OK",
                  3,
                  "",
                  "abc",
                  {"begin", "line:HTTP/1.0 200 OK", "line:Content-Length: 3",
                   "line:Content-Length: 3", "end", "complete"}},
        ParserRow{
            "NoContentIsCompleteAtTheHeader",
            "HTTP/1.0 204 No Content\r\nContent-Length: 9\r\n\r\nnot body",
            204,
            "No Content",
            9,
            "",
            "",
            {"begin", "line:HTTP/1.0 204 No Content", "line:Content-Length: 9", "end", "complete"}},
        ParserRow{"AnyHttp1Version",
                  "HTTP/1.2 500 Internal Server Error\r\n\r\n",
                  500,
                  "Internal Server Error",
                  -1,
                  "",
                  "",
                  {"begin", "line:HTTP/1.2 500 Internal Server Error", "end"}},
        ParserRow{"TwoDifferentLengths",
                  "HTTP/1.0 200 OK\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\nabcd",
                  200,
                  "OK",
                  3,
                  "",
                  "",
                  {"begin", "line:HTTP/1.0 200 OK", "line:Content-Length: 3",
                   "failed:Conflicting Content-Length fields in the server's answer"}},
        ParserRow{"ChunkedBody",
                  "HTTP/1.0 200 OK\r\nTransfer-Encoding:  Chunked \r\n\r\n3\r\nabc\r\n0\r\n\r\n",
                  200,
                  "OK",
                  -1,
                  "",
                  "",
                  {"begin", "line:HTTP/1.0 200 OK", "line:Transfer-Encoding:  Chunked ",
                   "failed:unsupported transfer coding"}},
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

TEST(HttpResponseParser, TheHeaderIsBoundedInLinesAndBytes)
{
    struct Bound {
        const char* name;
        std::string header;
        std::string failure; // empty: the header is taken
    };
    std::string lines1000 = "HTTP/1.0 200 OK\r\n";
    for (int i = 1; i < THttpResponseParser::MaxHeaderLines; ++i)
        lines1000 += "X: y\r\n";
    std::string bytes1MiB = "HTTP/1.0 200 OK\r\n";
    while (bytes1MiB.size() + 8002 <= THttpResponseParser::MaxHeaderBytes - 2)
        bytes1MiB += "X: " + std::string(7997, 'a') + "\r\n";
    bytes1MiB +=
        "X: " + std::string(THttpResponseParser::MaxHeaderBytes - 2 - bytes1MiB.size() - 5, 'b') +
        "\r\n";
    ASSERT_EQ(bytes1MiB.size(), THttpResponseParser::MaxHeaderBytes - 2);
    std::string over1MiB = bytes1MiB;
    over1MiB.insert(over1MiB.size() - 2, "b"); // the empty line that ends it crosses the bound
    const Bound bounds[] = {
        {"1000 lines", lines1000, ""},
        {"1001 lines", lines1000 + "X: y\r\n", "HTTP header too long (more than 1000 lines)"},
        {"1 MiB", bytes1MiB, ""},
        {"1 MiB and 1 byte", over1MiB, "HTTP header too large (more than 1 MiB)"},
    };
    for (const Bound& b : bounds) {
        Recorder recorder;
        THttpResponseParser parser(&recorder);
        const std::string bytes = b.header + "\r\nbody";
        parser.Feed(bytes.data(), bytes.size());
        if (b.failure.empty()) {
            EXPECT_EQ(recorder.body, "body") << b.name;
        } else {
            EXPECT_EQ(recorder.events.back(), "failed:" + b.failure) << b.name;
            EXPECT_EQ(recorder.body, "") << b.name;
        }
    }
}

TEST(HttpResponseParser, AHeadAnswerHasNoBodyAndLargeReadsStopAtTheLength)
{
    Recorder head;
    THttpResponseParser parser(&head);
    parser.Reset(true);
    const std::string answer = "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n";
    parser.Feed(answer.data(), answer.size());
    EXPECT_EQ(head.events.back(), "complete");
    EXPECT_TRUE(parser.Stopped());

    Recorder get;
    parser.SetListener(&get);
    parser.Reset();
    const std::string header = "HTTP/1.0 200 OK\r\nContent-Length: 70000\r\n\r\n";
    parser.Feed(header.data(), header.size());
    const std::string block(50000, 'x');
    parser.BodyReceived(block.data(), block.size());
    EXPECT_FALSE(parser.Stopped());
    parser.BodyReceived(block.data(), block.size());
    EXPECT_EQ(get.body.size(), 70000u);
    EXPECT_EQ(get.events.back(), "complete");
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

// Whether an answer lacks its status line is known from its first bytes, however they arrive.
TEST(HttpResponseParser, KnowsAnAnswerWithoutStatusLineFromItsFirstBytes)
{
    const std::pair<std::string, bool> rows[] = {
        {"", false},
        {"HTT", false}, // may still become one
        {"HTTP/1.1 200 OK\r\n\r\nbody", false},
        {"HTTP/1.0 2x0 OK\r\n\r\n", false}, // a status line, with a bad code
        {"HTTP/2 200\r\n\r\n", true},
        {"http/1.0 200 OK\r\n\r\n", true},
        {"<HTML><BODY>", true},
        {"Content-Length: 5\r\n\r\nhello", true},
        {"PK\x03\x04", true},
    };
    for (const auto& [bytes, missing] : rows)
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{64}}) {
            THttpResponseParser parser;
            FeedInChunks(parser, bytes, chunk);
            EXPECT_EQ(parser.StatusLineMissing(), missing) << bytes << " in " << chunk;
            parser.Reset();
            EXPECT_FALSE(parser.StatusLineMissing());
        }
}
