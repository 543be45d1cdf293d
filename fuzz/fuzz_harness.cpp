// One libFuzzer harness; FUZZ_TARGET (set by fuzz/CMakeLists.txt) names the
// function of fuzz_targets.h it runs. A broken promise aborts with its text.
#include "fuzz_targets.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv); // Qt's image reader wants one
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string broken = fuzz::FUZZ_TARGET(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "broken promise: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
