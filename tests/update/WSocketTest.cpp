// The asynchronous socket: its send buffers, lookups, connection, transfer and close, on real
// sockets over 127.0.0.1.
#include "update/WSocket.h"

#include "platform/SocketErrors.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/StubNameResolver.h"
#include "update/Wait.h"

#include <atomic>
#include <gtest/gtest.h>
#include <sys/socket.h>

namespace {
using Connection = LoopbackServer::Connection;

// A socket with a record of its events, each as "Name(error)".
struct Probe : TWSocketListener {
    TWSocket socket;
    QStringList events;
    QByteArray received;
    int errors = 0;
    bool takeErrors = false; // OnError takes the failures
    std::function<void()> sessionAvailable;

    Probe() { socket.SetListener(this); }
    ~Probe() override { socket.SetListener(nullptr); }
    void OnDnsLookupDone(TCustomWSocket*, std::uint16_t e) override { Add("DnsLookupDone", e); }
    void OnSessionConnected(TCustomWSocket*, std::uint16_t e) override
    {
        Add("SessionConnected", e);
    }
    void OnSessionClosed(TCustomWSocket*, std::uint16_t e) override { Add("SessionClosed", e); }
    void OnDataSent(TCustomWSocket*, std::uint16_t e) override { Add("DataSent", e); }
    void OnDataAvailable(TCustomWSocket*, std::uint16_t) override
    {
        char buffer[4096];
        const int n = socket.Receive(buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, n);
            if (events.isEmpty() || events.back() != "DataAvailable")
                events << "DataAvailable";
        }
    }
    void OnSessionAvailable(TCustomWSocket*, std::uint16_t) override
    {
        if (sessionAvailable)
            sessionAvailable();
    }
    bool OnError(TCustomWSocket*, const QString&) override
    {
        errors += takeErrors;
        return takeErrors;
    }
    void Add(const char* name, std::uint16_t error)
    {
        events << QString("%1(%2)").arg(name).arg(error);
    }
    bool Saw(const QString& event) const { return events.contains(event); }
    void ConnectTo(int port)
    {
        socket.SetAddr("127.0.0.1");
        socket.SetPort(QString::number(port));
        socket.SetProto("tcp");
        socket.Connect();
    }
};

std::string RaisedText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ESocketException& e) {
        return e.what();
    }
    return "nothing raised";
}
} // namespace

TEST(TBuffer, FillsToItsSizeAndEmptiesFromTheFront)
{
    TBuffer buffer(0);
    EXPECT_EQ(buffer.Size(), 1514);
    const std::string data(4000, 'd');
    EXPECT_EQ(buffer.Write(data.data(), 4000), 1514);
    EXPECT_EQ(buffer.Write(data.data(), 10), 0);
    int length = 0;
    EXPECT_NE(buffer.Peek(length), nullptr);
    EXPECT_EQ(length, 1514);
    buffer.Remove(1000);
    buffer.Peek(length);
    EXPECT_EQ(length, 514);
    buffer.Remove(9999);
    EXPECT_EQ(buffer.Peek(length), nullptr);
    EXPECT_EQ(length, 0);
    // Once sent, the block can be filled again.
    EXPECT_EQ(buffer.WrCount(), 0);
    EXPECT_EQ(buffer.Write("abc", 3), 3);
    buffer.SetSize(2);
    EXPECT_EQ(buffer.WrCount(), 2);
    EXPECT_EQ(std::string(buffer.Peek(length), 2), "ab");
}

TEST(SocketErrorDesc, GivesTheTextsOfTheErrorNumbers)
{
    EXPECT_EQ(SocketErrorDesc(0), "No Error");
    EXPECT_EQ(SocketErrorDesc(10061), "Connection refused");
    EXPECT_EQ(SocketErrorDesc(10054), "Connection reset by peer");
    EXPECT_EQ(SocketErrorDesc(11001), "Host not found");
    EXPECT_EQ(SocketErrorDesc(11004), "No Data");
    EXPECT_EQ(SocketErrorDesc(10060), "Connection timed out");
    EXPECT_EQ(SocketErrorDesc(12345), "Not a WinSock error");
    EXPECT_EQ(SocketErrorDesc(ECONNREFUSED), "Not a WinSock error");
}

TEST(WSocket, ADottedAddressIsLookedUpInsideTheCall)
{
    Probe p;
    p.socket.DnsLookup("127.000.000.001");
    EXPECT_EQ(p.events, QStringList({"DnsLookupDone(0)"}));
    EXPECT_EQ(p.socket.DnsResult(), "127.0.0.1");
}

TEST(WSocket, ANameIsLookedUpLaterOnTheSameThread)
{
    Probe p;
    p.socket.DnsLookup("localhost");
    EXPECT_TRUE(p.events.isEmpty());
    ASSERT_TRUE(ProcessMessagesUntil([&] { return !p.events.isEmpty(); }));
    EXPECT_EQ(p.events, QStringList({"DnsLookupDone(0)"}));
    EXPECT_EQ(p.socket.DnsResult(), "127.0.0.1");
}

// A socket's own resolver answers its lookups, asynchronous and blocking (Connect by name),
// while a socket beside it still asks the system.
TEST(WSocket, AResolverGivenToASocketAnswersOnlyThatSocket)
{
    Probe p;
    p.socket.SetNameResolver(StubNameResolver("update.example", {"127.0.0.1", "127.0.0.3"}));
    Probe system;
    p.socket.DnsLookup("nothing-here.invalid");
    system.socket.DnsLookup("localhost");
    ASSERT_TRUE(
        ProcessMessagesUntil([&] { return !p.events.isEmpty() && !system.events.isEmpty(); }));
    EXPECT_EQ(p.events, QStringList({"DnsLookupDone(11001)"}));
    EXPECT_EQ(p.socket.DnsResult(), "");
    EXPECT_EQ(system.events, QStringList({"DnsLookupDone(0)"}));
    EXPECT_EQ(system.socket.DnsResult(), "127.0.0.1");

    p.events.clear();
    p.socket.DnsLookup("update.example");
    ASSERT_TRUE(ProcessMessagesUntil([&] { return !p.events.isEmpty(); }));
    EXPECT_EQ(p.events, QStringList({"DnsLookupDone(0)"}));
    EXPECT_EQ(p.socket.DnsResultList(), QStringList({"127.0.0.1", "127.0.0.3"}));

    LoopbackServer server([](Connection& c) { c.WaitForPeerClose(); });
    p.events.clear();
    p.socket.SetAddr("update.example");
    p.socket.SetPort(QString::number(server.Port()));
    p.socket.Connect(); // to the first address
    ASSERT_TRUE(ProcessMessagesUntil([&] { return !p.events.isEmpty(); }));
    EXPECT_EQ(p.events.first(), "SessionConnected(0)");
    p.socket.Close();
    p.socket.SetAddr("nothing-here.invalid");
    p.socket.SetPort(QString::number(server.Port()));
    EXPECT_EQ(RaisedText([&] { p.socket.Connect(); }),
              "SetAddr: Cannot convert host address 'nothing-here.invalid'");
}

TEST(WSocket, ACancelledLookupReportsInterruptedAndNothingElse)
{
    Probe p;
    p.socket.DnsLookup("localhost");
    p.socket.CancelDnsLookup();
    EXPECT_EQ(p.events, QStringList({"DnsLookupDone(10004)"}));
    // Lookups are answered in order, so once a later one is answered the cancelled one can
    // no longer report anything.
    Probe later;
    later.socket.DnsLookup("localhost");
    ASSERT_TRUE(ProcessMessagesUntil([&] { return !later.events.isEmpty(); }));
    ProcessPostedMessages();
    EXPECT_EQ(p.events, QStringList({"DnsLookupDone(10004)"}));
}

TEST(WSocket, RefusalsAreRaisedWithTheirTexts)
{
    Probe p;
    EXPECT_EQ(RaisedText([&] { p.socket.DnsLookup(""); }), "DNS lookup: invalid host name.");
    EXPECT_EQ(RaisedText([&] { p.socket.Connect(); }), "Connect: No Port Specified");
    p.socket.SetPort("80");
    EXPECT_EQ(RaisedText([&] { p.socket.Connect(); }), "Connect: No IP Address Specified");
    EXPECT_EQ(RaisedText([&] { p.socket.SetSendFlags(7); }), "Invalid SendFlags");
    EXPECT_EQ(RaisedText([&] { p.socket.WaitForState(wsConnected, 1); }),
              "Error 11004 in function TWSocket.Wait\r\nNo Data");
    EXPECT_EQ(RaisedText([&] { p.socket.SetProto("no-such-protocol"); }),
              "Error 11004 in function SetProto: Cannot convert protocol 'no-such-protocol'\r\n"
              "No Data");
}

TEST(WSocket, AnOnErrorHandlerTakesTheFailureInsteadOfAnException)
{
    Probe p;
    p.takeErrors = true;
    p.socket.DnsLookup("");
    EXPECT_EQ(p.errors, 1);
    EXPECT_EQ(p.events, QStringList({"DnsLookupDone(10022)"}));
}

TEST(WSocket, AConnectToAClosedPortIsRefusedThenClosedOnce)
{
    Probe p;
    p.ConnectTo(UnusedLoopbackPort());
    ASSERT_TRUE(ProcessMessagesUntil([&] { return p.Saw("SessionClosed(0)"); }));
    ProcessPostedMessages();
    EXPECT_EQ(p.events, QStringList({"SessionConnected(10061)", "SessionClosed(0)"}));
    EXPECT_EQ(p.socket.State(), wsClosed);
}

TEST(WSocket, SettingsAreRefusedWhileConnectedAndResetAfterTheClose)
{
    LoopbackServer server([](Connection& c) { c.WaitForPeerClose(); });
    Probe p;
    p.ConnectTo(server.Port());
    ASSERT_TRUE(ProcessMessagesUntil([&] { return p.socket.State() == wsConnected; }));
    EXPECT_EQ(RaisedText([&] { p.socket.SetPort("81"); }), "Cannot change Port if not closed");
    EXPECT_EQ(RaisedText([&] { p.socket.SetAddr("1.2.3.4"); }), "Cannot change Addr if not closed");
    EXPECT_EQ(RaisedText([&] { p.socket.SetProto("udp"); }), "Cannot change Proto if not closed");
    EXPECT_EQ(RaisedText([&] { p.socket.Connect(); }), "Connect: Socket already in use");
    p.socket.Close();
    p.socket.Close();
    // The write event that follows a connect reports an empty queue as sent.
    EXPECT_EQ(p.events, QStringList({"SessionConnected(0)", "DataSent(0)", "SessionClosed(0)"}));
    EXPECT_EQ(p.socket.Port(), "");
    EXPECT_EQ(p.socket.Addr(), "");
    EXPECT_EQ(p.socket.Proto(), "tcp");
    EXPECT_EQ(p.socket.LingerOnOff(), wsLingerOn);
}

TEST(WSocket, DataWaitingWhenThePeerClosesArrivesBeforeTheClose)
{
    LoopbackServer server([](Connection& c) { c.Send(std::string(30000, 'w')); });
    Probe p;
    p.ConnectTo(server.Port());
    ASSERT_TRUE(ProcessMessagesUntil([&] { return p.Saw("SessionClosed(0)"); }));
    EXPECT_EQ(p.received.size(), 30000);
    EXPECT_EQ(p.socket.ReadCount(), 0); // back to the defaults after the close
    EXPECT_EQ(p.events, QStringList({"SessionConnected(0)", "DataSent(0)", "DataAvailable",
                                     "SessionClosed(0)"}));
}

TEST(WSocket, AResetByThePeerReportsItsError)
{
    LoopbackServer server([](Connection& c) {
        c.WaitForRelease();
        c.Reset();
    });
    Probe p;
    p.ConnectTo(server.Port());
    ASSERT_TRUE(ProcessMessagesUntil([&] { return p.socket.State() == wsConnected; }));
    server.Release();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return p.socket.State() == wsClosed; }));
    EXPECT_EQ(p.events,
              QStringList({"SessionConnected(0)", "DataSent(0)", "SessionClosed(10054)"}));
}

TEST(WSocket, AQueueThatTheNetworkCannotTakeGoesOutInOrderAndEndsWithDataSent)
{
    const int total = 32 * 1024 * 1024;
    std::atomic<long long> checksum{0};
    std::atomic<int> count{0};
    LoopbackServer server([&](Connection& c) {
        c.WaitForRelease();
        char buffer[65536];
        long long sum = 0;
        long long position = 0;
        for (;;) {
            const ssize_t n = recv(c.Descriptor(), buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            for (ssize_t i = 0; i < n; ++i, ++position)
                sum += (position % 251) * static_cast<unsigned char>(buffer[i]);
            count += static_cast<int>(n);
        }
        checksum = sum;
    });
    Probe p;
    // The default (lingering on, 0 seconds) resets the connection on close and drops what the
    // peer has not read yet; an orderly close keeps it.
    p.socket.SetLingerOnOff(wsLingerOff);
    p.ConnectTo(server.Port());
    ASSERT_TRUE(ProcessMessagesUntil([&] { return p.socket.State() == wsConnected; }));
    QByteArray data(total, 0);
    long long expected = 0;
    for (int i = 0; i < total; ++i) {
        data[i] = static_cast<char>(i * 7 % 256);
        expected += (i % 251) * static_cast<unsigned char>(data[i]);
    }
    p.events.clear();
    EXPECT_EQ(p.socket.Send(data.constData(), total), total);
    EXPECT_FALSE(p.socket.AllSent());
    EXPECT_GT(p.socket.QueueCount(), 2);
    EXPECT_FALSE(p.Saw("DataSent(0)"));
    server.Release();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return p.Saw("DataSent(0)"); }, 30000));
    EXPECT_TRUE(p.socket.AllSent());
    EXPECT_EQ(p.socket.QueueCount(), 1);
    p.socket.Close();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return checksum != 0; }, 30000));
    EXPECT_EQ(count.load(), total);
    EXPECT_EQ(checksum.load(), expected);
}

TEST(WSocket, DataSentFollowsASmallSendAsALaterEvent)
{
    LoopbackServer server([](Connection& c) { c.WaitForPeerClose(); });
    Probe p;
    p.ConnectTo(server.Port());
    // The write event that follows the connect reports the empty queue as sent first.
    ASSERT_TRUE(ProcessMessagesUntil([&] { return p.Saw("DataSent(0)"); }));
    ProcessPostedMessages();
    p.events.clear();
    EXPECT_EQ(p.socket.SendStr("hello"), 5);
    EXPECT_TRUE(p.events.isEmpty());
    ASSERT_TRUE(ProcessMessagesUntil([&] { return p.Saw("DataSent(0)"); }));
}

TEST(WSocket, SendingWhileClosedFails)
{
    Probe p;
    EXPECT_EQ(RaisedText([&] { p.socket.Send("x", 1); }),
              "Error 10057 in function Send\r\nSocket is not connected");
}

TEST(WSocket, ListenAcceptAndTalkBetweenTwoComponents)
{
    Probe server;
    Probe peer; // the accepted side
    server.socket.SetPort("0");
    server.socket.SetAddr("127.0.0.1");
    server.sessionAvailable = [&] { peer.socket.Dup(server.socket.Accept()); };
    server.socket.Listen();
    EXPECT_EQ(server.socket.State(), wsListening);
    const int port = server.socket.GetXPort().toInt();

    Probe client;
    client.ConnectTo(port);
    ASSERT_TRUE(ProcessMessagesUntil([&] {
        return client.socket.State() == wsConnected && peer.socket.State() == wsConnected;
    }));
    EXPECT_EQ(peer.socket.GetPeerAddr(), "127.0.0.1");
    client.socket.SendStr("ping");
    ASSERT_TRUE(ProcessMessagesUntil([&] { return peer.received == "ping"; }));
    peer.socket.SendStr("pong");
    peer.socket.Close();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return client.Saw("SessionClosed(0)"); }));
    EXPECT_EQ(client.received, "pong");
}

TEST(WSocket, ReadLineCollectsOneLineWithoutItsEnd)
{
    LoopbackServer server([](Connection& c) {
        c.WaitForRelease();
        c.Send("first line\r\nsecond\n");
        c.WaitForPeerClose();
    });
    TWSocket socket;
    socket.SetMultiThreaded(true);
    socket.SetAddr("127.0.0.1");
    socket.SetPort(QString::number(server.Port()));
    socket.Connect();
    ASSERT_TRUE(socket.WaitForState(wsConnected, 10));
    // Data that arrives with no line read and no handler is discarded, so the server speaks
    // only once the read runs.
    server.Release();
    QString line;
    ASSERT_TRUE(socket.ReadLine(10, line));
    EXPECT_EQ(line, "first line");
}

TEST(WSocket, AWaitControlCountsDownWhileTheWaitRuns)
{
    LoopbackServer server([](Connection& c) { c.WaitForPeerClose(); });
    TWait wait;
    TWSocket socket;
    socket.SetWaitCtrl(&wait);
    socket.SetAddr("127.0.0.1");
    socket.SetPort(QString::number(server.Port()));
    socket.Connect();
    EXPECT_TRUE(socket.WaitForState(wsConnected, 10));
    EXPECT_EQ(wait.text(), "");
}

TEST(WSocket, DatagramsGoToTheBoundPeer)
{
    Probe receiver;
    receiver.socket.SetProto("udp");
    receiver.socket.SetAddr("127.0.0.1");
    receiver.socket.SetPort("0");
    receiver.socket.Listen();
    EXPECT_EQ(receiver.socket.State(), wsBound);

    Probe sender;
    sender.socket.SetProto("udp");
    sender.socket.SetAddr("127.0.0.1");
    sender.socket.SetPort(receiver.socket.GetXPort());
    sender.socket.Connect();
    EXPECT_EQ(sender.events, QStringList({"SessionConnected(0)"}));
    sender.socket.SendStr("datagram");
    ASSERT_TRUE(ProcessMessagesUntil([&] { return receiver.received == "datagram"; }));
}
