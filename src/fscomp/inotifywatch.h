// The inotify backend of the directory monitor: one inotify instance watching a folder,
// optionally with its subfolders, read without blocking.
#pragma once

#include "fscomp/folderwatch.h"
#include "platform/handles.h"

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

struct inotify_event;

namespace g3 {

// One inotify instance. Not copyable; the descriptor is closed with the object. Folders
// created below a subtree watch are watched at once; their own subfolders are added by
// extend(). When the kernel's queue overflowed, the subfolder watches are set up anew
// (by extend()) and one change is reported.
class InotifyWatch final : public FolderWatch {
public:
    InotifyWatch() = default;
    ~InotifyWatch();
    InotifyWatch(const InotifyWatch&) = delete;
    InotifyWatch& operator=(const InotifyWatch&) = delete;

    bool open(const std::string& folder, bool subtree, std::uint32_t changes,
              std::size_t budget = kDefaultBudget, bool deferSubtree = false) override;
    void close() override;
    bool isOpen() const override { return static_cast<bool>(fd_); }
    // Folders differ widely in what a watch costs (the kernel walks the folder's cached
    // entries), so a count alone does not bound a slice's time: the clock does.
    bool extend(std::size_t maxNew, Clock::time_point until = Clock::time_point::max()) override;
    bool pending() const override { return !queue_.empty() || !unread_.empty() || reading_; }
    InotifyPoll poll(Clock::time_point until = Clock::time_point::max()) override;
    void drain(Clock::time_point until) override;
    // Read events wait to be handled, or the last read filled the buffer.
    bool backlog() const override { return pos_ < end_ || lastReadFull_; }
    // Known when the folder was renamed or moved within the folders on its path (its own
    // rename, a rename of a folder above it, a move into one of those).
    const std::string& folderNowAt() const override { return nowAt_; }
    const std::vector<std::string>& changedFilesOnly() const override { return reported_; }
    // Subtree watches, the folder's own included (not those of the folders above it).
    std::size_t watchCount() const override { return paths_.size(); }
    int fd() const { return fd_.get(); }

private:
    bool addOne(const std::string& folder);
    void forget(int wd);
    void watchAbove();
    InotifyPoll handleAbove(const std::string& folder, const ::inotify_event& ev);
    void findMoveTarget(const ::inotify_event& ev);
    void forgetBelow(const std::string& folder);
    void startOver();
    bool counts(std::uint32_t mask) const;
    InotifyPoll handle(const ::inotify_event& ev);
    void noteWhatChanged(const std::string& folder, const ::inotify_event& ev);
    bool readMore();
    void readTopFolder();
    void startReading(const std::string& folder);
    bool readSubfolders(std::chrono::steady_clock::time_point until);

    UniqueFd fd_;
    int topWd_ = -1;
    std::string top_; // the watched folder
    bool subtree_ = false;
    std::uint32_t changes_ = 0;
    std::uint32_t mask_ = 0;
    std::size_t budget_ = kDefaultBudget;
    std::uint64_t device_ = 0;
    // The watch table both ways; by path it is ordered, so the watches below a folder are
    // one range and forgetting them costs what they are.
    std::unordered_map<int, std::string> paths_; // watch descriptor -> folder
    std::map<std::string, int> wds_;             // folder -> watch descriptor
    std::unordered_map<int, std::string> above_; // watches of the folders above it
    std::deque<std::string> queue_;  // subfolders still to be watched, nearest first
    std::deque<std::string> unread_; // watched folders whose subfolders are still unread
    DirHandle reading_; // the folder whose subfolders are being read
    std::string readingPath_;
    // Events read from the kernel, handled from pos_ to end_.
    std::vector<char> buffer_;
    std::size_t pos_ = 0, end_ = 0;
    bool lastReadFull_ = false;
    bool changed_ = false; // a counting change handled and not yet reported
    bool wholeChange_ = false;     // ... and it was more than files' contents
    std::set<std::string> touched_; // ... else the files whose contents changed
    std::vector<std::string> reported_;
    // Set by a poll that finds the folder gone: the folder on its path that was moved, the
    // move's cookie, and where the watched folder is now.
    bool gone_ = false;
    std::string moved_;
    std::uint32_t movedCookie_ = 0;
    std::string nowAt_;
};

} // namespace g3
