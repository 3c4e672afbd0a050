// A scripted TCP server on 127.0.0.1 for network tests. It runs on a thread of its own with
// blocking sockets, accepts connections one after the other and runs a script on each, so a
// test can misbehave byte by byte (no header, a close mid-body, silence) on purpose.
#pragma once

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackServer {
public:
    // One accepted connection, used by a script on the server's thread.
    class Connection {
    public:
        Connection(LoopbackServer& server, int fd) : m_server(server), m_fd(fd) {}
        // Reads one request: up to the empty line after the header, plus a body of the
        // announced Content-Length. Returns it as received (also recorded in Requests()).
        std::string ReadRequest();
        void Send(const std::string& bytes);
        // Waits until the client closes the connection (or the server stops).
        void WaitForPeerClose();
        // Waits until the test calls Release() (or the server stops).
        void WaitForRelease();
        // Ends the connection with a reset instead of an orderly close.
        void Reset();
        int Descriptor() const { return m_fd; }

    private:
        LoopbackServer& m_server;
        int m_fd;
    };
    using Script = std::function<void(Connection&)>;

    // Listens on 127.0.0.1 at a free port; every connection runs `script` unless Then()
    // queued a script for it.
    explicit LoopbackServer(Script script = {});
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Queues a script for the next connection not yet scripted.
    LoopbackServer& Then(Script script);

    int Port() const { return m_port; }
    // "http://127.0.0.1:<port>" + path.
    QString Url(const QString& path = "/") const;
    std::vector<std::string> Requests() const;
    int Connections() const { return m_connections; }
    // Lets every script waiting in WaitForRelease() go on.
    void Release();

    // A script answering `response` to one request and closing.
    static Script Answer(const std::string& response);

private:
    void Run();

    int m_listen = -1;
    int m_wake[2] = {-1, -1};
    int m_port = 0;
    Script m_default;
    std::deque<Script> m_scripts;
    std::vector<std::string> m_requests;
    std::atomic<int> m_connections{0};
    std::atomic<bool> m_stopping{false};
    bool m_released = false;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
};

// A port on 127.0.0.1 where nothing listens (connections to it are refused).
int UnusedLoopbackPort();

// Processes messages until `condition` holds or `milliseconds` pass; returns the condition.
bool ProcessMessagesUntil(const std::function<bool()>& condition, int milliseconds = 10000);

// Handles every message posted so far and those they post in turn, `rounds` deep, each round
// ended by a posted sentinel (and the descriptors polled once): after it a test can check that
// nothing else arrives without waiting a fixed time.
void ProcessPostedMessages(int rounds = 4);
