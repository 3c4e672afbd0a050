// Every input of the fuzz corpus (seeds and the faults found) replayed through the same checks
// the fuzz target makes, so that an ordinary test run guards against them.
#include "tests/support/FuzzCorpus.h"

#include "fuzz/HttpResponseFuzz.h"
#include "fuzz/InfoPageFuzz.h"

#include <gtest/gtest.h>

TEST(FuzzCorpus, EveryInputPassesTheReceiveChecks)
{
    const std::vector<FuzzInput> inputs = FuzzCorpus("http_response");
    for (const FuzzInput& input : inputs)
        EXPECT_EQ(fuzz::RunHttpResponse(reinterpret_cast<const std::uint8_t*>(input.bytes.data()),
                                        input.bytes.size()),
                  "")
            << input.name;
    EXPECT_GE(inputs.size(), 8u);
}

TEST(FuzzCorpus, EveryInputPassesTheInfoPageChecks)
{
    const std::vector<FuzzInput> inputs = FuzzCorpus("info_page");
    for (const FuzzInput& input : inputs)
        EXPECT_EQ(fuzz::RunInfoPage(reinterpret_cast<const std::uint8_t*>(input.bytes.data()),
                                    input.bytes.size()),
                  "")
            << input.name;
    EXPECT_GE(inputs.size(), 8u);
}
