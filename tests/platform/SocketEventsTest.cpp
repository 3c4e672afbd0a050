// The socket event source: readiness of a descriptor as network messages, lookups answered on
// the user-interface thread, and system errors under their Windows Sockets numbers.
#include "platform/SocketEvents.h"

#include "platform/HiddenWindow.h"
#include "platform/NameResolver.h"
#include "platform/SocketErrors.h"
#include "tests/support/LoopbackServer.h"

#include <QThread>
#include <cerrno>
#include <gtest/gtest.h>
#include <latch>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// A hidden window that writes down each message as "event(error)" or "lookup(error)".
struct Window {
    QStringList messages;
    std::uintptr_t lastWParam = 0;
    Qt::HANDLE thread = nullptr;
    THiddenWindow window{[this](TMessage& m) {
        lastWParam = m.WParam;
        thread = QThread::currentThreadId();
        messages << QString("%1:%2(%3)")
                        .arg(m.Msg)
                        .arg(m.Msg == 1025 ? SelectEvent(m.LParam) : 0)
                        .arg(SelectError(m.LParam));
    }};
};

// Two connected stream sockets, closed on destruction.
struct Pair {
    int fd[2] = {-1, -1};
    Pair() { socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fd); }
    ~Pair()
    {
        for (int f : fd)
            if (f >= 0)
                close(f);
    }
};
} // namespace

TEST(SocketErrors, SystemErrorsMapToWindowsSocketsNumbers)
{
    EXPECT_EQ(WSAErrorFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(WSAErrorFromErrno(ECONNRESET), 10054);
    EXPECT_EQ(WSAErrorFromErrno(EPIPE), 10054);
    EXPECT_EQ(WSAErrorFromErrno(EAGAIN), 10035);
    EXPECT_EQ(WSAErrorFromErrno(EINPROGRESS), 10036);
    EXPECT_EQ(WSAErrorFromErrno(ENOTCONN), 10057);
    EXPECT_EQ(WSAErrorFromErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(WSAErrorFromErrno(EHOSTUNREACH), 10065);
    EXPECT_EQ(WSAErrorFromErrno(0), 0);
    EXPECT_EQ(WSAErrorFromResolver(EAI_NONAME), 11001);
    EXPECT_EQ(WSAErrorFromResolver(EAI_AGAIN), 11002);
    EXPECT_EQ(WSAErrorFromResolver(EAI_FAIL), 11003);
    EXPECT_EQ(MakeSelectLParam(FD_CONNECT, 10061), (10061 << 16) | 16);
}

TEST(SocketEvents, ReadIsReportedOnceUntilTheOwnerReads)
{
    Pair pair;
    Window w;
    TSocketEvents events(&w.window, 1025);
    events.Select(pair.fd[0], FD_READ | FD_WRITE | FD_CLOSE);
    ASSERT_EQ(write(pair.fd[1], "abc", 3), 3);
    ASSERT_TRUE(ProcessMessagesUntil([&] { return !w.messages.isEmpty(); }));
    ProcessPostedMessages();
    EXPECT_EQ(w.messages, QStringList({"1025:1(0)"}));
    EXPECT_EQ(w.lastWParam, static_cast<std::uintptr_t>(pair.fd[0]));
    char buffer[8];
    ASSERT_EQ(read(pair.fd[0], buffer, sizeof buffer), 3);
    events.ReadDone();
    // The peer's end follows as a close once everything is read.
    close(pair.fd[1]);
    pair.fd[1] = -1;
    ASSERT_TRUE(ProcessMessagesUntil([&] { return w.messages.size() == 2; }));
    EXPECT_EQ(w.messages.back(), "1025:32(0)");
}

TEST(SocketEvents, ReleaseDropsWhatIsStillQueued)
{
    Pair pair;
    Window w;
    TSocketEvents events(&w.window, 1025);
    events.Select(pair.fd[0], FD_READ | FD_CLOSE);
    // A report posted but not yet handled must not outlive the selection: the descriptor's
    // number may belong to another socket by the time it would be handled.
    PostMessage(&w.window, 1025, static_cast<std::uintptr_t>(pair.fd[0]),
                MakeSelectLParam(FD_READ, 0));
    events.Release();
    ASSERT_EQ(write(pair.fd[1], "x", 1), 1);
    ProcessPostedMessages();
    EXPECT_TRUE(w.messages.isEmpty());
}

TEST(SocketEvents, ARefusedConnectIsReportedWithItsError)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    Window w;
    TSocketEvents events(&w.window, 1025);
    events.Select(fd, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<std::uint16_t>(UnusedLoopbackPort()));
    peer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int rc = connect(fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer);
    if (rc != 0 && errno == EINPROGRESS) {
        events.ConnectStarted();
        ASSERT_TRUE(ProcessMessagesUntil([&] { return !w.messages.isEmpty(); }));
        ProcessPostedMessages();
        EXPECT_EQ(w.messages, QStringList({"1025:16(10061)"}));
    } else {
        EXPECT_EQ(WSAErrorFromErrno(errno), 10061);
    }
    events.Release();
    close(fd);
}

TEST(NameResolver, AnswersOnTheUserInterfaceThreadAndNotAfterACancel)
{
    Window w;
    const std::uintptr_t handle = TNameResolver::LookupName(&w.window, 1026, "localhost");
    ASSERT_TRUE(ProcessMessagesUntil([&] { return !w.messages.isEmpty(); }));
    EXPECT_EQ(w.messages, QStringList({"1026:0(0)"}));
    EXPECT_EQ(w.lastWParam, handle);
    EXPECT_EQ(w.thread, QThread::currentThreadId());
    EXPECT_EQ(TNameResolver::TakeResult(handle), QStringList({"127.0.0.1"}));
    EXPECT_TRUE(TNameResolver::TakeResult(handle).isEmpty());

    // A lookup cancelled while the worker is inside it never posts; lookups are answered in
    // order, so once a later one has its answer the cancelled one has been passed over.
    w.messages.clear();
    std::latch entered(1);
    std::latch release(1);
    const TNameResolver::Function answer = [&](const QString& query, bool, QStringList& result) {
        if (query == "slow") {
            entered.count_down();
            release.wait();
        }
        result << "127.0.0.9";
        return 0;
    };
    const std::uintptr_t cancelled = TNameResolver::LookupName(&w.window, 1026, "slow", answer);
    entered.wait();
    EXPECT_TRUE(TNameResolver::Cancel(cancelled));
    EXPECT_FALSE(TNameResolver::Cancel(cancelled));
    const std::uintptr_t later = TNameResolver::LookupName(&w.window, 1026, "fast", answer);
    release.count_down();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return !w.messages.isEmpty(); }));
    ProcessPostedMessages();
    EXPECT_EQ(w.messages, QStringList({"1026:0(0)"}));
    EXPECT_EQ(w.lastWParam, later);
    EXPECT_EQ(TNameResolver::TakeResult(later), QStringList({"127.0.0.9"}));
}
