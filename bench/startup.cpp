// Start-up: from the moment the process is started to the main window shown with "/"
// listed, against a minimal Qt program that shows an empty window, in the same run.
// Each child prints the monotonic clock when its window stands; the parent takes the
// clock just before starting it.
#include "common.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>

namespace {

long long monotonicNs() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1'000'000'000LL + t.tv_nsec;
}

int minimalWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget w;
    w.resize(320, 240);
    w.show();
    QTimer::singleShot(0, &app, [] {
        std::printf("G3_SHOWN %lld\n", monotonicNs());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return app.exec();
}

// Seconds from the start of command to the G3_SHOWN line it prints.
double timeToShown(const std::string& command) {
    const long long t0 = monotonicNs();
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) std::exit(2);
    long long shown = 0;
    char line[256];
    while (std::fgets(line, sizeof line, p))
        if (std::strncmp(line, "G3_SHOWN ", 9) == 0) shown = std::atoll(line + 9);
    if (::pclose(p) != 0 || shown == 0) {
        std::fprintf(stderr, "no window from: %s\n", command.c_str());
        std::exit(2);
    }
    return static_cast<double>(shown - t0) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--minimal") == 0) return minimalWindow(argc, argv);

    char config[] = "/tmp/g3bench-startup-XXXXXX";
    if (!::mkdtemp(config)) return 2;
    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return 2;
    const std::string env = std::string("QT_QPA_PLATFORM=offscreen G3_EXIT_WHEN_SHOWN=1 G3_CONFIG_DIR=") + config;
    const std::string ours = env + " '" + G3_EXE + "'";
    const std::string baseline = env + " '" + self + "' --minimal";
    const auto r = bench::alternate(21, [&] { return timeToShown(ours); },
                                    [&] { return timeToShown(baseline); });
    std::printf("main window shown: %.1f ms, empty window: %.1f ms\n", r.ours * 1e3, r.baseline * 1e3);
    std::system((std::string("rm -rf '") + config + "'").c_str());
    bench::result("startup", r.ours, r.baseline);
    return 0;
}
