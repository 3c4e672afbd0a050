#include "tests/support/FuzzCorpus.h"

#include <QCoreApplication>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {
// The corpus folder, looked for above the test program and the working folder, since build
// folders sit inside the source tree.
std::filesystem::path CorpusFolder(const std::string& target)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> starts{fs::current_path()};
    if (QCoreApplication::instance())
        starts.push_back(QCoreApplication::applicationDirPath().toStdString());
    for (fs::path dir : starts) {
        for (int up = 0; up < 6 && !dir.empty(); ++up, dir = dir.parent_path()) {
            const fs::path candidate = dir / "fuzz" / "corpus" / target;
            if (fs::is_directory(candidate))
                return candidate;
        }
    }
    return {};
}
} // namespace

std::vector<FuzzInput> FuzzCorpus(const std::string& target)
{
    std::vector<FuzzInput> inputs;
    const std::filesystem::path folder = CorpusFolder(target);
    if (folder.empty())
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
