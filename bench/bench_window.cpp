// The calculator window's table build against the bare solver calls, and the program's
// start-up against a plain Qt program.
//
// Run: bench_window (offscreen), or on an X server (QT_QPA_PLATFORM=xcb, DISPLAY set) for the
// start-up figures that count. The start-up is that of two programs built beside this one:
// startup_tallyhorn (the steps of app/main.cpp, linked as tallyhorn is) and startup_reference
// (one label of the window's size, in a program linked with Qt Widgets alone). Each reports
// the moment its window is on the screen (mapped, exposed and painted) on the system's
// monotonic clock and exits; the figure is the time from just before exec to that moment.
// Process teardown is not counted. "bench_window --phases" prints where each one's time goes.
#include "app/Main.h"
#include "bench/BenchSupport.h"
#include "calc/AprTable.h"
#include "controls/ExplBtn.h"
#include "platform/Application.h"
#include "platform/ProgramFolder.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {
TfrmMain* window = nullptr;

void CalcAPRTableWindow(benchmark::State& state)
{
    for (auto _ : state)
        window->CalcAPRTable(window->findChild<TExplorerButton*>("btnCalculate"));
}

void Bare77SolverCalls(benchmark::State& state)
{
    const calc::UserLoan u = calc::ComputeUserLoan(100000, 0, 30, 8.75, 0);
    for (auto _ : state) {
        for (int k = -5; k <= 5; ++k)
            benchmark::DoNotOptimize(calc::CalcIR(u.n, u.loan + 1000.0 * k, u.payment));
        for (int j = 0; j <= 5; ++j)
            for (int k = -5; k <= 5; ++k)
                benchmark::DoNotOptimize(
                    calc::CalcSimpleAPR(u.n, u.loan + 1000.0 * k - 1000.0 * j, u.payment));
    }
}

// The system's monotonic clock in nanoseconds: the same in every process.
long long MonotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

const QString tallyhornProgram = QStringLiteral(STARTUP_TALLYHORN_PROGRAM);
const QString referenceProgram = QStringLiteral(STARTUP_REFERENCE_PROGRAM);

// Runs `program` with `args`; returns its output and the moment just before exec.
std::pair<QByteArray, long long> Launch(const QString& program, const QStringList& args)
{
    QProcess process;
    const long long start = MonotonicNs();
    process.start(program, args);
    process.waitForFinished(60000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        std::fprintf(stderr, "%s: no window shown\n", qPrintable(program));
    return {process.readAllStandardOutput(), start};
}

// Milliseconds from exec of `program` until it has shown its window.
double StartupMs(const QString& program)
{
    const auto [output, start] = Launch(program, {});
    return (output.trimmed().toLongLong() - start) / 1e6;
}

void Startup(benchmark::State& state, const QString* program)
{
    StartupMs(*program); // warm the file cache; not counted
    for (auto _ : state)
        state.SetIterationTime(StartupMs(*program) / 1000.0);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Each program's phases over `runs` interleaved launches of each: the fastest and the median
// moment after exec, and the median time of the step that ends there.
void PrintPhases(int runs)
{
    struct Phase {
        std::string name;
        std::vector<double> at, step;
    };
    const QString programs[] = {tallyhornProgram, referenceProgram};
    std::map<QString, std::vector<Phase>> phases;
    for (int i = 0; i < 2 * runs; ++i) {
        const QString& program = programs[i % 2];
        const auto [output, start] = Launch(program, {"--phases"});
        std::vector<Phase>& list = phases[program];
        double previous = 0;
        size_t k = 0;
        for (const QByteArray& line : output.split('\n')) {
            const qsizetype blank = line.indexOf(' ');
            if (blank < 0)
                continue;
            const double at = (line.left(blank).toLongLong() - start) / 1e6;
            if (list.size() <= k)
                list.push_back({line.mid(blank + 1).toStdString(), {}, {}});
            list[k].at.push_back(at);
            list[k].step.push_back(at - previous);
            previous = at;
            ++k;
        }
    }
    for (const QString& program : programs) {
        std::printf("%s, %d runs, ms after exec:\n", qPrintable(program), runs);
        for (const Phase& p : phases[program])
            std::printf("  fastest %7.1f  median %7.1f  step (median) %6.1f  %s\n",
                        *std::min_element(p.at.begin(), p.at.end()), Median(p.at), Median(p.step),
                        p.name.c_str());
    }
}

// The start-up ratio from interleaved launches: drift in the machine's speed then affects
// both programs alike.
void PrintStartupRatio(int runs)
{
    std::vector<double> real, plain;
    for (int i = 0; i < runs; ++i) {
        real.push_back(StartupMs(tallyhornProgram));
        plain.push_back(StartupMs(referenceProgram));
    }
    const double realMedian = Median(real), plainMedian = Median(plain);
    const double realFastest = *std::min_element(real.begin(), real.end());
    const double plainFastest = *std::min_element(plain.begin(), plain.end());
    std::printf("start-up to main window, %d interleaved runs each: median %.1f ms; plain Qt "
                "program: median %.1f ms; ratio %.3f (target <= 1.5)\n",
                runs, realMedian, plainMedian, realMedian / plainMedian);
    std::printf("fastest: %.1f ms against %.1f ms; ratio %.3f\n", realFastest, plainFastest,
                realFastest / plainFastest);
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    if (argc == 2 && std::strcmp(argv[1], "--phases") == 0) {
        PrintPhases(31);
        return 0;
    }

    Application app(argc, argv);
    QTemporaryDir folder;
    SetProgramFolder(folder.path());
    TfrmMain frmMain;
    frmMain.show();
    if (!QTest::qWaitForWindowExposed(&frmMain)) {
        std::fprintf(stderr,
                     "the calculator window was not exposed (is a window manager running?)\n");
        return 1;
    }
    window = &frmMain;

    benchmark::RegisterBenchmark("CalcAPRTable", CalcAPRTableWindow)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Bare77", Bare77SolverCalls)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("StartupTallyhorn", Startup, &tallyhornProgram)
        ->UseManualTime()
        ->Iterations(20)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("StartupReference", Startup, &referenceProgram)
        ->UseManualTime()
        ->Iterations(20)
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double build = reporter.Ns("CalcAPRTable"), bare = reporter.Ns("Bare77");
    if (build > 0 && bare > 0)
        std::printf("\nCalcAPRTable / bare 77 solver calls: %.3f (target <= 1.25)\n", build / bare);
    if (reporter.Ns("StartupTallyhorn/iterations:20/manual_time") > 0)
        PrintStartupRatio(31);
    benchmark::Shutdown();
}
