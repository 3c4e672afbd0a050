// The fuzz corpora of the number text and of the numeric edits' keys (hand-written cases and the
// faults found) replayed through the fuzz targets' checks.
#include "fuzz/NumberTextFuzz.h"
#include "fuzz/NumericEditFuzz.h"
#include "tests/support/FuzzCorpus.h"
#include "tests/support/MessageBoxAnswerer.h"

#include <gtest/gtest.h>

TEST(FuzzCorpus, EveryNumberTextInputPassesTheRoundTripChecks)
{
    const std::vector<FuzzInput> inputs = FuzzCorpus("number_text");
    for (const FuzzInput& input : inputs)
        EXPECT_EQ(fuzz::RunNumberText(reinterpret_cast<const std::uint8_t*>(input.bytes.data()),
                                      input.bytes.size()),
                  "")
            << input.name;
    EXPECT_GE(inputs.size(), 8u);
}

TEST(FuzzCorpus, EveryKeySequencePassesTheNumericEditChecks)
{
    const std::vector<FuzzInput> inputs = FuzzCorpus("numeric_edit");
    for (const FuzzInput& input : inputs)
        EXPECT_EQ(fuzz::RunNumericEdit(reinterpret_cast<const std::uint8_t*>(input.bytes.data()),
                                       input.bytes.size()),
                  "")
            << input.name;
    MessageBoxAnswerer::InstallDefault(); // the replay answered its own boxes
    EXPECT_GE(inputs.size(), 8u);
}
