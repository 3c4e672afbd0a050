// Download throughput of the HTTP client: a 64 MiB body from a loopback server into a file,
// against curl fetching the same body from the same server into a file in the same run.
//
// The server runs on a thread of its own and answers every connection with the same body, so
// both clients meet the same sender. curl's time includes starting its process (a few
// milliseconds against a download of tens of milliseconds).
//
// When nginx is installed, the same download is then measured from nginx (a 64 MiB file on a
// free loopback port): the client and curl run alternately, and the medians are compared. The
// client writes each body block to a QFile, as the update download does.
#include "bench/BenchSupport.h"
#include "bench/BodyServer.h"
#include "tests/support/NginxServer.h"
#include "update/HttpProt.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
constexpr std::size_t bodySize = 64u * 1024 * 1024;

BodyServer* server = nullptr;

QString Url()
{
    return QString("http://127.0.0.1:%1/big.bin").arg(server->Port());
}

QString OutputFile(const char* name)
{
    return QDir::tempPath() + "/tallyhorn-bench-" + name + ".bin";
}

// One download of `url` into `path` by the client; false unless all of it arrived.
bool ClientDownload(THttpCli& cli, const QString& url, const QString& path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    cli.SetResponseStream(&file);
    struct Done : THttpCliListener {
        QEventLoop loop;
        std::uint16_t error = 0;
        void OnRequestDone(THttpCli*, THttpRequest, std::uint16_t e) override
        {
            error = e;
            loop.quit();
        }
    } done;
    cli.SetListener(&done);
    cli.SetURL(url);
    cli.GetAsync();
    done.loop.exec();
    cli.SetListener(nullptr);
    const std::uint16_t error = done.error;
    file.close();
    return error == 0 && cli.BytesReceived() == static_cast<qint64>(bodySize) &&
           QFile(path).size() == static_cast<qint64>(bodySize);
}

bool CurlDownload(const QString& url, const QString& path)
{
    const std::string command =
        "curl -s -o '" + path.toStdString() + "' '" + url.toStdString() + "'";
    return std::system(command.c_str()) == 0 && QFile(path).size() == static_cast<qint64>(bodySize);
}

void HttpCliDownload64MiB(benchmark::State& state)
{
    THttpCli cli;
    const QString path = OutputFile("httpcli");
    for (auto _ : state) {
        if (!ClientDownload(cli, Url(), path)) {
            state.SkipWithError("download incomplete");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bodySize));
    QFile::remove(path);
}

void CurlDownload64MiB(benchmark::State& state)
{
    const QString path = OutputFile("curl");
    for (auto _ : state) {
        if (!CurlDownload(Url(), path)) {
            state.SkipWithError("curl failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bodySize));
    QFile::remove(path);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The client and curl against nginx, alternately, `rounds` times each.
void CompareAgainstNginx(int rounds)
{
    NginxServer nginx;
    if (!nginx.Running()) {
        std::printf("\nnginx comparison skipped: %s\n", qPrintable(nginx.Error()));
        return;
    }
    QByteArray body(static_cast<qsizetype>(bodySize), '\0');
    for (std::size_t i = 0; i < bodySize; ++i)
        body[static_cast<qsizetype>(i)] = static_cast<char>('a' + i % 23);
    nginx.AddFile("big.bin", body);
    body.clear();
    const QString url = nginx.Url("/big.bin");
    const QString ours = OutputFile("nginx-httpcli");
    const QString theirs = OutputFile("nginx-curl");
    THttpCli cli;
    std::vector<double> clientSeconds;
    std::vector<double> curlSeconds;
    // One untimed run each warms the page cache and the server.
    if (!ClientDownload(cli, url, ours) || !CurlDownload(url, theirs)) {
        std::printf("\nnginx comparison failed: a download did not complete\n");
        return;
    }
    for (int i = 0; i < rounds; ++i) {
        // Alternate which one goes first, so neither always meets a warmer machine.
        for (int k = 0; k < 2; ++k) {
            QElapsedTimer timer;
            timer.start();
            const bool client = (k == 0) == (i % 2 == 0);
            const bool ok = client ? ClientDownload(cli, url, ours) : CurlDownload(url, theirs);
            const double seconds = static_cast<double>(timer.nsecsElapsed()) * 1e-9;
            if (!ok) {
                std::printf("\nnginx comparison failed: a download did not complete\n");
                return;
            }
            (client ? clientSeconds : curlSeconds).push_back(seconds);
        }
    }
    QFile::remove(ours);
    QFile::remove(theirs);
    const double mib = static_cast<double>(bodySize) / (1024.0 * 1024.0);
    const double client = Median(clientSeconds);
    const double curl = Median(curlSeconds);
    std::printf("\nnginx, 64 MiB, medians of %d interleaved runs: THttpCli %.0f MiB/s; curl %.0f "
                "MiB/s\n",
                rounds, mib / client, mib / curl);
    std::printf("THttpCli / curl throughput against nginx: %.2f (target >= 0.9)\n", curl / client);
}

BENCHMARK(HttpCliDownload64MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(CurlDownload64MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    BodyServer body(bodySize);
    server = &body;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ours = reporter.Ns("HttpCliDownload64MiB/min_time:2.000/real_time");
    const double curl = reporter.Ns("CurlDownload64MiB/min_time:2.000/real_time");
    if (ours > 0 && curl > 0) {
        const double mib = static_cast<double>(bodySize) / (1024.0 * 1024.0);
        std::printf("\nTHttpCli: %.0f MiB/s; curl: %.0f MiB/s\n", mib / (ours * 1e-9),
                    mib / (curl * 1e-9));
        std::printf("THttpCli / curl throughput: %.2f (target >= 0.8)\n", curl / ours);
    }
    CompareAgainstNginx(9);
    server = nullptr;
    benchmark::Shutdown();
}
