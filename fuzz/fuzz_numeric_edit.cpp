// libFuzzer entry: keys, pastes, selections and focus changes into the numeric edits, on the
// offscreen platform.
#include "fuzz/NumericEditFuzz.h"

#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TALLYHORN_TEST", "1");
    // Never destroyed: at exit Qt's own globals are gone before a static object would go.
    static Application* app = new Application(*argc, *argv);
    app->SetTitle("Tallyhorn");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string fault = fuzz::RunNumericEdit(data, size);
    if (!fault.empty()) {
        std::fprintf(stderr, "check failed: %s\n", fault.c_str());
        __builtin_trap();
    }
    return 0;
}
