// The direct run (kind 10) of TCopyEngine on a dropped folder of 10,000 files of 4 KiB in
// 100 folders against `cp -a`; then a second kind-10 run onto the complete copy against
// `cp -au` (with `rsync -a --update` printed beside it). The host pumps events with the
// program's own pump; a 1 ms timer in the QCoreApplication records the longest gap between
// two turns of the event loop, during the runs and during the copy of one 1 GiB file.
// Peak memory of the direct run for 10,000 and 100,000 files is taken in child processes
// (this program run with --peak SRC DEST).
#include "common.h"
#include "pump.h"
#include "trees.h"

#include "engine/copyhost.h"
#include "engine/copyworker.h"
#include "platform/pump.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// A host without windows: every progress call pumps, nothing is ever asked.
class BenchHost : public g3::CopyHost {
public:
    bool openProgress(bool, const std::string&, int, int) override { return pump(); }
    bool updateProgress(bool, const std::string&, const std::string&, const std::string&) override {
        return pump();
    }
    void closeProgress() override { pump(); }
    void clearErrors() override { errors = 0; }
    void addErrorMessage(const std::string& first, const std::string& second, int code) override {
        if (errors++ < 5) std::fprintf(stderr, "error: %s %s %d\n", first.c_str(), second.c_str(), code);
    }
    int errorCount() override { return errors; }
    void offerErrorReport() override {}
    void prepareSameName() override {}
    int askSameName(const std::string&, const std::string&, std::int64_t, std::int64_t, const std::string&,
                    const std::string&) override {
        return 6;
    }
    void setMonitorActive(bool) override {}
    void refreshTree() override {}
    void runStateChanged(bool) override {}
    void showRefusal(const std::string& text) override { std::fprintf(stderr, "refused: %s\n", text.c_str()); }
    bool chooseFolder(const std::string&, std::string&) override { return false; }
    int runShellOperation(g3::ShellFileOperation&) override { return 0; }

    int errors = 0;

private:
    static bool pump() {
        bench::programPump()();
        return true;
    }
};

// folders × 100 files of 4 KiB, kept under the benchmark cache.
std::string ensureSource(const std::string& name, int folders) {
    std::string root = g3::joinPath(bench::kTreeCache, name);
    std::string marker = root + ".complete";
    if (access(marker.c_str(), F_OK) == 0) return root;
    g3::forceDirectories(bench::kTreeCache);
    bench::shell("rm -rf '" + root + "'");
    g3::createDirectory(root);
    for (int d = 0; d < folders; ++d) {
        char folder[16];
        std::snprintf(folder, sizeof folder, "d%03d", d);
        std::string dir = g3::joinPath(root, folder);
        g3::createDirectory(dir);
        for (int f = 0; f < 100; ++f)
            bench::writePatternFile(g3::joinPath(dir, "f" + std::to_string(f) + ".dat"), 4096, static_cast<unsigned>(d * 100 + f));
    }
    close(open(marker.c_str(), O_WRONLY | O_CREAT, 0644));
    return root;
}

// One direct run of kind 10 of `src` into the folder `dest`.
void directRun(const std::string& src, const std::string& dest) {
    BenchHost host;
    g3::TCopyEngine engine(host, bench::programPump());
    engine.OpKind = g3::okCopyNewer;
    if (!engine.copinew({src}, dest) || host.errors != 0) {
        std::fprintf(stderr, "the run failed (%d errors)\n", host.errors);
        std::exit(3);
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--peak")
        return bench::printPeakAround([&] {
            g3::createDirectory(argv[3]);
            directRun(argv[2], argv[3]);
        });

    const std::string src = ensureSource("copy10k", 100);
    const std::string big = g3::joinPath(bench::kTreeCache, "big1g.bin");
    if (g3::fileSizeOf(big) != (1LL << 30)) bench::writePatternFile(big, 1u << 30, 11);
    std::string work = g3::joinPath(bench::kTreeCache, "copyrun.XXXXXX");
    if (!mkdtemp(work.data())) return 2;
    std::fflush(stdout);
    bench::shell("df -T " + work);

    // Fresh output folders per run; the old ones stay until the timings are done, since
    // deleting many files slows file creation on ext4 for a while.
    int serial = 0;
    std::vector<std::string> ours, theirs;
    auto fresh = [&](std::vector<std::string>& into) {
        std::string out = g3::joinPath(work, "out" + std::to_string(serial++));
        g3::createDirectory(out);
        into.push_back(out);
        sync();
        return out;
    };
    // Only our runs are measured: the event loop stands still while a baseline runs.
    bench::GapMeter gaps;
    auto measured = [&](const std::function<void()>& run) {
        gaps.start();
        double t = bench::seconds(run);
        gaps.stop();
        return t;
    };
    auto first = bench::alternate(
        5,
        [&] {
            std::string out = fresh(ours);
            return measured([&] { directRun(src, out); });
        },
        [&] {
            std::string out = fresh(theirs);
            return bench::shell("cp -a '" + src + "' '" + out + "/'");
        });
    // Again onto complete copies: nothing is newer.
    std::size_t round = 0;
    auto noop = bench::alternate(
        5,
        [&] {
            const std::string& out = ours[round % ours.size()];
            sync();
            return measured([&] { directRun(src, out); });
        },
        [&] {
            const std::string& out = theirs[round++ % theirs.size()];
            return bench::shell("cp -au '" + src + "' '" + out + "/'");
        });
    const double runGap = gaps.takeMaxMs();
    std::vector<double> rsyncTimes;
    if (std::system("command -v rsync > /dev/null 2>&1") == 0) {
        bench::shell("rsync -a --update '" + src + "' '" + theirs[0] + "/'");
        for (int i = 0; i < 5; ++i)
            rsyncTimes.push_back(bench::shell("rsync -a --update '" + src + "' '" + theirs[0] + "/'"));
    }

    // One 1 GiB file through the same run.
    std::string bigOut = fresh(ours);
    const double bigTime = measured([&] { directRun(big, bigOut); });
    const double bigGap = gaps.takeMaxMs();
    if (g3::fileSizeOf(g3::joinPath(bigOut, "big1g.bin")) != (1LL << 30)) return 3;
    std::printf("longest gap between event-loop turns: %.1f ms (10,000 files), %.1f ms (1 GiB file in %.2f s)\n",
                runGap, bigGap, bigTime);
    if (!rsyncTimes.empty())
        std::printf("rsync -a --update onto the complete copy: %.4f s\n", bench::median(rsyncTimes));

    // Peak memory: 10,000 files, then 100,000 (1,000 folders), each run in its own process.
    const std::string src100k = ensureSource("copy100k", 1000);
    bench::ChildPeak p10k = bench::peakInChild(argv[0], {src, g3::joinPath(work, "peak10k")});
    bench::ChildPeak p100k = bench::peakInChild(argv[0], {src100k, g3::joinPath(work, "peak100k")});
    std::printf("peak resident direct run: 10,000 files %.1f MiB (%.1f MiB before), 100,000 files %.1f MiB "
                "(%.1f MiB before)\n",
                p10k.after / 1048576.0, p10k.before / 1048576.0, p100k.after / 1048576.0, p100k.before / 1048576.0);

    bench::shell("rm -rf '" + work + "'");
    char extra[160];
    std::snprintf(extra, sizeof extra, "files=10000 max_pump_gap_ms=%.1f", std::max(runGap, bigGap));
    bench::result("copy_run", first.ours, first.baseline, extra);
    std::snprintf(extra, sizeof extra, "files=10000 rsync=%.4f peak_rss_10k=%lld peak_rss_100k=%lld",
                  rsyncTimes.empty() ? 0.0 : bench::median(rsyncTimes), p10k.after, p100k.after);
    bench::result("copy_run_noop", noop.ours, noop.baseline, extra);
    return 0;
}
