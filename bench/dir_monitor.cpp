// TDirMonitor with subfolders on a tree of 20,000 folders: the time to activate it (median
// of several activations, against a fixed 0.1 s), the watches it uses, and the CPU time it
// takes over 10 idle seconds with its shared timer running in the event loop. Then a
// flood: another thread makes and removes 20,000 folders (deep chains and wide rows)
// below a watched folder while the event loop runs; max_pump_gap_ms is the longest time
// the loop was held up meanwhile.
//
// The tree is the one bench/tree_walk walks (bench/trees.h).
#include "common.h"
#include "trees.h"

#include "fscomp/DirMontr.h"

#include <QCoreApplication>
#include <QTimer>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

// 10 chains of 1,000 folders and 10 rows of 1,000 folders below root, made, then removed.
void flood(const std::string& root) {
    std::vector<std::string> made;
    for (int c = 0; c < 10; ++c) {
        std::string p = root + "/chain" + std::to_string(c);
        for (int d = 0; d < 1000; ++d, p += "/d") {
            ::mkdir(p.c_str(), 0755);
            made.push_back(p);
        }
        std::string row = root + "/row" + std::to_string(c);
        ::mkdir(row.c_str(), 0755);
        made.push_back(row);
        for (int i = 0; i < 999; ++i) {
            made.push_back(row + "/f" + std::to_string(i));
            ::mkdir(made.back().c_str(), 0755);
        }
    }
    // Deepest first: each folder is empty when its turn comes.
    std::sort(made.begin(), made.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() > b.size() : a > b;
    });
    for (const auto& p : made) ::rmdir(p.c_str());
}

// The longest gap between two turns of the event loop while the flood runs and the
// monitor catches up (two more ticks of its timer after the flood).
double maxGapDuringFlood(QCoreApplication& app, const std::string& root) {
    g3::TDirMonitor watched;
    watched.setDirectory(root);
    watched.setIncludeSubDir(true);
    watched.setInterval(3000); // the main window's
    watched.setActive(true);
    using Clock = std::chrono::steady_clock;
    auto last = Clock::now();
    double maxGap = 0;
    QTimer beat;
    beat.setTimerType(Qt::PreciseTimer);
    beat.setInterval(1);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        maxGap = std::max(maxGap, std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    });
    std::atomic<bool> done{false};
    std::thread maker([&] {
        flood(root);
        done = true;
    });
    beat.start();
    last = Clock::now();
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done) QTimer::singleShot(2 * watched.Interval() + 500, &app, [] { QCoreApplication::quit(); });
        if (done) check.stop();
    });
    check.start(10);
    app.exec();
    maker.join();
    watched.setInterval(2000);
    return maxGap;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string tree = bench::largeTree();

    g3::TDirMonitor monitor;
    monitor.setDirectory(tree);
    monitor.setIncludeSubDir(true);
    int changes = 0;
    monitor.OnChange = [&](g3::TDirMonitor*) { ++changes; };

    // Activation counts until every subfolder watch is in place; the part that holds up
    // the caller (the folder itself, before the slices start) is printed beside it.
    std::vector<double> times, blocking;
    for (int i = 0; i < 8; ++i) {
        monitor.setActive(false);
        times.push_back(bench::seconds([&] {
            blocking.push_back(bench::seconds([&] { monitor.setActive(true); }));
            while (monitor.settingUp()) QCoreApplication::processEvents();
        }));
        if (!monitor.Active()) {
            std::fprintf(stderr, "the monitor did not open on %s\n", tree.c_str());
            return 3;
        }
    }
    times.erase(times.begin()); // the first one warms the folder caches
    blocking.erase(blocking.begin());
    const double activation = bench::median(times);
    std::printf("activation: the caller waits %.4f s (median)\n", bench::median(blocking));
    const std::size_t watches = monitor.watchCount();
    std::printf("activation: median %.4f s of %zu, %zu watches of a budget of %zu\n", activation, times.size(),
                watches, g3::FolderWatch::kDefaultBudget);

    // Ten idle seconds in the event loop with the shared timer polling.
    const double cpu0 = cpuSeconds();
    const double wall = bench::seconds([&] {
        QTimer::singleShot(10000, Qt::PreciseTimer, &app, [] { QCoreApplication::quit(); });
        app.exec();
    });
    const double idleCpu = cpuSeconds() - cpu0;
    std::printf("idle: %.3f s CPU over %.2f s, timer interval %d ms, %d changes seen\n", idleCpu, wall,
                monitor.Interval(), changes);
    const std::string floodRoot = tree + "-flood";
    ::mkdir(floodRoot.c_str(), 0755);
    const double gap = maxGapDuringFlood(app, floodRoot);
    ::rmdir(floodRoot.c_str());
    std::printf("flood: the event loop waited at most %.1f ms\n", gap);
    char extra[128];
    std::snprintf(extra, sizeof extra, "watches=%zu idle_cpu_percent=%.4f max_pump_gap_ms=%.1f", watches,
                  100.0 * idleCpu / wall, gap);
    bench::result("dir_monitor", activation, 0.1, extra);
    return 0;
}
