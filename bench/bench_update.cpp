// Download throughput of the update component (DownloadFile: a .part file, the progress
// window, the progress event per block) against the HTTP client alone, both fetching the same
// 64 MiB body from the same loopback server into a file in the same run.
#include "bench/BenchSupport.h"
#include "bench/BodyServer.h"
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

BodyServer* server = nullptr;

QString Url()
{
    return QString("http://127.0.0.1:%1/Torv101.zip").arg(server->Port());
}

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
        struct Done : THttpCliListener {
            QEventLoop loop;
            void OnRequestDone(THttpCli*, THttpRequest, std::uint16_t) override { loop.quit(); }
        } done;
        cli.SetListener(&done);
        cli.SetURL(Url());
        cli.GetAsync();
        done.loop.exec();
        cli.SetListener(nullptr);
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
    component.SetPublicKey(QString()); // DownloadFile checks no manifest
    const QString path = OutputFile("component");
    for (auto _ : state) {
        if (!component.DownloadFile(Url(), path, "Downloading Update") ||
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
    BodyServer body(bodySize);
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
