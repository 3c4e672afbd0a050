// The yardstick of the start-up benchmark: a plain Qt Widgets program, built on its own and
// linked with Qt Widgets alone, that shows one label of the calculator window's size. Once the
// label is exposed and painted it prints that moment on the system's monotonic clock and exits,
// as startup_tallyhorn does. With "--phases" it prints each step's moment followed by its
// name, one a line.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstring>
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
    QApplication app(argc, argv);
    at.emplace_back("application object", MonotonicNs());
    QLabel label("Tallyhorn");
    label.resize(612, 412);
    label.show();
    at.emplace_back("label show()", MonotonicNs());
    QElapsedTimer clock;
    clock.start();
    bool shown = true;
    while (!(label.windowHandle() && label.windowHandle()->isExposed())) {
        if (clock.elapsed() > 10000) {
            shown = false;
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    at.emplace_back("label exposed (painted on the way)", MonotonicNs());
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
