// The inotify backend of the directory monitor: one inotify instance watching a folder,
// optionally with its subfolders, read without blocking.
#pragma once

#include "platform/handles.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

struct inotify_event;

namespace g3 {

// Kinds of change that count, as bits (the monitor's filter maps onto these).
enum InotifyChange : std::uint32_t {
    icFileName = 0x01,   // a file created, deleted or renamed
    icDirName = 0x02,    // a folder created, deleted or renamed
    icAttributes = 0x04, // mode, owner, times changed
    icSize = 0x08,       // contents written or truncated
    icLastWrite = 0x10,  // contents written, or the times set
    icSecurity = 0x100,  // mode or owner changed
};

// Result of one poll.
enum class InotifyPoll {
    Quiet,   // nothing that counts happened since the last poll
    Changed, // at least one counting change (or an overflow of the kernel's queue)
    Gone     // the watched folder was deleted or unmounted, or renamed or moved with its own
             // name or with one of a folder above it: its path names it no more
};

// One open watch. Not copyable; the inotify descriptor is closed with the object.
// Single-threaded: every call from the thread that owns the monitor.
class InotifyWatch {
public:
    // Watches at most this many folders (the watched one included) per instance; the
    // budget keeps a watch of "/" cheap.
    static constexpr std::size_t kDefaultBudget = 2000;

    InotifyWatch() = default;
    ~InotifyWatch();
    InotifyWatch(const InotifyWatch&) = delete;
    InotifyWatch& operator=(const InotifyWatch&) = delete;

    // Opens the watch on folder. With subtree, subfolders are added breadth first until
    // the budget is used; folders on other file systems (mounts, pseudo file systems) and
    // linked folders are not entered. False, with errno in lastError(), when the folder
    // cannot be watched or changes is 0; the object is then closed.
    // With deferSubtree only the folder itself is watched on return; extend() adds the
    // subfolders a slice at a time, so opening never holds up the caller.
    bool open(const std::string& folder, bool subtree, std::uint32_t changes,
              std::size_t budget = kDefaultBudget, bool deferSubtree = false);
    // Adds up to maxNew more subfolder watches, stopping early once the clock passes
    // until (at least one is added whatever the clock says); true while some are still to
    // be added. Folders differ widely in what a watch costs (the kernel walks the
    // folder's cached entries), so a count alone does not bound a slice's time.
    bool extend(std::size_t maxNew,
                std::chrono::steady_clock::time_point until = std::chrono::steady_clock::time_point::max());
    bool pending() const { return !queue_.empty() || !unread_.empty() || reading_; }
    void close();
    bool isOpen() const { return static_cast<bool>(fd_); }

    using Clock = std::chrono::steady_clock;
    // Handles queued events until the clock passes until, without blocking; what is left
    // waits for the next call (backlog()). Changed when a counting change was handled
    // since the last report (also by drain()); Gone once the watched folder itself went.
    // Folders created below a subtree watch are watched at once; their own subfolders are
    // added by extend(). When the kernel's queue overflowed, the subfolder watches are set
    // up anew (by extend()) and one change is reported.
    InotifyPoll poll(Clock::time_point until = Clock::time_point::max());
    // The same without reporting: what it finds is reported by the next poll().
    void drain(Clock::time_point until);
    // True while read events wait to be handled, or the last read filled the buffer.
    bool backlog() const { return pos_ < end_ || lastReadFull_; }
    // After a poll that found the folder Gone: its path now when it was renamed or moved
    // within the folders on its path (its own rename, a rename of a folder above it, a
    // move into one of those); "" when it was deleted or went out of sight.
    const std::string& folderNowAt() const { return nowAt_; }
    // After a poll that reported Changed: the files (full paths, sorted) whose contents or
    // attributes alone changed, when nothing else did; empty when the change was more than
    // that (an entry came, went or was renamed), which calls for a whole refresh.
    const std::vector<std::string>& changedFilesOnly() const { return reported_; }

    // Subtree watches, the folder's own included (not those of the folders above it).
    std::size_t watchCount() const { return paths_.size(); }
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
