// A loopback HTTP/1.0 server for the download benchmarks: on a thread of its own it answers
// every connection with the same body (a byte pattern), announced by Content-Length, and waits
// for the client's close so that the client sees an orderly end.
#pragma once

#include <QString>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

class BodyServer {
public:
    explicit BodyServer(std::size_t bodySize) : m_body(bodySize, '\0')
    {
        for (std::size_t i = 0; i < m_body.size(); ++i)
            m_body[i] = static_cast<char>('a' + i % 23);
        m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(m_listen, 8);
        socklen_t length = sizeof address;
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Run(); });
    }
    ~BodyServer()
    {
        m_stop = true;
        shutdown(m_listen, SHUT_RDWR);
        m_thread.join();
        close(m_listen);
    }
    int Port() const { return m_port; }

private:
    void Run()
    {
        const std::string head =
            "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
            std::to_string(m_body.size()) + "\r\n\r\n";
        while (!m_stop) {
            const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                return;
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                request.append(buffer, static_cast<std::size_t>(n));
            }
            SendAll(fd, head.data(), head.size());
            SendAll(fd, m_body.data(), m_body.size());
            shutdown(fd, SHUT_WR);
            // Wait for the client's close so that it sees an orderly end.
            while (recv(fd, buffer, sizeof buffer, 0) > 0) {
            }
            close(fd);
        }
    }
    static void SendAll(int fd, const char* data, std::size_t size)
    {
        while (size > 0) {
            const ssize_t n = send(fd, data, std::min<std::size_t>(size, 1 << 20), MSG_NOSIGNAL);
            if (n <= 0)
                return;
            data += n;
            size -= static_cast<std::size_t>(n);
        }
    }

    std::string m_body;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
