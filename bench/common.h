// Shared by the benchmark programs: timing, medians, resident memory and the RESULT line.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace bench {

inline double seconds(const std::function<void()>& fn) {
    auto t0 = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n == 0 ? 0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

// Runs a shell command, returns its wall time; aborts the benchmark if it fails.
inline double shell(const std::string& cmd) {
    double t = seconds([&] {
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "command failed: %s\n", cmd.c_str());
            std::exit(2);
        }
    });
    return t;
}

// Alternates ours and the baseline `runs` times (after one warm-up each) and returns the
// two medians. `prepare` runs untimed before every timed run (e.g. moving old output aside).
struct Pair {
    double ours, baseline;
};
inline Pair alternate(int runs, const std::function<double()>& ours,
                      const std::function<double()>& baseline) {
    std::vector<double> a, b;
    ours();
    baseline();
    for (int i = 0; i < runs; ++i) {
        a.push_back(ours());
        b.push_back(baseline());
    }
    return {median(a), median(b)};
}

// Resident set size of this process in bytes (from /proc/self/statm).
inline long long residentBytes() {
    std::ifstream f("/proc/self/statm");
    long long pages = 0, resident = 0;
    f >> pages >> resident;
    return resident * 4096LL;
}

// Peak resident set size in bytes (VmHWM).
inline long long peakResidentBytes() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024LL;
    return 0;
}

inline void result(const std::string& name, double ours, double baseline,
                   const std::string& extra = "") {
    std::printf("RESULT %s ratio=%.3f ours=%.4f baseline=%.4f%s%s\n", name.c_str(),
                baseline > 0 ? ours / baseline : 0.0, ours, baseline, extra.empty() ? "" : " ",
                extra.c_str());
    std::fflush(stdout);
}

} // namespace bench
