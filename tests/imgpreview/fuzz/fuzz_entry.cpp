// The libFuzzer entry of one target, chosen when it is built (G3_FUZZ_TARGET).
#include "targets.h"

#include <cstdio>
#include <cstdlib>

namespace {
const g3fuzz::Target* target = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g3fuzz::startGui();
    target = g3fuzz::targetNamed(G3_FUZZ_TARGET);
    if (!target) {
        std::fprintf(stderr, "no fuzz target %s\n", G3_FUZZ_TARGET);
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    target->run(data, size);
    return 0;
}
