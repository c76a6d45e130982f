#include "platform/treesize.h"

#include "platform/findfile.h"
#include "platform/paths.h"

namespace g3 {

TreeSizeCount::TreeSizeCount(std::vector<std::string> paths) : paths_(std::move(paths)) {}

TreeSizeCount::~TreeSizeCount() {
    cancel();
    if (worker_.joinable()) worker_.join();
}

void TreeSizeCount::start() {
    worker_ = std::thread([this] { run(); });
}

// Folders wait in a list rather than on the stack: a tree as deep as the file system allows
// needs neither stack nor one open directory per level.
void TreeSizeCount::run() {
    std::vector<std::string> pending;
    for (const std::string& p : paths_) {
        FindData d;
        if (!findDataOfPath(p, d)) continue;
        if (d.isDirectory() && !(d.attributes & faLink)) {
            if (!(d.attributes & faSystem)) pending.push_back(p);
            continue;
        }
        files_ += 1;
        if (d.attributes & faArchive) bytes_ += d.size;
    }
    while (!pending.empty() && !cancelled_.load()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        countFolder(folder, pending);
    }
    finished_.store(true);
}

void TreeSizeCount::countFolder(const std::string& folder, std::vector<std::string>& pending) {
    FindHandle h;
    FindData d;
    bool ok = h.first(joinPath(folder, "*"), d);
    for (; ok && !cancelled_.load(); ok = h.next(d)) {
        if (d.isDotOrDotDot()) continue;
        if (d.isDirectory() && !(d.attributes & faLink)) {
            folders_ += 1;
            if (!(d.attributes & faSystem)) pending.push_back(joinPath(folder, d.name));
            continue;
        }
        files_ += 1;
        if (d.attributes & faArchive) bytes_ += d.size;
    }
    if (h.error() != 0) unreadable_ += 1;
}

std::uint64_t treeBytes(const std::string& folder) {
    TreeSizeCount count({folder});
    count.run();
    return count.bytes();
}

} // namespace g3
