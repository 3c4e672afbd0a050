// The cost of the loan formulas against the cost of their own arithmetic.
//
// The table makes 11 note-rate and 66 APR solver calls; each APR call evaluates 60 present
// values of n - 2 powers each. The plain loop evaluates the same number of exponentials, so
// the ratio shows how close the solver runs to the cost of its arithmetic.
#include "bench/BenchSupport.h"
#include "calc/LoanMath.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr int n = 360;
const double payment = calc::CalcPayment(n, 100000, 8.75 / 1200);
constexpr long powersPerApr = 60L * (n - 2);
constexpr long powersPerTable = 66L * powersPerApr;

void SimpleAPR360(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(calc::CalcSimpleAPR(n, 99000, payment));
    state.counters["ns/power"] =
        benchmark::Counter(static_cast<double>(powersPerApr) * state.iterations(),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The 77 solver calls of the default table, in the table's order.
void Table77(benchmark::State& state)
{
    for (auto _ : state) {
        for (int k = -5; k <= 5; ++k)
            benchmark::DoNotOptimize(calc::CalcIR(n, 100000 + 1000.0 * k, payment));
        for (int j = 0; j <= 5; ++j)
            for (int k = -5; k <= 5; ++k)
                benchmark::DoNotOptimize(
                    calc::CalcSimpleAPR(n, 100000 + 1000.0 * k - 1000.0 * j, payment));
    }
}

void NoteRates11(benchmark::State& state)
{
    for (auto _ : state)
        for (int k = -5; k <= 5; ++k)
            benchmark::DoNotOptimize(calc::CalcIR(n, 100000 + 1000.0 * k, payment));
}

// As many exponentials as the table's powers, in a plain loop.
void ExpLoop(benchmark::State& state)
{
    volatile double lnA = std::log(1 + 8.75 / 1200);
    for (auto _ : state) {
        double s = 0;
        const double x = lnA;
        for (long block = 0; block < powersPerTable / (n - 2); ++block)
            for (int k = 2; k <= n - 1; ++k)
                s += std::exp(-k * x);
        benchmark::DoNotOptimize(s);
    }
}

BENCHMARK(SimpleAPR360)->Unit(benchmark::kMicrosecond);
BENCHMARK(Table77)->Unit(benchmark::kMillisecond);
BENCHMARK(NoteRates11)->Unit(benchmark::kMicrosecond);
BENCHMARK(ExpLoop)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double table = reporter.Ns("Table77");
    const double exps = reporter.Ns("ExpLoop");
    if (table > 0 && exps > 0) {
        std::printf("\npowers per table: %ld\n", powersPerTable);
        std::printf("time per power in the table: %.2f ns; one exp in a plain loop: %.2f ns\n",
                    table / powersPerTable, exps / powersPerTable);
        std::printf("77 solver calls / same number of exp: %.3f (target <= 1.3)\n", table / exps);
    }
    benchmark::Shutdown();
}
