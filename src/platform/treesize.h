// Counting what lies below files and folders: the entries that are not folders, the
// folders, and the bytes of the regular files (apparent sizes). Links are counted as
// entries and never followed; the folders of pseudo file systems (/proc, /sys, ...) are not
// entered.
//
// One count is a job object: run() counts on the calling thread, start() on a worker
// thread of its own. The counters may be read from any thread while it runs; cancel() stops
// it at the next entry.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace g3 {

class TreeSizeCount {
public:
    // paths: full paths; a folder among them is counted by what is below it, not itself.
    explicit TreeSizeCount(std::vector<std::string> paths);
    ~TreeSizeCount(); // cancels a started worker and waits for it
    TreeSizeCount(const TreeSizeCount&) = delete;
    TreeSizeCount& operator=(const TreeSizeCount&) = delete;

    void run();
    void start();
    void cancel() { cancelled_.store(true); }
    // True once run() has returned (on whichever thread), cancelled or not.
    bool finished() const { return finished_.load(); }

    std::uint64_t files() const { return files_.load(); }
    std::uint64_t folders() const { return folders_.load(); }
    std::uint64_t bytes() const { return bytes_.load(); }
    // Folders that could not be listed (their contents are missing from the counts).
    std::uint64_t unreadable() const { return unreadable_.load(); }

private:
    void countFolder(const std::string& folder, std::vector<std::string>& pending);

    std::vector<std::string> paths_;
    std::atomic<bool> cancelled_{false}, finished_{false};
    std::atomic<std::uint64_t> files_{0}, folders_{0}, bytes_{0}, unreadable_{0};
    std::thread worker_;
};

// The bytes of the regular files below folder, counted on the calling thread.
std::uint64_t treeBytes(const std::string& folder);

} // namespace g3
