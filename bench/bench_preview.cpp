// The print command up to the preview's first paint (laying the chart out, the progress
// window, the preview window shown and painted) against creating, showing and painting an
// empty dialog of the same size, in the same run. Also the size of one recorded page picture.
//
// Run: bench_preview (offscreen).
#include "app/Main.h"
#include "bench/BenchSupport.h"
#include "bench/PreviewSupport.h"
#include "controls/ExplBtn.h"
#include "platform/Application.h"
#include "platform/ProgramFolder.h"
#include "report/Preview.h"
#include "report/QRPreview.h"
#include "report/QRPrinter.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
TfrmMain* window = nullptr;
qint64 pictureBytes = 0;
double showMs = 0; // of the last print command: from the command to the preview's show

// Notes when `watched` is shown.
class ShowSeen : public QObject {
public:
    ShowSeen(QWidget* watched, const QElapsedTimer& clock) : m_watched(watched), m_clock(clock)
    {
        watched->installEventFilter(this);
    }
    ~ShowSeen() override { m_watched->removeEventFilter(this); }
    double Ms() const { return m_ns / 1e6; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show && m_ns < 0)
            m_ns = m_clock.nsecsElapsed();
        return false;
    }

private:
    QWidget* m_watched;
    const QElapsedTimer& m_clock;
    qint64 m_ns = -1;
};

double PrintToFirstPaintMs()
{
    auto* preview = window->findChild<TfrmPreview*>("frmPreview");
    QElapsedTimer clock;
    ShowSeen shown(preview, clock);
    FirstPaint paint(preview->QRPreview1->viewport(), clock, [preview] {
        if (const QPicture* page = TQRPrinter::Instance().Page(1))
            pictureBytes = page->size();
        preview->bbCloseClick();
    });
    clock.start();
    window->btnPrintClick();
    showMs = shown.Ms();
    return paint.Ms();
}

double EmptyDialogMs()
{
    const QSize size = window->findChild<TfrmPreview*>("frmPreview")->size();
    QElapsedTimer clock;
    clock.start();
    auto* dialog = new QDialog(window);
    dialog->resize(size);
    FirstPaint paint(dialog, clock, [dialog] { dialog->close(); });
    dialog->show();
    while (paint.Ms() < 0 || dialog->isVisible())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    const double ms = paint.Ms();
    delete dialog;
    return ms;
}

void PrintToFirstPaint(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(PrintToFirstPaintMs() / 1000.0);
}

void EmptyDialog(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(EmptyDialogMs() / 1000.0);
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    Application app(argc, argv);
    app.SetTitle("Tallyhorn");
    QTemporaryDir folder;
    SetProgramFolder(folder.path());
    TfrmMain frmMain;
    frmMain.show();
    if (!QTest::qWaitForWindowExposed(&frmMain))
        return 1;
    window = &frmMain;
    // The default table, as the chart prints it.
    frmMain.CalcAPRTable(frmMain.findChild<TExplorerButton*>("btnCalculate"));
    FirstPrint(frmMain); // first use: the chart and the preview window are made, fonts loaded
    PrintToFirstPaintMs();

    benchmark::RegisterBenchmark("PrintToFirstPaint", PrintToFirstPaint)
        ->UseManualTime()
        ->Iterations(15)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("EmptyDialog", EmptyDialog)
        ->UseManualTime()
        ->Iterations(15)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // The ratio from interleaved runs, median of each, so drift affects both alike.
    std::vector<double> print, toShow, empty;
    for (int i = 0; i < 15; ++i) {
        print.push_back(PrintToFirstPaintMs());
        toShow.push_back(showMs);
        empty.push_back(EmptyDialogMs());
    }
    std::sort(print.begin(), print.end());
    std::sort(toShow.begin(), toShow.end());
    std::sort(empty.begin(), empty.end());
    std::printf("\nprint command to the preview's first paint: median %.2f ms; empty dialog of the "
                "same size: median %.2f ms; ratio %.2f (target <= 3)\n",
                print[7], empty[7], print[7] / empty[7]);
    std::printf("of which layout and progress window up to the preview's show: median %.2f ms\n",
                toShow[7]);
    std::printf("one recorded page picture: %lld bytes\n", static_cast<long long>(pictureBytes));
    benchmark::Shutdown();
}
