// The settings-file fuzz corpus (hand-written cases and the faults found) replayed through the
// fuzz target's checks.
#include "fuzz/ProfileFileFuzz.h"
#include "tests/support/FuzzCorpus.h"

#include <gtest/gtest.h>

TEST(FuzzCorpus, EverySettingsFileInputPassesTheReadWriteChecks)
{
    const std::vector<FuzzInput> inputs = FuzzCorpus("profile_file");
    for (const FuzzInput& input : inputs)
        EXPECT_EQ(fuzz::RunProfileFile(reinterpret_cast<const std::uint8_t*>(input.bytes.data()),
                                       input.bytes.size()),
                  "")
            << input.name;
    EXPECT_GE(inputs.size(), 8u);
}
