// Generated trees shared by the walk and monitor benchmarks, kept under /var/tmp/g3bench/
// so that later runs reuse them (a marker file written last says a tree is complete).
#pragma once

#include "common.h"

#include "platform/fileops.h"
#include "platform/paths.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

} // namespace bench
