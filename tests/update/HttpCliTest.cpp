// The HTTP client against scripted servers on 127.0.0.1: what it sends, and what it makes of
// well-behaved and misbehaving answers.
#include "tests/support/FailingDevice.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/StubNameResolver.h"
#include "tests/support/TrapRecorder.h"
#include "update/HttpProt.h"
#include "update/WSocket.h"

#include <QBuffer>
#include <atomic>
#include <gtest/gtest.h>

namespace {
using Connection = LoopbackServer::Connection;

// One client with a memory stream and a record of its events.
// What a test adds to the record: run on the events named.
struct Fetch : THttpCliListener {
    THttpCli cli;
    QBuffer body;
    int done = 0;
    std::uint16_t error = 0xFFFF;
    THttpRequest requestType = rtGet;
    QStringList events;
    std::function<void(int length)> docData;
    std::function<void(QString& line)> command;
    std::function<void()> sendEnd;
    std::function<void()> stateChange;
    std::function<void()> requestDone;

    Fetch()
    {
        body.open(QIODevice::WriteOnly);
        cli.SetResponseStream(&body);
        cli.SetListener(this);
    }
    ~Fetch() override { cli.SetListener(nullptr); }
    void OnRequestDone(THttpCli*, THttpRequest rq, std::uint16_t e) override
    {
        ++done;
        requestType = rq;
        error = e;
        events << "RequestDone";
        if (requestDone)
            requestDone();
    }
    void OnDocBegin(THttpCli*) override { events << "DocBegin"; }
    void OnDocEnd(THttpCli*) override { events << "DocEnd"; }
    void OnHeaderBegin(THttpCli*) override { events << "HeaderBegin"; }
    void OnHeaderEnd(THttpCli*) override { events << "HeaderEnd"; }
    void OnLocationChange(THttpCli*) override { events << "LocationChange"; }
    void OnSessionConnected(THttpCli*) override { events << "SessionConnected"; }
    void OnDocData(THttpCli*, const char*, int length) override
    {
        if (docData)
            docData(length);
    }
    void OnCommand(THttpCli*, QString& line) override
    {
        if (command)
            command(line);
    }
    void OnSendEnd(THttpCli*) override
    {
        if (sendEnd)
            sendEnd();
    }
    void OnStateChange(THttpCli*) override
    {
        if (stateChange)
            stateChange();
    }
    // Starts a GET and processes messages until OnRequestDone.
    bool Get(const QString& url)
    {
        cli.SetURL(url);
        cli.GetAsync();
        return Wait();
    }
    bool Wait()
    {
        return ProcessMessagesUntil([this] { return done > 0; });
    }
    std::string Body() const { return body.data().toStdString(); }
};

std::string Response(const std::string& head, const std::string& body)
{
    return head + "\r\n\r\n" + body;
}
} // namespace

TEST(HttpCli, Plain200WithContentLengthDeliversTheBodyAndSendsTheMinimalRequest)
{
    LoopbackServer server(LoopbackServer::Answer(Response(
        "HTTP/1.0 200 OK\r\nContent-Type: Text/HTML\r\nContent-Length: 11", "hello world")));
    Fetch f;
    ASSERT_TRUE(f.Get(server.Url("/Torv/Torv.htm")));
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.requestType, rtGet);
    EXPECT_EQ(f.cli.StatusCode(), 200);
    EXPECT_EQ(f.cli.ReasonPhrase(), "OK");
    EXPECT_EQ(f.cli.ContentLength(), 11);
    EXPECT_EQ(f.cli.ContentType(), "text/html");
    EXPECT_EQ(f.cli.BytesReceived(), 11);
    EXPECT_EQ(f.Body(), "hello world");
    EXPECT_EQ(f.cli.DocumentName(), "Torv.htm");
    EXPECT_EQ(f.cli.ReceivedHeader(),
              QStringList({"HTTP/1.0 200 OK", "Content-Type: Text/HTML", "Content-Length: 11"}));
    EXPECT_EQ(f.cli.State(), hcReady);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], "GET /Torv/Torv.htm HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(f.events, QStringList({"SessionConnected", "HeaderBegin", "HeaderEnd", "DocBegin",
                                     "DocEnd", "RequestDone"}));
}

TEST(HttpCli, BodyWithoutContentLengthEndsWhenTheServerCloses)
{
    std::string big(100000, 'x');
    for (std::size_t i = 0; i < big.size(); i += 7)
        big[i] = static_cast<char>('a' + i % 26);
    LoopbackServer server(LoopbackServer::Answer(Response("HTTP/1.0 200 OK", big)));
    Fetch f;
    int blocks = 0;
    f.docData = [&](int length) {
        ++blocks;
        EXPECT_LE(length, THttpCli::BodyReadSize);
    };
    ASSERT_TRUE(f.Get(server.Url("/big.bin")));
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.cli.StatusCode(), 200);
    EXPECT_EQ(f.cli.ContentLength(), -1);
    EXPECT_EQ(f.Body(), big);
    EXPECT_GE(blocks, 1);
}

TEST(HttpCli, EveryOptionalHeaderIsComposedInOrder)
{
    LoopbackServer server(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\n"));
    Fetch f;
    f.cli.SetSender("me@example.org");
    f.cli.SetReference("http://ref/");
    f.cli.SetAgent("Tallyhorn");
    f.cli.SetNoCache(true);
    f.cli.SetModifiedSince(QDateTime(QDate(1994, 11, 6), QTime(8, 49, 37)));
    f.cli.SetCookie("a=b");
    QStringList commands;
    f.command = [&](QString& line) { commands << line; };
    ASSERT_TRUE(f.Get("http://user:pw@127.0.0.1:" + QString::number(server.Port()) + "/x?y=1"));
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], "GET /x?y=1 HTTP/1.0\r\n"
                                    "From: me@example.org\r\n"
                                    "Referer: http://ref/\r\n"
                                    "User-Agent: Tallyhorn\r\n"
                                    "Host: 127.0.0.1\r\n"
                                    "Pragma: no-cache\r\n"
                                    "If-Modified-Since: Sun, 06 Nov 1994 08:49:37 GMT\r\n"
                                    "Authorization: Basic dXNlcjpwdw==\r\n"
                                    "Cookie: a=b\r\n"
                                    "\r\n");
    EXPECT_EQ(commands.size(), 10);
    EXPECT_TRUE(f.cli.Username().isEmpty()) << "the URL's credentials serve its request only";
    EXPECT_EQ(f.cli.DocumentName(), "x");
}

TEST(HttpCli, PostSendsTheStreamWithItsLength)
{
    LoopbackServer server(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\nthanks"));
    Fetch f;
    QByteArray payload(20000, 'p');
    QBuffer send(&payload);
    send.open(QIODevice::ReadOnly);
    f.cli.SetSendStream(&send);
    bool ended = false;
    f.sendEnd = [&] { ended = true; };
    f.cli.SetURL(server.Url("/form"));
    f.cli.PostAsync();
    ASSERT_TRUE(f.Wait());
    EXPECT_EQ(f.requestType, rtPost);
    EXPECT_TRUE(ended);
    EXPECT_EQ(f.cli.BytesSent(), 20000);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0],
              "POST /form HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\n"
              "Host: 127.0.0.1\r\nContent-Length: 20000\r\n\r\n" +
                  payload.toStdString());
    EXPECT_EQ(f.Body(), "thanks");
}

TEST(HttpCli, RedirectionToAPathIsOneRequestForTheCaller)
{
    LoopbackServer server;
    server.Then(LoopbackServer::Answer("HTTP/1.0 302 Found\r\nLocation: /new/page.htm\r\n\r\n"))
        .Then(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\nmoved here"));
    Fetch f;
    ASSERT_TRUE(f.Get(server.Url("/old.htm")));
    EXPECT_EQ(f.done, 1);
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.cli.StatusCode(), 200);
    EXPECT_EQ(f.Body(), "moved here");
    ASSERT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(server.Requests()[1], "GET /new/page.htm HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(f.events.count("LocationChange"), 1);
}

TEST(HttpCli, RedirectionToAFullAddressGoesToThatServer)
{
    LoopbackServer second(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\nsecond"));
    LoopbackServer first(LoopbackServer::Answer(
        "HTTP/1.0 301 Moved\r\nLocation: http://localhost:" + std::to_string(second.Port()) +
        "/b/c.txt\r\n\r\n"));
    Fetch f;
    ASSERT_TRUE(f.Get(first.Url("/a")));
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.Body(), "second");
    ASSERT_EQ(second.Requests().size(), 1u);
    EXPECT_EQ(second.Requests()[0], "GET /b/c.txt HTTP/1.0\r\nHost: localhost\r\n\r\n");
    EXPECT_EQ(f.cli.TargetHostName(), "localhost");
}

TEST(HttpCli, CredentialsGoOnlyToTheServerAndPortTheyCameWith)
{
    const auto authorised = [](const std::string& request) {
        return request.find("Authorization: Basic dXNlcjpwdw==\r\n") != std::string::npos;
    };
    LoopbackServer other(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\nother"));
    LoopbackServer home;
    const std::string port = std::to_string(home.Port());
    // Same server and port (written another way): kept; another port: dropped, also for a
    // redirection back.
    home.Then(LoopbackServer::Answer("HTTP/1.0 302 Found\r\nLocation: http://127.0.0.1:" + port +
                                     "/b\r\n\r\n"))
        .Then(LoopbackServer::Answer("HTTP/1.0 302 Found\r\nLocation: http://127.0.0.1:" +
                                     std::to_string(other.Port()) + "/c\r\n\r\n"));
    Fetch f;
    ASSERT_TRUE(f.Get("http://user:pw@127.0.0.1:" + QString::fromStdString(port) + "/a"));
    EXPECT_EQ(f.Body(), "other");
    ASSERT_EQ(home.Requests().size(), 2u);
    EXPECT_TRUE(authorised(home.Requests()[0]));
    EXPECT_TRUE(authorised(home.Requests()[1]));
    ASSERT_EQ(other.Requests().size(), 1u);
    EXPECT_FALSE(authorised(other.Requests()[0])) << other.Requests()[0];

    // The next request starts afresh: no credentials of the last URL, none for another port.
    home.Then(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\nhome"));
    f.done = 0;
    ASSERT_TRUE(f.Get(home.Url("/d")));
    ASSERT_EQ(home.Requests().size(), 3u);
    EXPECT_FALSE(authorised(home.Requests()[2])) << home.Requests()[2];
    // Stored credentials belong to the request's first server.
    Fetch stored;
    stored.cli.SetUsername("user");
    stored.cli.SetPassword("pw");
    home.Then(LoopbackServer::Answer("HTTP/1.0 301 Moved\r\nLocation: http://localhost:" +
                                     std::to_string(other.Port()) + "/e\r\n\r\n"));
    ASSERT_TRUE(stored.Get(home.Url("/e")));
    EXPECT_TRUE(authorised(home.Requests()[3]));
    ASSERT_EQ(other.Requests().size(), 2u);
    EXPECT_FALSE(authorised(other.Requests()[1])) << other.Requests()[1];
}

TEST(HttpCli, OnlyHttpAddressesAreRequested)
{
    LoopbackServer server(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\nx"));
    const QString port = QString::number(server.Port());
    for (const QString& url : {"ftp://127.0.0.1:" + port + "/x", "https://127.0.0.1:" + port + "/",
                               "HTTPS://127.0.0.1:" + port + "/", QString("mailto:me@127.0.0.1")}) {
        Fetch f;
        ASSERT_TRUE(f.Get(url));
        EXPECT_EQ(f.cli.StatusCode(), 404) << url.toStdString();
        EXPECT_EQ(f.cli.ReasonPhrase(), "The address is not an http:// address");
        EXPECT_EQ(f.error, static_cast<int>(THttpError::NotHttp));
    }
    EXPECT_EQ(server.Connections(), 0);
    Fetch plain;
    ASSERT_TRUE(plain.Get("HTTP://127.0.0.1:" + port + "/"));
    EXPECT_EQ(plain.Body(), "x");
}

TEST(HttpCli, EndlessRedirectionsStopAfterTwentyWithAClearReason)
{
    LoopbackServer server(LoopbackServer::Answer("HTTP/1.0 302 Found\r\nLocation: /again\r\n\r\n"));
    Fetch f;
    ASSERT_TRUE(f.Get(server.Url("/start")));
    EXPECT_EQ(f.done, 1);
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase(), "Too many redirections (more than 20)");
    EXPECT_EQ(f.error, static_cast<int>(THttpError::TooManyRedirections));
    EXPECT_EQ(server.Connections(), 21);
    EXPECT_EQ(f.events.count("LocationChange"), 20);
}

TEST(HttpCli, ErrorStatusOfAnyHttp1VersionEndsAtTheStatusLine)
{
    for (const std::string status : {"HTTP/1.0 404 Not Found", "HTTP/1.2 500 Internal Error"}) {
        LoopbackServer server([status](Connection& c) {
            c.ReadRequest();
            c.Send(status + "\r\nServer: test\r\n");
            // The client closes without waiting for the rest of the header.
            c.WaitForPeerClose();
        });
        Fetch f;
        ASSERT_TRUE(f.Get(server.Url("/missing.htm")));
        EXPECT_EQ(f.cli.StatusCode(), std::stoi(status.substr(9)));
        EXPECT_EQ(f.cli.ReasonPhrase().toStdString(), status.substr(13));
        EXPECT_EQ(f.error, 0);
        EXPECT_EQ(f.Body(), "");
        EXPECT_EQ(f.cli.ReceivedHeader(), QStringList({QString::fromStdString(status)}));
    }
}

TEST(HttpCli, AServerWithoutHeaderDeliversEverythingAsHtmlBody)
{
    const std::string page = "<hTmL><head>\r\n<title>t</title>\nbody</html>\r\n";
    LoopbackServer server(LoopbackServer::Answer(page));
    Fetch f;
    ASSERT_TRUE(f.Get(server.Url("/")));
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.cli.StatusCode(), 0);
    EXPECT_EQ(f.cli.ContentType(), "text/html");
    EXPECT_EQ(f.Body(), page);
    EXPECT_EQ(f.cli.DocumentName(), "document.htm");
}

TEST(HttpCli, HeaderLinesEndingInABareLineFeedAreReadAlike)
{
    LoopbackServer server(LoopbackServer::Answer(
        "HTTP/1.1 200 Fine\nContent-Length: 4\nContent-Type: text/plain\n\nbody"));
    Fetch f;
    ASSERT_TRUE(f.Get(server.Url("/f.txt")));
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.cli.ReasonPhrase(), "Fine");
    EXPECT_EQ(f.cli.ContentLength(), 4);
    EXPECT_EQ(f.cli.ContentType(), "text/plain");
    EXPECT_EQ(f.Body(), "body");
}

TEST(HttpCli, AHeaderLineLongerThanTheBufferEndsTheRequestWithoutRaising)
{
    TrapRecorder trap;
    LoopbackServer server([](Connection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 200 OK\r\nX-Long: " + std::string(9000, 'a') + "\r\n\r\n");
        c.WaitForPeerClose();
    });
    Fetch f;
    ASSERT_TRUE(f.Get(server.Url("/")));
    ProcessPostedMessages();
    EXPECT_EQ(trap.messages, QStringList());
    EXPECT_EQ(f.done, 1);
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase(), "HTTP line too long");
    EXPECT_EQ(f.error, static_cast<int>(THttpError::LineTooLong));
    EXPECT_EQ(f.cli.State(), hcReady);
}

struct BrokenAnswer {
    const char* name;
    std::string response;
    bool closeEarly; // the server closes before the answer is complete
    std::string reason;
    THttpError error;
};

class HttpCliBrokenAnswer : public testing::TestWithParam<BrokenAnswer> {};

TEST_P(HttpCliBrokenAnswer, EndsAsAFailureWithItsReason)
{
    const BrokenAnswer& row = GetParam();
    LoopbackServer server([row](Connection& c) {
        c.ReadRequest();
        c.Send(row.response);
        if (!row.closeEarly)
            c.WaitForPeerClose();
    });
    Fetch f;
    ASSERT_TRUE(f.Get(server.Url("/doc.bin")));
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase().toStdString(), row.reason);
    EXPECT_EQ(f.error, static_cast<int>(row.error));
    EXPECT_EQ(f.cli.State(), hcReady);
}

INSTANTIATE_TEST_SUITE_P(
    Misbehaving, HttpCliBrokenAnswer,
    testing::Values(
        BrokenAnswer{"NonNumericStatus", "HTTP/1.0 2x0 OK\r\n\r\nbody", false,
                     "Invalid status code in the server's answer", THttpError::BadStatusCode},
        BrokenAnswer{"NonNumericContentLength",
                     "HTTP/1.0 200 OK\r\nContent-Length: lots\r\n\r\nbody", false,
                     "Invalid Content-Length in the server's answer", THttpError::BadContentLength},
        BrokenAnswer{"ClosedMidBody", "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\nonly this",
                     true, "Connection closed before the whole document arrived",
                     THttpError::Truncated},
        BrokenAnswer{"ClosedMidHeader", "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n", true,
                     "Connection closed before the whole document arrived", THttpError::Truncated},
        BrokenAnswer{"LineInjectedThroughLocation",
                     "HTTP/1.0 302 Found\r\nLocation: /next\rX-Injected: yes\r\n\r\n", false,
                     "Control character in the Location field", THttpError::ControlCharacter},
        BrokenAnswer{
            "RedirectionToFtp", "HTTP/1.0 302 Found\r\nLocation: ftp://127.0.0.1/x\r\n\r\n", false,
            "Redirection to an address that is not http://", THttpError::UnsupportedScheme},
        BrokenAnswer{
            "RedirectionToAFile", "HTTP/1.0 301 Moved\r\nLocation: file:///etc/passwd\r\n\r\n",
            false, "Redirection to an address that is not http://", THttpError::UnsupportedScheme},
        BrokenAnswer{"HeaderBeyondOneMiB",
                     [] {
                         std::string head = "HTTP/1.0 200 OK\r\n";
                         for (int i = 0; i < 140; ++i)
                             head += "X-Filler: " + std::string(7990, 'f') + "\r\n";
                         return head + "\r\nbody";
                     }(),
                     false, "HTTP header too large (more than 1 MiB)", THttpError::HeaderTooLarge},
        BrokenAnswer{"HeaderOfMoreThan1000Lines",
                     [] {
                         std::string head = "HTTP/1.0 200 OK\r\n";
                         for (int i = 0; i < 1000; ++i)
                             head += "X: y\r\n";
                         return head + "\r\nbody";
                     }(),
                     false, "HTTP header too long (more than 1000 lines)",
                     THttpError::TooManyHeaderLines},
        BrokenAnswer{"TwoDifferentContentLengths",
                     "HTTP/1.0 200 OK\r\nContent-Length: 4\r\nContent-Length: 40\r\n\r\nbody",
                     false, "Conflicting Content-Length fields in the server's answer",
                     THttpError::ConflictingLength},
        BrokenAnswer{"ChunkedDespiteHttp10",
                     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nbody\r\n0\r\n\r\n",
                     true, "unsupported transfer coding", THttpError::TransferCoding}),
    [](const testing::TestParamInfo<BrokenAnswer>& row) { return std::string(row.param.name); });

TEST(HttpCli, ClosedMidBodyKeepsWhatArrived)
{
    LoopbackServer server(LoopbackServer::Answer("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" +
                                                 std::string(300, 'z')));
    Fetch f;
    ASSERT_TRUE(f.Get(server.Url("/partial.exe")));
    EXPECT_EQ(f.cli.BytesReceived(), 300);
    EXPECT_EQ(f.Body(), std::string(300, 'z'));
    EXPECT_TRUE(f.events.contains("DocEnd"));
}

// A stream that refuses a body block ends the request at once: the connection is closed and
// the reason carries the stream's own error text.
class HttpCliFullStream : public testing::TestWithParam<qint64> {};

TEST_P(HttpCliFullStream, EndsTheRequestWithTheStreamsReason)
{
    const qint64 capacity = GetParam();
    const std::string body(20000, 'w');
    std::atomic<bool> peerClosed{false};
    LoopbackServer server([&](Connection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 200 OK\r\nContent-Length: 20000\r\n\r\n" + body);
        c.WaitForPeerClose();
        peerClosed = true;
    });
    Fetch f;
    FailingDevice full(capacity);
    f.cli.SetResponseStream(&full);
    ASSERT_TRUE(f.Get(server.Url("/doc.bin")));
    EXPECT_TRUE(ProcessMessagesUntil([&] { return peerClosed.load(); }));
    ProcessPostedMessages();
    EXPECT_EQ(f.done, 1);
    EXPECT_EQ(f.error, static_cast<int>(THttpError::WriteFailed));
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase().toStdString(),
              "The document could not be stored: No space left on device");
    EXPECT_EQ(f.cli.State(), hcReady);
    EXPECT_EQ(full.Written().toStdString(), body.substr(0, std::size_t(capacity)));
    // The block that crossed the capacity stored what fitted; nothing was written after it.
    EXPECT_EQ(full.RefusedWrites(), 1);
}

INSTANTIATE_TEST_SUITE_P(Capacities, HttpCliFullStream, testing::Values(0, 1000, 5000),
                         [](const testing::TestParamInfo<qint64>& row) {
                             return "Takes" + std::to_string(row.param) + "Bytes";
                         });

TEST(HttpCli, AResetMidBodyIsAFailureEvenWithoutContentLength)
{
    LoopbackServer server([](Connection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 200 OK\r\n\r\n" + std::string(2000, 'r'));
        c.WaitForRelease();
        c.Reset();
    });
    Fetch f;
    f.docData = [&](int) {
        if (f.cli.BytesReceived() == 2000)
            server.Release();
    };
    ASSERT_TRUE(f.Get(server.Url("/reset.bin")));
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase(), "Connection reset by peer (Error #10054)");
    EXPECT_EQ(f.error, 10054);
}

TEST(HttpCli, AnAddressWithoutHostCannotBeResolved)
{
    Fetch f;
    ASSERT_TRUE(f.Get(""));
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase(), "can't resolve hostname to IP address");
    EXPECT_EQ(f.error, 10022);
}

TEST(HttpCli, ASilentServerEndsTheRequestAfterTheIdleBound)
{
    LoopbackServer server([](Connection& c) {
        c.ReadRequest();
        c.WaitForPeerClose(); // says nothing at all
    });
    Fetch f;
    f.cli.SetURL(server.Url("/"));
    f.cli.GetAsync();
    // Once the request is out and the server is silent, the bound is shortened: it applies to
    // the wait under way.
    ASSERT_TRUE(ProcessMessagesUntil([&] { return server.Requests().size() == 1; }));
    ASSERT_TRUE(ProcessMessagesUntil([&] { return f.cli.State() == hcAwaitingHeader; }));
    EXPECT_EQ(f.done, 0);
    f.cli.SetIdleTimeout(1);
    ASSERT_TRUE(f.Wait());
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase(), "The server did not answer in time");
    EXPECT_EQ(f.error, static_cast<int>(THttpError::Timeout));
}

TEST(HttpCli, TheAnnouncedLengthEndsTheDocumentAtOnceAndNothingBeyondItCounts)
{
    LoopbackServer server([](Connection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nfive!");
        c.Send(std::string(20000, '+')); // more than announced, and the connection stays open
        c.WaitForPeerClose();
    });
    Fetch f;
    f.cli.SetIdleTimeout(0); // only the length can end it
    qint64 passed = 0;
    f.docData = [&](int length) { passed += length; };
    ASSERT_TRUE(f.Get(server.Url("/")));
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.cli.StatusCode(), 200);
    EXPECT_EQ(f.Body(), "five!");
    EXPECT_EQ(f.cli.BytesReceived(), 5);
    EXPECT_EQ(passed, 5);
}

TEST(HttpCli, AHeadAnswerEndsWithItsHeader)
{
    LoopbackServer server([](Connection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 200 OK\r\nContent-Length: 1234\r\n\r\n");
        c.WaitForPeerClose();
    });
    Fetch f;
    f.cli.SetIdleTimeout(0);
    f.cli.SetURL(server.Url("/setup.exe"));
    f.cli.HeadAsync();
    ASSERT_TRUE(f.Wait());
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.requestType, rtHead);
    EXPECT_EQ(f.cli.StatusCode(), 200);
    EXPECT_EQ(f.cli.ContentLength(), 1234);
    EXPECT_EQ(f.Body(), "");
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], "HEAD /setup.exe HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
}

TEST(HttpCli, RelativeLocationsAreResolvedAgainstTheCurrentAddress)
{
    struct Row {
        std::string location;
        std::string requested;
    };
    const Row rows[] = {
        {"sub/file.bin", "/dir/sub/file.bin"},
        {"file.bin", "/dir/file.bin"},
        {"../up.bin?v=1", "/up.bin?v=1"},
        {"//127.0.0.1:%PORT%/other", "/other"},
    };
    for (const Row& row : rows) {
        LoopbackServer server;
        std::string location = row.location;
        if (const std::size_t at = location.find("%PORT%"); at != std::string::npos)
            location.replace(at, 6, std::to_string(server.Port()));
        server
            .Then(
                LoopbackServer::Answer("HTTP/1.0 302 Found\r\nLocation: " + location + "\r\n\r\n"))
            .Then(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\nthere"));
        Fetch f;
        ASSERT_TRUE(f.Get(server.Url("/dir/page.htm")));
        EXPECT_EQ(f.error, 0) << row.location;
        EXPECT_EQ(f.Body(), "there") << row.location;
        ASSERT_EQ(server.Requests().size(), 2u) << row.location;
        EXPECT_EQ(server.Requests()[1],
                  "GET " + row.requested + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    }
}

TEST(HttpCli, ControlCharactersInTheCallersValuesAreRefusedBeforeAnythingIsSent)
{
    LoopbackServer server(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\nx"));
    const QString url = server.Url("/a");
    struct Row {
        const char* field;
        std::function<void(THttpCli&)> set;
    };
    const Row rows[] = {
        {"URL", [&](THttpCli& c) { c.SetURL(url + "\r\nX-Injected: yes"); }},
        {"proxy", [&](THttpCli& c) { c.SetProxy("127.0.0.1\n"); }},
        {"user name", [&](THttpCli& c) { c.SetUsername("me\r\n"); }},
        {"password", [&](THttpCli& c) { c.SetPassword(QString("pw") + QChar(0)); }},
        {"agent", [&](THttpCli& c) { c.SetAgent("Tallyhorn\r\nX-Injected: yes"); }},
    };
    for (const Row& row : rows) {
        Fetch f;
        f.cli.SetURL(url);
        row.set(f.cli);
        f.cli.GetAsync();
        ASSERT_TRUE(f.Wait());
        ProcessPostedMessages();
        EXPECT_EQ(f.done, 1) << row.field;
        EXPECT_EQ(f.cli.StatusCode(), 404) << row.field;
        EXPECT_EQ(f.cli.ReasonPhrase(), QString("Control character in the %1").arg(row.field));
        EXPECT_EQ(f.error, static_cast<int>(THttpError::ControlCharacter)) << row.field;
    }
    EXPECT_EQ(server.Connections(), 0);
}

TEST(HttpCli, ARefusedPortReportsTheSocketErrorText)
{
    Fetch f;
    ASSERT_TRUE(f.Get("http://127.0.0.1:" + QString::number(UnusedLoopbackPort()) + "/"));
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase(), "Connection refused (Error #10061)");
    EXPECT_EQ(f.error, 10061);
    EXPECT_FALSE(f.events.contains("SessionConnected"));
}

TEST(HttpCli, AnUnknownHostCannotBeResolved)
{
    Fetch f;
    f.cli.SetNameResolver(StubNameResolver("localhost", {"127.0.0.1"}));
    ASSERT_TRUE(f.Get("http://no-such-host.invalid/page.htm"));
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase(), "can't resolve hostname to IP address");
    EXPECT_EQ(f.error, 11001);
}

TEST(HttpCli, AbortDuringTheLookupEndsWithoutAnySocketTraffic)
{
    LoopbackServer server(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\nx"));
    Fetch f;
    f.cli.SetURL("http://localhost:" + QString::number(server.Port()) + "/");
    f.cli.GetAsync();
    ASSERT_EQ(f.cli.State(), hcResolving);
    f.cli.Abort();
    ASSERT_TRUE(f.Wait());
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase(), "Connection aborted on request");
    EXPECT_EQ(f.error, 3);
    // A late lookup answer must not start anything. Lookups are answered in order: once a
    // later one is answered, the aborted one has been passed over.
    TWSocket later;
    bool answered = false;
    struct Answered : TWSocketListener {
        bool& answered;
        explicit Answered(bool& flag) : answered(flag) {}
        void OnDnsLookupDone(TCustomWSocket*, std::uint16_t) override { answered = true; }
    } listener(answered);
    later.SetListener(&listener);
    later.DnsLookup("localhost");
    ASSERT_TRUE(ProcessMessagesUntil([&] { return answered; }));
    ProcessPostedMessages();
    EXPECT_EQ(server.Connections(), 0);
    EXPECT_EQ(f.done, 1);
}

TEST(HttpCli, AbortDuringTheBodyKeepsThePartAndReportsTheAbort)
{
    LoopbackServer server([](Connection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(5000, 'b'));
        c.WaitForPeerClose();
    });
    Fetch f;
    f.docData = [&](int) {
        if (f.cli.BytesReceived() >= 5000)
            f.cli.Abort();
    };
    ASSERT_TRUE(f.Get(server.Url("/setup.exe")));
    EXPECT_EQ(f.done, 1);
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase(), "Connection aborted on request");
    EXPECT_EQ(f.error, 3);
    EXPECT_EQ(f.Body(), std::string(5000, 'b'));
}

TEST(HttpCli, AProxyGetsTheFullAddressAndItsCredentials)
{
    LoopbackServer proxy;
    proxy.Then(LoopbackServer::Answer("HTTP/1.0 302 Found\r\nLocation: /moved.htm\r\n\r\n"))
        .Then(LoopbackServer::Answer("HTTP/1.0 302 Found\r\nLocation: sub/x.bin\r\n\r\n"))
        .Then(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\nvia proxy"));
    Fetch f;
    f.cli.SetProxy("127.0.0.1");
    f.cli.SetProxyPort(QString::number(proxy.Port()));
    f.cli.SetProxyUsername("pu");
    f.cli.SetProxyPassword("pp");
    ASSERT_TRUE(f.Get("http://www.example.invalid:8080/Torv/Torv.htm"));
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.Body(), "via proxy");
    ASSERT_EQ(proxy.Requests().size(), 3u);
    // The absolute address keeps the server's port; relative locations resolve as without a
    // proxy.
    EXPECT_EQ(proxy.Requests()[0], "GET http://www.example.invalid:8080/Torv/Torv.htm HTTP/1.0\r\n"
                                   "Host: www.example.invalid\r\n"
                                   "Proxy-Authorization: Basic cHU6cHA=\r\n\r\n");
    EXPECT_EQ(proxy.Requests()[1], "GET http://www.example.invalid:8080/moved.htm HTTP/1.0\r\n"
                                   "Host: www.example.invalid\r\n"
                                   "Proxy-Authorization: Basic cHU6cHA=\r\n\r\n");
    EXPECT_EQ(proxy.Requests()[2], "GET http://www.example.invalid:8080/sub/x.bin HTTP/1.0\r\n"
                                   "Host: www.example.invalid\r\n"
                                   "Proxy-Authorization: Basic cHU6cHA=\r\n\r\n");
}

TEST(HttpCli, ABusyClientRefusesASecondStartButAcceptsOneInsideRequestDone)
{
    LoopbackServer server;
    server.Then(LoopbackServer::Answer("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nagain"))
        .Then(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\nagain"));
    Fetch f;
    f.cli.SetURL(server.Url("/one"));
    f.cli.GetAsync();
    try {
        f.cli.GetAsync();
        FAIL() << "a second start must raise";
    } catch (const EHttpException& e) {
        EXPECT_STREQ(e.what(), "HTTP component is busy");
        EXPECT_EQ(e.ErrorCode(), 1);
    }
    bool restarted = false;
    f.requestDone = [&] {
        if (!restarted) {
            restarted = true;
            EXPECT_EQ(f.cli.State(), hcReady);
            f.cli.SetURL(server.Url("/two"));
            f.cli.GetAsync();
        }
    };
    ASSERT_TRUE(ProcessMessagesUntil([&] { return f.done == 2; }));
    EXPECT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(f.cli.ContentLength(), -1);
    EXPECT_EQ(f.Body(), "againagain");
}

TEST(HttpCli, PostWithoutAStreamHasNothingToPost)
{
    THttpCli cli;
    EXPECT_EQ(cli.ContentLength(), -1); // unknown until an answer gives it
    cli.SetURL("http://127.0.0.1/");
    try {
        cli.PostAsync();
        FAIL() << "must raise";
    } catch (const EHttpException& e) {
        EXPECT_STREQ(e.what(), "HTTP component has nothing to post");
        EXPECT_EQ(e.ErrorCode(), 2);
    }
    EXPECT_EQ(cli.State(), hcReady);
}

TEST(HttpCli, RequestDoneComesTwoPostedMessagesAfterTheClose)
{
    LoopbackServer server(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\n"));
    Fetch f;
    bool closedSeen = false;
    f.stateChange = [&] {
        if (f.cli.State() == hcReady) {
            closedSeen = true;
            EXPECT_EQ(f.done, 0);
        }
    };
    ASSERT_TRUE(f.Get(server.Url("/")));
    EXPECT_TRUE(closedSeen);
}

TEST(HttpCli, AnExecutableAnsweredWithHtmlIsNamedHtm)
{
    LoopbackServer server(
        LoopbackServer::Answer("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<p>gone</p>"));
    Fetch f;
    ASSERT_TRUE(f.Get(server.Url("/files/Setup.EXE")));
    EXPECT_EQ(f.cli.DocumentName(), "Setup.htm");
}
