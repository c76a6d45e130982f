// Data the benchmarks generate, and peak memory measured in a child process. Trees are
// kept under /var/tmp/g3bench/ so that later runs reuse them (a marker file written last
// says a tree is complete).
#pragma once

#include "common.h"

#include "platform/fileops.h"
#include "platform/paths.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace bench {

inline const std::string kTreeCache = "/var/tmp/g3bench";

// `top` folders of `sub` subfolders each, ten one-byte files in every folder; every 20th
// file is a JPEG (every third of those with an upper-case extension).
struct TreeShape {
    int top, sub;
    long folders() const { return static_cast<long>(top) * (1 + sub); }
    long files() const { return folders() * 10; }
};

inline void fillTreeFolder(const std::string& dir, long& serial) {
    for (int f = 0; f < 10; ++f, ++serial) {
        const char* ext = serial % 20 == 0 ? (serial % 60 == 0 ? ".JPG" : ".jpg") : ".txt";
        std::string p = g3::joinPath(dir, "file" + std::to_string(serial) + ext);
        int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || write(fd, "x", 1) != 1) std::exit(2);
        close(fd);
    }
}

// The tree kTreeCache/name, built unless a complete one is there.
inline std::string ensureTree(const std::string& name, TreeShape s) {
    g3::forceDirectories(kTreeCache);
    std::string root = g3::joinPath(kTreeCache, name);
    std::string marker = root + ".complete";
    if (access(marker.c_str(), F_OK) == 0) return root;
    std::fprintf(stderr, "generating %s (%ld folders, %ld files)\n", root.c_str(), s.folders(), s.files());
    shell("rm -rf '" + root + "'");
    g3::createDirectory(root);
    long serial = 0;
    for (int t = 0; t < s.top; ++t) {
        std::string top = g3::joinPath(root, "top" + std::to_string(t));
        g3::createDirectory(top);
        fillTreeFolder(top, serial);
        for (int u = 0; u < s.sub; ++u) {
            std::string sub = g3::joinPath(top, "sub" + std::to_string(u));
            g3::createDirectory(sub);
            fillTreeFolder(sub, serial);
        }
    }
    close(open(marker.c_str(), O_WRONLY | O_CREAT, 0644));
    return root;
}

// 20,000 folders with 200,000 files, and a tree ten times smaller.
inline constexpr TreeShape kLargeTree{20, 999};
inline constexpr TreeShape kSmallTree{20, 99};
inline std::string largeTree() { return ensureTree("tree200k", kLargeTree); }
inline std::string smallTree() { return ensureTree("tree20k", kSmallTree); }

// A file of `bytes` bytes of a pattern that depends on seed.
inline void writePatternFile(const std::string& path, std::size_t bytes, unsigned seed) {
    std::vector<char> buf(std::min<std::size_t>(bytes, 1 << 20));
    for (std::size_t i = 0; i < buf.size(); ++i) buf[i] = static_cast<char>((i * 2654435761u + seed) >> 13);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (std::size_t done = 0; done < bytes;) {
        std::size_t n = std::min(buf.size(), bytes - done);
        if (write(fd, buf.data(), n) != static_cast<ssize_t>(n)) std::exit(2);
        done += n;
    }
    close(fd);
}

// folders × 100 files of 4 KiB, kept under the benchmark cache.
inline std::string ensureFileTree(const std::string& name, int folders) {
    std::string root = g3::joinPath(kTreeCache, name);
    std::string marker = root + ".complete";
    if (access(marker.c_str(), F_OK) == 0) return root;
    g3::forceDirectories(kTreeCache);
    shell("rm -rf '" + root + "'");
    g3::createDirectory(root);
    for (int d = 0; d < folders; ++d) {
        char folder[16];
        std::snprintf(folder, sizeof folder, "d%03d", d);
        std::string dir = g3::joinPath(root, folder);
        g3::createDirectory(dir);
        for (int f = 0; f < 100; ++f)
            writePatternFile(g3::joinPath(dir, "f" + std::to_string(f) + ".dat"), 4096, static_cast<unsigned>(d * 100 + f));
    }
    close(open(marker.c_str(), O_WRONLY | O_CREAT, 0644));
    return root;
}

// Peak resident size of a child process, before and after its work.
struct ChildPeak {
    long long before = 0, after = 0;
};

// In the child: does the work and prints the two figures for peakInChild.
inline int printPeakAround(const std::function<void()>& work) {
    long long before = peakResidentBytes();
    work();
    std::printf("%lld %lld\n", before, peakResidentBytes());
    return 0;
}

// Runs `self --peak args...` and reads what printPeakAround printed there.
inline ChildPeak peakInChild(const char* self, const std::vector<std::string>& args) {
    std::string cmd = std::string("'") + self + "' --peak";
    for (const auto& a : args) cmd += " '" + a + "'";
    FILE* p = popen(cmd.c_str(), "r");
    ChildPeak r;
    if (!p || std::fscanf(p, "%lld %lld", &r.before, &r.after) != 2) std::exit(2);
    pclose(p);
    return r;
}

} // namespace bench
