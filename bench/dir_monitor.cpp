// TDirMonitor with subfolders on a tree of 20,000 folders: the time to activate it (median
// of several activations, against a fixed 0.1 s), the watches it uses, and the CPU time it
// takes over 10 idle seconds with its shared timer running in the event loop.
//
// The tree is the one bench/tree_walk walks (bench/trees.h).
#include "common.h"
#include "trees.h"

#include "fscomp/DirMontr.h"

#include <QCoreApplication>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
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
                watches, g3::InotifyWatch::kDefaultBudget);

    // Ten idle seconds in the event loop with the shared timer polling.
    const double cpu0 = cpuSeconds();
    const double wall = bench::seconds([&] {
        QTimer::singleShot(10000, Qt::PreciseTimer, &app, [] { QCoreApplication::quit(); });
        app.exec();
    });
    const double idleCpu = cpuSeconds() - cpu0;
    std::printf("idle: %.3f s CPU over %.2f s, timer interval %d ms, %d changes seen\n", idleCpu, wall,
                monitor.Interval(), changes);
    char extra[96];
    std::snprintf(extra, sizeof extra, "watches=%zu idle_cpu_percent=%.4f", watches, 100.0 * idleCpu / wall);
    bench::result("dir_monitor", activation, 0.1, extra);
    return 0;
}
