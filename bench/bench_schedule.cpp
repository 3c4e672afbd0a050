// The loan summary's costs against the work the program did before it:
// - the 360-row schedule and disclosure figures (exact cents, the payment-stream APR) with the
//   rows' texts, against one CalcSimpleAPR call plus the same rows' texts (target: under 2x);
// - the Amortization Schedule report (8 Letter-sized pages here) laid out and shown in the
//   preview up to its first paint, against the one-page chart's print command (target: under
//   3x).
//
// Run: bench_schedule (offscreen).
#include "app/Main.h"
#include "bench/BenchSupport.h"
#include "bench/PreviewSupport.h"
#include "calc/LoanMath.h"
#include "controls/ExplBtn.h"
#include "loan/LoanSummary.h"
#include "loan/TableTexts.h"
#include "platform/Application.h"
#include "platform/ProgramFolder.h"
#include "report/Preview.h"
#include "report/QRPreview.h"
#include "report/QRPrinter.h"
#include "report/QRSchedule.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
TfrmMain* window = nullptr;
const calc::LoanModel loan({100000, 0, 30, 8.75, 0, 1000, 1000});

// The texts of every row, as the report and the command line print them.
qsizetype FormatRows(const calc::Disclosure& d)
{
    qsizetype length = 0;
    for (const calc::ScheduleRow& r : d.rows)
        for (calc::Cents c : {r.payment, r.interest, r.principal, r.mi, r.balance})
            length += TLoanSummary::Money(c).size();
    return length;
}

void ScheduleAndFigures(benchmark::State& state)
{
    for (auto _ : state) {
        const TLoanSummary summary(loan, 0, 0);
        benchmark::DoNotOptimize(FormatRows(summary.Figures()));
    }
}

void SimpleAprAndRows(benchmark::State& state)
{
    const TLoanSummary summary(loan, 0, 0);
    const double payment = calc::CalcPayment(360, 100000, 8.75 / 1200);
    for (auto _ : state) {
        benchmark::DoNotOptimize(calc::CalcSimpleAPR(360, 100000, payment));
        benchmark::DoNotOptimize(FormatRows(summary.Figures()));
    }
}

int pages = 0;

// From the command to the preview's first paint; the preview closes at once.
double ToFirstPaintMs(const std::function<void()>& command)
{
    auto* preview = window->findChild<TfrmPreview*>("frmPreview");
    QElapsedTimer clock;
    FirstPaint paint(preview->QRPreview1->viewport(), clock, [preview] {
        pages = TQRPrinter::Instance().PageCount();
        preview->bbCloseClick();
    });
    clock.start();
    command();
    return paint.Ms();
}

TQRSchedule* schedule = nullptr;

double ChartMs()
{
    return ToFirstPaintMs([] { window->btnPrintClick(); });
}

double ScheduleMs()
{
    return ToFirstPaintMs([] {
        // What Preview Schedule does: the figures of the window's loan, then the report.
        schedule->SetSource(TLoanSummary(loan, 0, 0).Source());
        schedule->Preview();
    });
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
    frmMain.CalcAPRTable(frmMain.findChild<TExplorerButton*>("btnCalculate"));
    TQRSchedule report;
    schedule = &report;
    FirstPrint(frmMain); // first use: the chart and the preview window are made
    ChartMs();
    ScheduleMs();

    benchmark::RegisterBenchmark("ScheduleAndFigures", ScheduleAndFigures);
    benchmark::RegisterBenchmark("SimpleAprAndRows", SimpleAprAndRows);
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nschedule and figures with the rows' texts: %.1f us; one CalcSimpleAPR with the "
                "same texts: %.1f us; ratio %.2f (target < 2)\n",
                reporter.Ns("ScheduleAndFigures") / 1e3, reporter.Ns("SimpleAprAndRows") / 1e3,
                reporter.Ns("ScheduleAndFigures") / reporter.Ns("SimpleAprAndRows"));

    // Interleaved runs, median of each.
    std::vector<double> chart, sched;
    for (int i = 0; i < 11; ++i) {
        chart.push_back(ChartMs());
        sched.push_back(ScheduleMs());
    }
    std::sort(chart.begin(), chart.end());
    std::sort(sched.begin(), sched.end());
    std::printf("schedule report (%d pages) to the preview's first paint: median %.1f ms; chart: "
                "median %.1f ms; ratio %.2f (target < 3)\n",
                pages, sched[5], chart[5], sched[5] / chart[5]);
    benchmark::Shutdown();
}
