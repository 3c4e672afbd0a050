#include "app/CalcGenerations.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// What happens while the outer calculation passes messages on (once, at its first pass).
enum class During {
    Nothing,
    NestedCalculation, // another trigger's calculation, not asking for the table
    NestedBuild,       // Calculate: a calculation asking for the table
    Supersede,         // Reset or close
    NestedFails,       // a nested calculation raises an error
};

struct GenerationCase {
    const char* name;
    bool outerBuild;
    During during;
    bool outerEnds;       // the outer body reaches its end; Calculate returns this
    bool nestedBuilds;    // a nested calculation builds the table
    bool buildRunningMid; // BuildRunning() just after the nested part
    std::vector<std::string> log;
};

void PrintTo(const GenerationCase& c, std::ostream* os)
{
    *os << c.name;
}

class CalcGenerationsCases : public ::testing::TestWithParam<GenerationCase> {};

TEST_P(CalcGenerationsCases, TheNewestWinsAndAReplacedOneWritesNothingMore)
{
    const GenerationCase& c = GetParam();
    std::vector<std::string> log;
    bool nestedBuilds = false;
    bool buildRunningMid = false;
    bool passed = false;
    TCalcGenerations* self = nullptr;
    TCalcGenerations generations([&] {
        if (passed)
            return;
        passed = true;
        auto nested = [&](bool build, bool fail) {
            try {
                self->Calculate(build, [&](const TCalcGenerations::TRun& run) {
                    nestedBuilds = run.Build();
                    log.push_back("nested");
                    if (fail)
                        throw std::runtime_error("nested");
                    run.Check();
                    log.push_back("nested end");
                });
            } catch (const std::runtime_error&) {
                log.push_back("nested error");
            }
        };
        switch (c.during) {
        case During::Nothing: break;
        case During::NestedCalculation: nested(false, false); break;
        case During::NestedBuild: nested(true, false); break;
        case During::Supersede: self->Supersede(); break;
        case During::NestedFails: nested(false, true); break;
        }
        buildRunningMid = self->BuildRunning();
    });
    self = &generations;
    generations.MessageInterval = 0;

    const bool ended = generations.Calculate(c.outerBuild, [&](const TCalcGenerations::TRun& run) {
        log.push_back("outer");
        EXPECT_EQ(run.Build(), c.outerBuild);
        EXPECT_EQ(generations.BuildRunning(), c.outerBuild);
        generations.MessagePass(); // as the solver does: the pass itself stops a replaced one
        log.push_back("outer end");
    });

    EXPECT_EQ(ended, c.outerEnds);
    EXPECT_EQ(nestedBuilds, c.nestedBuilds);
    EXPECT_EQ(buildRunningMid, c.buildRunningMid);
    EXPECT_EQ(log, c.log);
    EXPECT_FALSE(generations.BuildRunning()); // nothing runs any more
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CalcGenerationsCases,
    ::testing::Values(
        GenerationCase{
            "AloneEnds", false, During::Nothing, true, false, false, {"outer", "outer end"}},
        GenerationCase{
            "AloneBuildEnds", true, During::Nothing, true, false, true, {"outer", "outer end"}},
        GenerationCase{"NestedReplacesTheOuter",
                       false,
                       During::NestedCalculation,
                       false,
                       false,
                       false,
                       {"outer", "nested", "nested end"}},
        GenerationCase{"NestedTakesTheBuildOver",
                       true,
                       During::NestedCalculation,
                       false,
                       true,
                       false,
                       {"outer", "nested", "nested end"}},
        GenerationCase{"NestedCalculateBuilds",
                       false,
                       During::NestedBuild,
                       false,
                       true,
                       false,
                       {"outer", "nested", "nested end"}},
        GenerationCase{
            "ResetStopsTheBuild", true, During::Supersede, false, false, false, {"outer"}},
        GenerationCase{
            "ResetStopsTheCalculation", false, During::Supersede, false, false, false, {"outer"}},
        // A failed nested calculation still replaced the outer one, which stops; the build it
        // took over is no longer marked running.
        GenerationCase{"FailedNestedStillReplaces",
                       true,
                       During::NestedFails,
                       false,
                       true,
                       false,
                       {"outer", "nested", "nested error"}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CalcGenerations, AnErrorLeavesAndClearsTheBuild)
{
    TCalcGenerations generations([] {});
    EXPECT_THROW(generations.Calculate(
                     true, [](const TCalcGenerations::TRun&) { throw std::runtime_error("math"); }),
                 std::runtime_error);
    EXPECT_FALSE(generations.BuildRunning());
    // The next calculation is current again and runs to its end.
    EXPECT_TRUE(
        generations.Calculate(false, [](const TCalcGenerations::TRun& run) { run.Check(); }));
}

TEST(CalcGenerations, MessagesPassAtMostEveryIntervalInsideACalculation)
{
    int passes = 0;
    TCalcGenerations generations([&] { ++passes; });
    // Outside a calculation every pass runs the messages and never stops anything.
    generations.MessageInterval = 1000000;
    generations.MessagePass();
    generations.MessagePass();
    EXPECT_EQ(passes, 2);
    // Inside one, a long interval lets none through; none at all passes every one.
    generations.Calculate(false, [&](const TCalcGenerations::TRun&) {
        for (int i = 0; i < 30; ++i)
            generations.MessagePass();
    });
    EXPECT_EQ(passes, 2);
    generations.MessageInterval = 0;
    generations.Calculate(false, [&](const TCalcGenerations::TRun&) {
        for (int i = 0; i < 30; ++i)
            generations.MessagePass();
    });
    EXPECT_EQ(passes, 32);
}

} // namespace
