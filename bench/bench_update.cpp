// Download throughput of the update component (DownloadFile: a .part file, the progress
// window, the progress event per block) against the HTTP client alone, both fetching the same
// 64 MiB body from the same loopback server into a file in the same run.
#include "bench/BenchSupport.h"
#include "update/HttpProt.h"
#include "update/WebFileInfo.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr std::size_t bodySize = 64u * 1024 * 1024;

// Answers every connection with the same body, announced by Content-Length.
class BodyServer {
public:
    BodyServer() : m_body(bodySize, 'u')
    {
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
    QString Url() const { return QString("http://127.0.0.1:%1/Torv101.zip").arg(m_port); }

private:
    void Run()
    {
        const std::string head =
            "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(m_body.size()) + "\r\n\r\n";
        while (!m_stop) {
            const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                return;
            char buffer[4096];
            std::string request;
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                request.append(buffer, static_cast<std::size_t>(n));
            }
            SendAll(fd, head);
            SendAll(fd, m_body);
            shutdown(fd, SHUT_WR);
            while (recv(fd, buffer, sizeof buffer, 0) > 0) {
            }
            close(fd);
        }
    }
    static void SendAll(int fd, const std::string& bytes)
    {
        const char* data = bytes.data();
        std::size_t size = bytes.size();
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

BodyServer* server = nullptr;

QString OutputFile(const char* name)
{
    return QDir::tempPath() + "/tallyhorn-bench-" + name + ".bin";
}

void HttpCliDownload64MiB(benchmark::State& state)
{
    THttpCli cli;
    const QString path = OutputFile("client");
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        cli.SetResponseStream(&file);
        QEventLoop loop;
        cli.OnRequestDone = [&](QObject*, THttpRequest, std::uint16_t) { loop.quit(); };
        cli.SetURL(server->Url());
        cli.GetAsync();
        loop.exec();
        file.close();
        if (QFile(path).size() != static_cast<qint64>(bodySize)) {
            state.SkipWithError("download incomplete");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bodySize));
    QFile::remove(path);
}

void WebFileInfoDownload64MiB(benchmark::State& state)
{
    TWebFileInfo component;
    component.SetPublicKey(QString()); // DownloadFile never checks signatures
    const QString path = OutputFile("component");
    for (auto _ : state) {
        if (!component.DownloadFile(server->Url(), path, "Downloading Update") ||
            QFile(path).size() != static_cast<qint64>(bodySize)) {
            state.SkipWithError(qPrintable("download failed: " + component.LastError()));
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bodySize));
    QFile::remove(path);
}

BENCHMARK(HttpCliDownload64MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(WebFileInfoDownload64MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    BodyServer body;
    server = &body;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double client = reporter.Ns("HttpCliDownload64MiB/min_time:2.000/real_time");
    const double component = reporter.Ns("WebFileInfoDownload64MiB/min_time:2.000/real_time");
    if (client > 0 && component > 0) {
        const double mib = static_cast<double>(bodySize) / (1024.0 * 1024.0);
        std::printf("\nTHttpCli: %.0f MiB/s; TWebFileInfo: %.0f MiB/s\n", mib / (client * 1e-9),
                    mib / (component * 1e-9));
        std::printf("TWebFileInfo / THttpCli throughput: %.2f (target >= 0.9)\n",
                    client / component);
    }
    server = nullptr;
    benchmark::Shutdown();
}
