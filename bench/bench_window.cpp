// The calculator window's table build against the bare solver calls, and the program's
// start-up against a minimal Qt window (one label, so both load a font).
//
// Run: bench_window (offscreen), or on an X server (QT_QPA_PLATFORM=xcb, DISPLAY set) for the
// start-up figures that count. They start this same program again in two modes,
// "--startup-tallyhorn" and "--startup-minimal"; each reports the moment its window is on the
// screen (mapped and exposed) on the system's monotonic clock and exits, and the figure is the
// time from just before exec to that moment. Process teardown is not counted.
#include "app/Main.h"
#include "app/MainBlock.h"
#include "bench/BenchSupport.h"
#include "calc/AprTable.h"
#include "controls/ExplBtn.h"
#include "platform/Application.h"
#include "platform/ProgramFolder.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
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

// Starts this program in `mode` and returns the milliseconds until it has shown its window.
double StartupMs(const char* self, const char* mode)
{
    QProcess process;
    const long long start = MonotonicNs();
    process.start(self, {mode});
    process.waitForFinished(60000);
    const long long shown = process.readAllStandardOutput().trimmed().toLongLong();
    if (process.exitCode() != 0 || shown <= start)
        std::fprintf(stderr, "%s: no window shown\n", mode);
    return (shown - start) / 1e6;
}

void Startup(benchmark::State& state, const char* mode)
{
    const QString self = QCoreApplication::applicationFilePath();
    StartupMs(self.toLocal8Bit().constData(), mode); // warm the file cache; not counted
    for (auto _ : state) {
        const double ms = StartupMs(self.toLocal8Bit().constData(), mode);
        state.SetIterationTime(ms / 1000.0);
    }
}

// Processes messages until `widget` is on the screen; no fixed sleeps, so the figure is not
// quantised. False after 10 seconds.
bool WaitShown(QWidget* widget)
{
    QElapsedTimer clock;
    clock.start();
    while (!(widget->windowHandle() && widget->windowHandle()->isExposed())) {
        if (clock.elapsed() > 10000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    QCoreApplication::processEvents(); // the first paint
    return true;
}

// Writes the moment the window was shown for the parent to read.
int ReportShown(bool shown)
{
    std::printf("%lld\n", MonotonicNs());
    std::fflush(stdout);
    return shown ? 0 : 1;
}

// The start-up in phases, as StartProgram runs it, each moment on the monotonic clock: where
// the time goes. `main` is the moment main() was entered.
int RunStartupPhases(int argc, char** argv, long long main, bool real)
{
    std::vector<std::pair<const char*, long long>> at{{"main entered", main}};
    if (!real) {
        QApplication app(argc, argv);
        at.emplace_back("minimal: application", MonotonicNs());
        QLabel minimal("Tallyhorn");
        minimal.resize(612, 412);
        minimal.show();
        const bool shown = WaitShown(&minimal);
        at.emplace_back("minimal: label exposed and painted", MonotonicNs());
        for (const auto& [label, ns] : at)
            std::printf("%lld %s\n", ns, label);
        return shown ? 0 : 1;
    }
    Application app(argc, argv);
    at.emplace_back("application (display connection, style)", MonotonicNs());
    QTemporaryDir folder;
    SetProgramFolder(folder.path());
    QFont font("Arial");
    font.setPixelSize(11);
    QApplication::setFont(font);
    TMainBlock block;
    block.splash = std::make_unique<TSplashScreen>();
    block.splash->Timer1()->start();
    block.splash->show();
    block.splash->repaint();
    Application::ProcessMessages();
    at.emplace_back("splash shown and painted", MonotonicNs());
    app.SetTitle("Tallyhorn");
    block.frmMain = std::make_unique<TfrmMain>();
    at.emplace_back("main window built (FormCreate included)", MonotonicNs());
    block.frmMain->show();
    at.emplace_back("main window show()", MonotonicNs());
    const bool shown = WaitShown(block.frmMain.get());
    at.emplace_back("main window exposed and painted", MonotonicNs());
    for (const auto& [label, ns] : at)
        std::printf("%lld %s\n", ns, label);
    return shown ? 0 : 1;
}

// The child modes: show the window, wait until it is exposed and painted, report, exit.
int RunStartupMode(int argc, char** argv, bool real)
{
    if (real) {
        Application app(argc, argv);
        QTemporaryDir folder;
        SetProgramFolder(folder.path());
        TMainBlock block = StartProgram(app);
        return ReportShown(WaitShown(block.frmMain.get()));
    }
    // The plain toolkit: its own application object and one label.
    QApplication app(argc, argv);
    QLabel minimal("Tallyhorn");
    minimal.resize(612, 412);
    minimal.show();
    return ReportShown(WaitShown(&minimal));
}
} // namespace

int main(int argc, char** argv)
{
    const long long mainEntered = MonotonicNs();
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    if (argc == 2 && std::strcmp(argv[1], "--startup-tallyhorn") == 0)
        return RunStartupMode(argc, argv, true);
    if (argc == 2 && std::strcmp(argv[1], "--startup-minimal") == 0)
        return RunStartupMode(argc, argv, false);
    if (argc == 2 && std::strcmp(argv[1], "--startup-phases") == 0)
        return RunStartupPhases(argc, argv, mainEntered, true);
    if (argc == 2 && std::strcmp(argv[1], "--startup-phases-minimal") == 0)
        return RunStartupPhases(argc, argv, mainEntered, false);
    if (argc == 2 && std::strcmp(argv[1], "--phases") == 0) {
        // Each phase's fastest and median moment over 15 interleaved runs, in ms after exec.
        std::map<std::string, std::vector<double>> phases;
        std::vector<std::string> order;
        for (int i = 0; i < 30; ++i) {
            QProcess process;
            const long long start = MonotonicNs();
            process.start(QString::fromLocal8Bit(argv[0]),
                          {i % 2 ? "--startup-phases-minimal" : "--startup-phases"});
            process.waitForFinished(60000);
            for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
                const qsizetype blank = line.indexOf(' ');
                if (blank < 0)
                    continue;
                const std::string label = line.mid(blank + 1).toStdString();
                if (phases[label].empty() && i < 2)
                    order.push_back(label);
                phases[label].push_back((line.left(blank).toLongLong() - start) / 1e6);
            }
        }
        for (const std::string& label : order) {
            std::vector<double>& v = phases[label];
            std::sort(v.begin(), v.end());
            std::printf("min %7.1f ms  median %7.1f ms  %s\n", v.front(), v[v.size() / 2],
                        label.c_str());
        }
        return 0;
    }

    Application app(argc, argv);
    QTemporaryDir folder;
    SetProgramFolder(folder.path());
    TfrmMain frmMain;
    frmMain.show();
    if (!QTest::qWaitForWindowExposed(&frmMain))
        return 1;
    window = &frmMain;

    benchmark::RegisterBenchmark("CalcAPRTable", CalcAPRTableWindow)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Bare77", Bare77SolverCalls)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("StartupTallyhorn", Startup, "--startup-tallyhorn")
        ->UseManualTime()
        ->Iterations(20)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("StartupMinimal", Startup, "--startup-minimal")
        ->UseManualTime()
        ->Iterations(20)
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double build = reporter.Ns("CalcAPRTable"), bare = reporter.Ns("Bare77");
    if (build > 0 && bare > 0)
        std::printf("\nCalcAPRTable / bare 77 solver calls: %.3f (target <= 1.25)\n", build / bare);
    // The start-up ratio from interleaved launches, median of each: drift in the machine's
    // speed then affects both alike.
    if (reporter.Ns("StartupTallyhorn/iterations:20/manual_time") > 0) {
        const QByteArray self = QCoreApplication::applicationFilePath().toLocal8Bit();
        std::vector<double> real, minimal;
        for (int i = 0; i < 31; ++i) {
            real.push_back(StartupMs(self.constData(), "--startup-tallyhorn"));
            minimal.push_back(StartupMs(self.constData(), "--startup-minimal"));
        }
        std::sort(real.begin(), real.end());
        std::sort(minimal.begin(), minimal.end());
        std::printf("start-up to main window: median %.1f ms; minimal Qt window: median %.1f ms; "
                    "ratio %.3f (target <= 1.5)\n",
                    real[15], minimal[15], real[15] / minimal[15]);
        std::printf("fastest: %.1f ms against %.1f ms; ratio %.3f\n", real[0], minimal[0],
                    real[0] / minimal[0]);
    }
    benchmark::Shutdown();
}
