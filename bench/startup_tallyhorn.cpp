// The calculator's start for the start-up benchmark: the steps of app/main.cpp, in a program
// linked as tallyhorn is (the application library alone), with the program folder a temporary
// one so that no settings file of the build tree is read. Once the main window is exposed and
// painted it prints that moment on the system's monotonic clock and exits (process teardown is
// not counted). With "--phases" it prints each step's moment followed by its name, one a line.
#include "app/MainBlock.h"
#include "cli/CommandRunner.h"
#include "platform/Application.h"
#include "platform/FontPreload.h"
#include "platform/PlatformStart.h"
#include "platform/ProgramFolder.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {
long long MonotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

int main(int argc, char** argv)
{
    const long long mainEntered = MonotonicNs();
    const bool phases = argc == 2 && std::strcmp(argv[1], "--phases") == 0;
    std::vector<std::pair<const char*, long long>> at{{"main entered", mainEntered}};
    // As the program: the command line is looked at first (without arguments it opens the window).
    if (TCommandRunner::Wanted(phases ? 1 : argc, argv))
        return TCommandRunner::Run(argc, argv);
    FontPreload::Start();
    std::unique_ptr<Application> app;
    {
        const TPlatformStart start(QStringLiteral("startup_tallyhorn: no display"));
        app = std::make_unique<Application>(argc, argv);
    }
    at.emplace_back("application object", MonotonicNs());
    const QTemporaryDir folder;
    SetProgramFolder(folder.path());
    TMainBlock block =
        StartProgram(*app, [&at](const char* step) { at.emplace_back(step, MonotonicNs()); });

    QElapsedTimer clock;
    clock.start();
    bool shown = true;
    while (!(block.frmMain->windowHandle() && block.frmMain->windowHandle()->isExposed())) {
        if (clock.elapsed() > 10000) {
            shown = false;
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    at.emplace_back("main window exposed (it and the splash painted on the way)", MonotonicNs());
    QCoreApplication::processEvents(); // what the first paint left pending
    at.emplace_back("pending events processed", MonotonicNs());
    if (phases) {
        for (const auto& [name, ns] : at)
            std::printf("%lld %s\n", ns, name);
    } else {
        std::printf("%lld\n", at.back().second);
    }
    std::fflush(stdout);
    return shown ? 0 : 1;
}
