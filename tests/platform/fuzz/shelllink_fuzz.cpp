// Fuzz target: any bytes as a shell link. Besides the sanitizers' findings it aborts when a
// link that was read does not read the same after our writer wrote it again.
//
// Built for libFuzzer (G3_FUZZ) it is fuzzed from seeds that the ordinary build's program
// writes: `shelllink_fuzz --seeds DIR`. Built without, it runs the seeds, every cut of each
// and every byte of each changed, through the target.
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/shelllink.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

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

// Our own links to targets of every kind of name, with and without a working folder.
std::vector<std::string> seeds() {
    const char* links[][2] = {
        {"/home/u/report.doc", "/home/u"},
        {"/home/u/report.doc", ""},
        {"/home/u/\xe6\x97\xa5\xe6\x9c\xac/\xe5\xae\xb6.txt", "/home/u/\xe6\x97\xa5\xe6\x9c\xac"},
        {"/home/u/bad\xff/n\xfe", "/home/u/bad\xff"},
        {"/", "/"},
    };
    std::vector<std::string> out;
    for (const auto& l : links) out.push_back(g3::shellLinkBytes("/home/u/links/x.lnk", l[0], l[1]));
    return out;
}

int run(std::string_view bytes) {
    return LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> links = seeds();
    if (argc == 3 && std::string_view(argv[1]) == "--seeds") {
        ::mkdir(argv[2], 0755);
        for (std::size_t i = 0; i < links.size(); ++i)
            if (!g3::writeFileAtomically(g3::joinPath(argv[2], "seed" + std::to_string(i) + ".lnk"), links[i]))
                return 1;
        return 0;
    }
    for (const std::string& link : links) {
        for (std::size_t n = 0; n <= link.size(); ++n) run(std::string_view(link).substr(0, n));
        for (std::size_t i = 0; i < link.size(); ++i) {
            std::string changed = link;
            for (int bit = 0; bit < 8; ++bit) {
                changed[i] = static_cast<char>(link[i] ^ (1 << bit));
                run(changed);
            }
            changed[i] = '\xff';
            run(changed);
        }
    }
    std::printf("%zu seeds, their cuts and changed bytes ran\n", links.size());
    return 0;
}

#endif
