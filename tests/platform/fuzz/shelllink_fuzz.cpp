// Fuzz target: any bytes as a shell link. Besides the sanitizers' findings it aborts when a
// link that was read does not read the same after our writer wrote it again. The seeds in
// seeds/ are links our writer made.
//
// Built for libFuzzer (G3_FUZZ, tools/fuzz shelllink) it is fuzzed from the seeds. Built
// without, it runs every file of the folders it is given through the target, with every
// cut of each and each byte changed in turn.
#include "platform/handles.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/shelllink.h"

#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<g3::ShellLink> link =
        g3::parseShellLink(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!link) return 0;
    const std::string again = g3::shellLinkBytes("/fuzz/x.lnk", link->localPath(), link->workingDir);
    if (again.empty()) return 0; // a string too long for the format
    const std::optional<g3::ShellLink> reread = g3::parseShellLink(again);
    if (!reread || reread->localPath() != link->localPath() || reread->workingDir != link->workingDir) {
        std::fprintf(stderr, "a link read back differently after it was written again\n");
        std::abort();
    }
    return 0;
}

#ifndef G3_FUZZ

namespace {

void run(std::string_view bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

void runWithCutsAndChanges(const std::string& link) {
    for (std::size_t n = 0; n <= link.size(); ++n) run(std::string_view(link).substr(0, n));
    std::string changed = link;
    for (std::size_t i = 0; i < link.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            changed[i] = static_cast<char>(link[i] ^ (1 << bit));
            run(changed);
        }
        changed[i] = link[i];
    }
}

} // namespace

int main(int argc, char** argv) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        g3::DirHandle d(opendir(argv[i]));
        while (dirent* e = d ? readdir(d.get()) : nullptr) {
            std::string bytes;
            if (e->d_name[0] == '.' || !g3::readWholeFile(g3::joinPath(argv[i], e->d_name), bytes)) continue;
            runWithCutsAndChanges(bytes);
            ++inputs;
        }
    }
    std::printf("%d inputs with their cuts and changed bytes ran\n", inputs);
    return inputs > 0 ? 0 : 1;
}

#endif
