#include "tests/support/FuzzCorpus.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

std::vector<FuzzInput> FuzzCorpus(const std::string& target)
{
    // The source folder the build was configured from, wherever the build folder is.
    const std::filesystem::path folder =
        std::filesystem::path(TALLYHORN_SOURCE_DIR) / "fuzz" / "corpus" / target;
    std::vector<FuzzInput> inputs;
    if (!std::filesystem::is_directory(folder))
        return inputs;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream file(entry.path(), std::ios::binary);
        inputs.push_back({entry.path().filename().string(),
                          std::string(std::istreambuf_iterator<char>(file), {})});
    }
    std::sort(inputs.begin(), inputs.end(),
              [](const FuzzInput& a, const FuzzInput& b) { return a.name < b.name; });
    return inputs;
}
