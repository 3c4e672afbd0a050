// libFuzzer entry: arbitrary text as a number, and numbers through the shared formats and back.
#include "fuzz/NumberTextFuzz.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string fault = fuzz::RunNumberText(data, size);
    if (!fault.empty()) {
        std::fprintf(stderr, "check failed: %s\n", fault.c_str());
        __builtin_trap();
    }
    return 0;
}
