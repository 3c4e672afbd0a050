// `tallyhorn table` (the default table printed as text) against the start-up of the calculator
// window, both as whole processes.
//
// Run: build/bench/bench_cli. The window's figure is the start-up benchmark's startup_tallyhorn
// (the window created in a temporary program folder, shown, exposed and painted, then the
// process exits); the command's is the built program copied into a temporary folder, so it
// reads no settings file of the build tree. Launches alternate, so drift in the machine's speed
// affects both.
#include "bench/BenchSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString windowProgram, tableProgram;

// Milliseconds from the start of `program` with `args` until it has exited.
double ProcessMs(const QString& program, const QStringList& args)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, args);
    process.waitForFinished(60000);
    return timer.nsecsElapsed() / 1e6;
}

void Launch(benchmark::State& state, bool window)
{
    const QString& program = window ? windowProgram : tableProgram;
    const QStringList args = window ? QStringList{} : QStringList{"table"};
    ProcessMs(program, args); // warm the file cache; not counted
    for (auto _ : state)
        state.SetIterationTime(ProcessMs(program, args) / 1000.0);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QCoreApplication app(argc, argv);
    const QString here = QCoreApplication::applicationDirPath();
    windowProgram = here + "/startup_tallyhorn";
    QTemporaryDir folder;
    tableProgram = folder.filePath("tallyhorn");
    if (!QFile::copy(here + "/../tallyhorn", tableProgram)) {
        std::fprintf(stderr, "build the tallyhorn program first\n");
        return 1;
    }

    benchmark::RegisterBenchmark("StartupWindow", Launch, true)
        ->UseManualTime()
        ->Iterations(20)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("TableCommand", Launch, false)
        ->UseManualTime()
        ->Iterations(20)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::vector<double> window, table;
    for (int i = 0; i < 31; ++i) {
        window.push_back(ProcessMs(windowProgram, {}));
        table.push_back(ProcessMs(tableProgram, {"table"}));
    }
    std::printf("\ntallyhorn table: median %.1f ms; window start-up to shown: median %.1f ms; "
                "ratio %.3f (target < 1)\n",
                Median(table), Median(window), Median(table) / Median(window));
    benchmark::Shutdown();
}
