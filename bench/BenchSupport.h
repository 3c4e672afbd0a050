// A console reporter that also keeps each benchmark's time per iteration, so that a benchmark
// program can print ratios between its runs at the end.
#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                nsPerIteration[run.benchmark_name()] =
                    run.GetAdjustedRealTime() *
                    benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
    double Ns(const std::string& name) const
    {
        auto it = nsPerIteration.find(name);
        return it == nsPerIteration.end() ? 0.0 : it->second;
    }
    std::map<std::string, double> nsPerIteration;
};
