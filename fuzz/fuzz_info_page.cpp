// libFuzzer entry: arbitrary bytes as the update information page.
#include "fuzz/InfoPageFuzz.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string fault = fuzz::RunInfoPage(data, size);
    if (!fault.empty()) {
        std::fprintf(stderr, "check failed: %s\n", fault.c_str());
        __builtin_trap();
    }
    return 0;
}
