// libFuzzer target: any bytes thawed by the modules' core, reading every format of the four
// modules, into a fresh folder. Besides the sanitizers' findings it aborts when anything
// was written outside the destination.
#include "archive/libs/thawjob.h"
#include "support/tempdir.h"

#include "platform/handles.h"
#include "platform/paths.h"

#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void abortIfAnythingBut(const std::string& folder, const std::string& allowed) {
    g3::DirHandle d(opendir(folder.c_str()));
    if (!d) return;
    while (dirent* e = readdir(d.get())) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        if (name != allowed) {
            std::fprintf(stderr, "written outside the destination: %s\n", name.c_str());
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    g3test::TempDir tmp;
    g3::ThawJob job("fuzz.bin", tmp / "out/dest", g3::kFamilyAll);
    job.setMemory(data, size);
    job.run();
    abortIfAnythingBut(tmp.path(), "out");
    abortIfAnythingBut(tmp / "out", "dest");
    return 0;
}
