// The HTTP client against scripted servers on 127.0.0.1: what it sends, and what it makes of
// well-behaved and misbehaving answers.
#include "platform/Application.h"
#include "tests/support/LoopbackServer.h"
#include "update/HttpProt.h"
#include "update/WSocket.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {
using Connection = LoopbackServer::Connection;

// Records what reaches the application's exception trap during one test.
struct TrapRecorder {
    QStringList messages;
    TrapRecorder()
    {
        Application::instance()->SetOnException(
            [this](QObject*, const std::exception& e) { messages << e.what(); });
    }
    ~TrapRecorder() { Application::instance()->SetOnException({}); }
};

// One client with a memory stream and a record of its events.
struct Fetch {
    THttpCli cli;
    QBuffer body;
    int done = 0;
    std::uint16_t error = 0xFFFF;
    THttpRequest requestType = rtGet;
    QStringList events;

    Fetch()
    {
        body.open(QIODevice::WriteOnly);
        cli.SetResponseStream(&body);
        cli.OnRequestDone = [this](QObject*, THttpRequest rq, std::uint16_t e) {
            ++done;
            requestType = rq;
            error = e;
            events << "RequestDone";
        };
        cli.OnDocBegin = [this](QObject*) { events << "DocBegin"; };
        cli.OnDocEnd = [this](QObject*) { events << "DocEnd"; };
        cli.OnHeaderBegin = [this](QObject*) { events << "HeaderBegin"; };
        cli.OnHeaderEnd = [this](QObject*) { events << "HeaderEnd"; };
        cli.OnLocationChange = [this](QObject*) { events << "LocationChange"; };
        cli.OnSessionConnected = [this](QObject*) { events << "SessionConnected"; };
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
    f.cli.OnDocData = [&](QObject*, const char*, int length) {
        ++blocks;
        EXPECT_LE(length, 8192);
    };
    ASSERT_TRUE(f.Get(server.Url("/big.bin")));
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.cli.StatusCode(), 200);
    EXPECT_EQ(f.cli.ContentLength(), -1);
    EXPECT_EQ(f.Body(), big);
    EXPECT_GE(blocks, 13);
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
    f.cli.OnCommand = [&](QObject*, QString& line) { commands << line; };
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
    EXPECT_EQ(f.cli.Username(), "user");
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
    f.cli.OnSendEnd = [&](QObject*) { ended = true; };
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

TEST(HttpCli, ErrorStatusEndsAtTheStatusLine)
{
    LoopbackServer server([](Connection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 404 Not Found\r\nServer: test\r\n");
        // The client closes without waiting for the rest of the header.
        c.WaitForPeerClose();
    });
    Fetch f;
    ASSERT_TRUE(f.Get(server.Url("/missing.htm")));
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase(), "Not Found");
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.Body(), "");
    EXPECT_EQ(f.cli.ReceivedHeader(), QStringList({"HTTP/1.0 404 Not Found"}));
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

TEST(HttpCli, AHeaderLineLongerThanTheBufferRaisesAndEndsTheRequest)
{
    TrapRecorder trap;
    LoopbackServer server([](Connection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 200 OK\r\nX-Long: " + std::string(9000, 'a') + "\r\n\r\n");
        c.WaitForPeerClose();
    });
    Fetch f;
    ASSERT_TRUE(f.Get(server.Url("/")));
    EXPECT_EQ(trap.messages, QStringList({"HTTP line too long"}));
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
                     "Connection closed before the whole document arrived", THttpError::Truncated}),
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

TEST(HttpCli, AResetMidBodyIsAFailureEvenWithoutContentLength)
{
    LoopbackServer server([](Connection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 200 OK\r\n\r\n" + std::string(2000, 'r'));
        c.WaitForRelease();
        c.Reset();
    });
    Fetch f;
    f.cli.OnDocData = [&](QObject*, const char*, int) {
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
    f.cli.SetIdleTimeout(300);
    ASSERT_TRUE(f.Get(server.Url("/")));
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase(), "The server did not answer in time");
    EXPECT_EQ(f.error, static_cast<int>(THttpError::Timeout));
}

TEST(HttpCli, AServerThatKeepsTheConnectionAfterTheAnnouncedBodyHasDelivered)
{
    LoopbackServer server([](Connection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nfive!");
        c.WaitForPeerClose();
    });
    Fetch f;
    f.cli.SetIdleTimeout(300);
    ASSERT_TRUE(f.Get(server.Url("/")));
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.cli.StatusCode(), 200);
    EXPECT_EQ(f.Body(), "five!");
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
    ASSERT_TRUE(f.Get("http://no-such-host.invalid/page.htm"));
    EXPECT_EQ(f.cli.StatusCode(), 404);
    EXPECT_EQ(f.cli.ReasonPhrase(), "can't resolve hostname to IP address");
    EXPECT_NE(f.error, 0);
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
    // A late lookup answer must not start anything.
    ProcessMessagesUntil([] { return false; }, 200);
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
    f.cli.OnDocData = [&](QObject*, const char*, int) {
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
        .Then(LoopbackServer::Answer("HTTP/1.0 200 OK\r\n\r\nvia proxy"));
    Fetch f;
    f.cli.SetProxy("127.0.0.1");
    f.cli.SetProxyPort(QString::number(proxy.Port()));
    f.cli.SetProxyUsername("pu");
    f.cli.SetProxyPassword("pp");
    ASSERT_TRUE(f.Get("http://www.example.invalid:8080/Torv/Torv.htm"));
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.Body(), "via proxy");
    ASSERT_EQ(proxy.Requests().size(), 2u);
    EXPECT_EQ(proxy.Requests()[0], "GET http://www.example.invalid/Torv/Torv.htm HTTP/1.0\r\n"
                                   "Host: www.example.invalid\r\n"
                                   "Proxy-Authorization: Basic cHU6cHA=\r\n\r\n");
    EXPECT_EQ(proxy.Requests()[1], "GET http://www.example.invalid/moved.htm HTTP/1.0\r\n"
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
    f.cli.OnRequestDone = [&](QObject*, THttpRequest, std::uint16_t) {
        ++f.done;
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
    f.cli.OnDocEnd = nullptr;
    f.cli.OnStateChange = [&](QObject*) {
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
