// Every input of the fuzz corpus (seeds and the faults found) replayed through the same checks
// the fuzz target makes, so that an ordinary test run guards against them.
#include "fuzz/HttpResponseFuzz.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

TEST(FuzzCorpus, EveryInputPassesTheReceiveChecks)
{
    const auto corpus = std::filesystem::path(__FILE__).parent_path() / "../../fuzz/corpus";
    ASSERT_TRUE(std::filesystem::is_directory(corpus)) << corpus;
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
        EXPECT_EQ(fuzz::RunHttpResponse(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                        bytes.size()),
                  "")
            << entry.path().filename();
        ++inputs;
    }
    EXPECT_GE(inputs, 8);
}
