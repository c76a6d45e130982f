// TTreeScanner (mask "*.jpg") and TFindFile (whole tree, FileMask "*.jpg") against
// `find TREE -iname '*.jpg'` on a tree of 200,000 files in 20,000 folders, warm cache,
// with the program's own event pump installed in a QCoreApplication.
//
// The trees are generated once and kept under /var/tmp/g3bench/. Peak memory of TFindFile
// is measured in child processes (this program run with --peak TREE), one per tree, so the
// peaks of the two walks cannot mask each other.
#include "common.h"
#include "pump.h"
#include "trees.h"

#include "fscomp/FindF.h"
#include "fscomp/TreeScan.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

long scannerWalk(const std::string& root) {
    long found = 0;
    g3::TTreeScannerPtr scanner = g3::makeTreeScanner();
    scanner->MessagePump = bench::programPump();
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
    finder.MessagePump = bench::programPump();
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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--peak")
        return bench::printPeakAround([&] { findFileWalk(argv[2]); });

    const std::string tree = bench::largeTree();
    const std::string small = bench::smallTree();
    std::fflush(stdout);
    bench::shell("df -T " + bench::kTreeCache);

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
    bench::ChildPeak p20k = bench::peakInChild(argv[0], {small});
    bench::ChildPeak p200k = bench::peakInChild(argv[0], {tree});
    std::printf("peak resident TFindFile: %ld files %.1f MiB (%.1f MiB before the walk), "
                "%ld files %.1f MiB (%.1f MiB before the walk)\n",
                bench::kSmallTree.files(), p20k.after / 1048576.0, p20k.before / 1048576.0,
                bench::kLargeTree.files(), p200k.after / 1048576.0, p200k.before / 1048576.0);
    const std::string extra = "files=" + std::to_string(bench::kLargeTree.files()) +
                              " found=" + std::to_string(expected);
    bench::result("tree_scanner", scan.ours, scan.baseline, extra);
    bench::result("find_file", find.ours, find.baseline,
                  extra + " peak_rss_20k=" + std::to_string(p20k.after) +
                      " peak_rss_200k=" + std::to_string(p200k.after));
    return 0;
}
