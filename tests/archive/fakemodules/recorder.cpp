// A stand-in archiver module for the bridge's tests: it exports all four entry points and
// hands what each call received to the test's hook. The test holds the module open itself
// while it looks, so the module keeps its hook across the bridge's load and unload.
#include <cstdint>

extern "C" {

using RecorderHook = void (*)(const char* entry, void* owner, const char* line, char* output,
                              std::uint32_t size);

__attribute__((visibility("default"))) RecorderHook g3RecorderHook = nullptr;

#define G3_RECORDER_ENTRY(name)                                                                    \
    __attribute__((visibility("default"))) int name(void* owner, const char* line, char* output,   \
                                                    std::uint32_t size) {                          \
        if (g3RecorderHook) g3RecorderHook(#name, owner, line, output, size);                      \
        return 0;                                                                                  \
    }

G3_RECORDER_ENTRY(Unlha)
G3_RECORDER_ENTRY(SevenZip)
G3_RECORDER_ENTRY(Cab)
G3_RECORDER_ENTRY(Unrar)
}
