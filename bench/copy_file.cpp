// copyFile against `cp -a`: one 512 MiB file, and 10,000 files of 4 KiB in 100 folders.
#include "common.h"
#include "trees.h"

#include "platform/fileops.h"
#include "platform/findfile.h"
#include "platform/paths.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string folderName(int i) {
    char b[16];
    std::snprintf(b, sizeof b, "d%02d", i);
    return b;
}

void makeSmallTree(const std::string& root) {
    g3::createDirectory(root);
    for (int d = 0; d < 100; ++d) {
        std::string folder = g3::joinPath(root, folderName(d));
        g3::createDirectory(folder);
        for (int f = 0; f < 100; ++f)
            bench::writePatternFile(g3::joinPath(folder, "f" + std::to_string(f) + ".dat"), 4096, static_cast<unsigned>(d * 100 + f));
    }
}

// Ours: the walk the program does (one listing per folder) and copyFile per file.
void copyTree(const std::string& from, const std::string& to) {
    g3::createDirectory(to);
    g3::FindHandle h;
    g3::FindData d;
    for (bool ok = h.first(g3::joinPath(from, "*"), d, g3::FindDetail::NameAndType); ok; ok = h.next(d)) {
        if (d.isDotOrDotDot()) continue;
        std::string s = g3::joinPath(from, d.name), t = g3::joinPath(to, d.name);
        if (d.isDirectory()) copyTree(s, t);
        else if (!g3::copyFile(s, t)) std::exit(3);
    }
}

struct Bench {
    std::string base, aside;
    int run = 0;
    // A fresh output folder per run; the previous outputs are only moved aside, since
    // deleting many files slows file creation on ext4 for a while.
    std::string freshOut() {
        std::string out = g3::joinPath(base, "out" + std::to_string(run++));
        sync();
        return out;
    }
};

} // namespace

int main() {
    std::string base = "/var/tmp/g3bench-copy.XXXXXX";
    if (!mkdtemp(base.data())) return 2;
    std::fflush(stdout);
    bench::shell("df -T " + base);
    Bench b{base, g3::joinPath(base, "aside")};
    std::string large = g3::joinPath(base, "large.bin"), small = g3::joinPath(base, "small");
    bench::writePatternFile(large, 512u << 20, 7);
    makeSmallTree(small);

    auto largeTimes = bench::alternate(
        5,
        [&] {
            std::string out = b.freshOut();
            g3::createDirectory(out);
            return bench::seconds([&] {
                if (!g3::copyFile(large, g3::joinPath(out, "large.bin"))) std::exit(3);
            });
        },
        [&] {
            std::string out = b.freshOut();
            g3::createDirectory(out);
            return bench::shell("cp -a " + large + " " + g3::joinPath(out, "large.bin"));
        });
    auto smallTimes = bench::alternate(
        5,
        [&] {
            std::string out = b.freshOut();
            return bench::seconds([&] { copyTree(small, out); });
        },
        [&] {
            std::string out = b.freshOut();
            return bench::shell("cp -a " + small + " " + out);
        });
    bench::shell("rm -rf " + base);
    bench::result("copy_file_large", largeTimes.ours, largeTimes.baseline, "bytes=536870912");
    bench::result("copy_file_small", smallTimes.ours, smallTimes.baseline, "files=10000");
    return 0;
}
