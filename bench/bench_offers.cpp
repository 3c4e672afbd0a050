// Comparing offers against the window's own work: four 30-year offers, each with its schedule
// in cents and the APR of its payments, and the break-even of each of the six pairs, against
// one table calculation of the window (the default loan's model, its APR field and the 8 x 12
// table with the window's cell texts). Target: the four offers take less time than the table.
// Also shown: the schedule of one offer paid with extra principal.
//
// Run: bench_offers.
#include "bench/BenchSupport.h"
#include "calc/LoanModel.h"
#include "calc/Offers.h"
#include "loan/TableTexts.h"

#include <cstdio>
#include <vector>

namespace {

const calc::Offer offers[] = {
    {300000, 30, 6.875, 0, 2400, 0, 0, 0},
    {300000, 30, 6.5, 1.5, 2400, 0, 0, 0},
    {300000, 30, 6.75, 0.5, 1800, 650, 0, 0},
    {300000, 30, 6.25, 2.25, 2400, 650, 95.5, 84},
};

void FourOffers(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<calc::OfferFigures> figures;
        for (const calc::Offer& offer : offers)
            figures.push_back(calc::ComputeOffer(offer));
        for (std::size_t i = 0; i < figures.size(); ++i)
            for (std::size_t j = i + 1; j < figures.size(); ++j)
                benchmark::DoNotOptimize(calc::ComputeBreakEven(figures[i], figures[j]));
        benchmark::DoNotOptimize(calc::LowestApr(figures));
        benchmark::DoNotOptimize(calc::LowestFiveYearTotal(figures));
        benchmark::DoNotOptimize(calc::LowestTip(figures));
    }
}

// What the window's Calculate does with the default inputs, less the widgets.
void WindowTable(benchmark::State& state)
{
    const calc::AprTableFormats formats = TableTexts::CellFormats();
    for (auto _ : state) {
        const calc::LoanModel model{calc::LoanInputs{}};
        benchmark::DoNotOptimize(model.Apr());
        std::size_t length = 0;
        model.BuildTable(formats,
                         [&](int, int, const std::string& text) { length += text.size(); });
        benchmark::DoNotOptimize(length);
    }
}

void PaidWithExtra(benchmark::State& state)
{
    const calc::OfferFigures f = calc::ComputeOffer(offers[0]);
    const calc::ExtraPayments extra{200, 13, {{60, 10000}, {120, 5000}}};
    for (auto _ : state)
        benchmark::DoNotOptimize(calc::ApplyExtraPayments(f.disclosure, f.inputs, extra));
}

BENCHMARK(FourOffers)->Unit(benchmark::kMicrosecond);
BENCHMARK(WindowTable)->Unit(benchmark::kMicrosecond);
BENCHMARK(PaidWithExtra)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double four = reporter.Ns("FourOffers");
    const double table = reporter.Ns("WindowTable");
    if (four > 0 && table > 0)
        std::printf("\nfour offers: %.1f us; one window table: %.1f us; ratio %.3f (target < 1)\n",
                    four / 1000, table / 1000, four / table);
    benchmark::Shutdown();
}
