// Runs the fuzz target once on each file named (folders: each file below them), for builds
// without libFuzzer. Exits 77 (skipped) when a named path is not there.
#include "platform/handles.h"
#include "platform/paths.h"
#include "support/tempdir.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int replay(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return 0;
    if (S_ISREG(st.st_mode)) {
        const std::string bytes = g3test::readFile(path);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        return 1;
    }
    int n = 0;
    g3::DirHandle d(opendir(path.c_str()));
    while (dirent* e = d ? readdir(d.get()) : nullptr) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") n += replay(g3::joinPath(path, name));
    }
    return n;
}

} // namespace

int main(int argc, char** argv) {
    int n = 0;
    for (int i = 1; i < argc; ++i) {
        struct stat st {};
        if (stat(argv[i], &st) != 0) {
            std::printf("%s is not there: skipped\n", argv[i]);
            return 77;
        }
        n += replay(argv[i]);
    }
    std::printf("%d inputs ran\n", n);
    return 0;
}
