// TTreeScanner (mask "*.jpg") and TFindFile (whole tree, FileMask "*.jpg") against
// `find TREE -iname '*.jpg'` on a tree of 200,000 files in 20,000 folders, warm cache,
// with the program's own event pump installed in a QCoreApplication.
//
// The trees are generated once and kept under /var/tmp/g3bench/. Peak memory of TFindFile
// is measured in child processes (this program run with --peak TREE), one per tree, so the
// peaks of the two walks cannot mask each other.
#include "common.h"

#include "app/startup.h"
#include "fscomp/FindF.h"
#include "fscomp/TreeScan.h"
#include "platform/fileops.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const std::string kCache = "/var/tmp/g3bench";

// top folders × (1 + subfolders) folders, ten files in each; every 20th file is a JPEG
// (every third of those with an upper-case extension, which -iname and our masks match).
struct Shape {
    int top, sub;
    long folders() const { return static_cast<long>(top) * (1 + sub); }
    long files() const { return folders() * 10; }
};

void fillFolder(const std::string& dir, long& serial) {
    for (int f = 0; f < 10; ++f, ++serial) {
        const char* ext = serial % 20 == 0 ? (serial % 60 == 0 ? ".JPG" : ".jpg") : ".txt";
        std::string p = g3::joinPath(dir, "file" + std::to_string(serial) + ext);
        int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || write(fd, "x", 1) != 1) std::exit(2);
        close(fd);
    }
}

// Builds the tree unless a complete one is cached (a marker file written last says so).
std::string ensureTree(const std::string& name, Shape s) {
    g3::forceDirectories(kCache);
    std::string root = g3::joinPath(kCache, name);
    std::string marker = root + ".complete";
    if (access(marker.c_str(), F_OK) == 0) return root;
    std::fprintf(stderr, "generating %s (%ld folders, %ld files)\n", root.c_str(), s.folders(), s.files());
    bench::shell("rm -rf '" + root + "'");
    g3::createDirectory(root);
    long serial = 0;
    for (int t = 0; t < s.top; ++t) {
        std::string top = g3::joinPath(root, "top" + std::to_string(t));
        g3::createDirectory(top);
        fillFolder(top, serial);
        for (int u = 0; u < s.sub; ++u) {
            std::string sub = g3::joinPath(top, "sub" + std::to_string(u));
            g3::createDirectory(sub);
            fillFolder(sub, serial);
        }
    }
    int fd = open(marker.c_str(), O_WRONLY | O_CREAT, 0644);
    close(fd);
    return root;
}

long scannerWalk(const std::string& root) {
    long found = 0;
    g3::TTreeScannerPtr scanner = g3::makeTreeScanner();
    scanner->setInitialDirectory(root);
    scanner->setFileMask("*.jpg");
    std::uint64_t bytes = 0;
    scanner->OnFileFound = [&](g3::TTreeScanner& s) {
        ++found;
        bytes += s.FileSize64();
    };
    scanner->Search();
    if (bytes != static_cast<std::uint64_t>(found)) std::exit(4); // every file holds one byte
    return found;
}

long findFileWalk(const std::string& root) {
    long found = 0;
    g3::TFindFile finder;
    finder.setBaseDir(root);
    finder.setSearchSubDir(true);
    finder.FileMask = "*.jpg";
    finder.OnFind = [&](g3::TFindFile&, const g3::FindData&, const std::string&, bool&) { ++found; };
    if (finder.Run() != 0) std::exit(4);
    return found;
}

long countOfFind(const std::string& root) {
    std::string cmd = "find '" + root + "' -iname '*.jpg' | wc -l";
    FILE* p = popen(cmd.c_str(), "r");
    long n = -1;
    if (!p || std::fscanf(p, "%ld", &n) != 1) std::exit(2);
    pclose(p);
    return n;
}

// Child: one TFindFile walk, then the peak resident size before and after it.
int peakChild(const std::string& root) {
    long before = static_cast<long>(bench::peakResidentBytes());
    long found = findFileWalk(root);
    std::printf("%ld %ld %lld\n", found, before, bench::peakResidentBytes());
    return 0;
}

struct Peak {
    long found = 0, before = 0, after = 0;
};

Peak peakOf(const char* self, const std::string& root) {
    std::string cmd = std::string("'") + self + "' --peak '" + root + "'";
    FILE* p = popen(cmd.c_str(), "r");
    Peak r;
    if (!p || std::fscanf(p, "%ld %ld %ld", &r.found, &r.before, &r.after) != 3) std::exit(2);
    pclose(p);
    return r;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    g3::installThrottledPump();
    if (argc == 3 && std::string(argv[1]) == "--peak") return peakChild(argv[2]);

    const std::string tree = ensureTree("tree200k", {20, 999});
    const std::string small = ensureTree("tree20k", {20, 99});
    std::fflush(stdout);
    bench::shell("df -T " + kCache);

    // A timer due every millisecond shows that the event loop is served during the walks.
    long ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(1);

    const long expected = countOfFind(tree);
    long scanned = 0, listed = 0;
    auto scan = bench::alternate(
        7, [&] { return bench::seconds([&] { scanned = scannerWalk(tree); }); },
        [&] { return bench::shell("find '" + tree + "' -iname '*.jpg' > /dev/null"); });
    const long scanTicks = ticks;
    auto find = bench::alternate(
        7, [&] { return bench::seconds([&] { listed = findFileWalk(tree); }); },
        [&] { return bench::shell("find '" + tree + "' -iname '*.jpg' > /dev/null"); });
    timer.stop();
    if (scanned != expected || listed != expected) {
        std::fprintf(stderr, "found %ld (scanner) %ld (finder), find %ld\n", scanned, listed, expected);
        return 3;
    }
    std::printf("timer ticks during the walks: scanner runs %ld, finder runs %ld\n", scanTicks,
                ticks - scanTicks);

    // The smaller tree first, each in its own process.
    Peak p20k = peakOf(argv[0], small), p200k = peakOf(argv[0], tree);
    std::printf("peak resident TFindFile: %ld files %.1f MiB (%.1f MiB before the walk), "
                "%ld files %.1f MiB (%.1f MiB before the walk)\n",
                Shape{20, 99}.files(), p20k.after / 1048576.0, p20k.before / 1048576.0,
                Shape{20, 999}.files(), p200k.after / 1048576.0, p200k.before / 1048576.0);
    const std::string extra = "files=" + std::to_string(Shape{20, 999}.files()) +
                              " found=" + std::to_string(expected);
    bench::result("tree_scanner", scan.ours, scan.baseline, extra);
    bench::result("find_file", find.ours, find.baseline,
                  extra + " peak_rss_20k=" + std::to_string(p20k.after) +
                      " peak_rss_200k=" + std::to_string(p200k.after));
    return 0;
}
