// The backend interface of the directory monitor: a watch on one folder, optionally with
// its subfolders, asked without blocking. The inotify backend (inotifywatch.h) serves where
// the kernel's notifications can start; the polling one (pollingwatch.h) where they cannot.
// Single-threaded: every call from the thread that owns the monitor.
#pragma once

#include <sys/stat.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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
    Changed, // at least one counting change (or changes too many to tell apart)
    Gone     // the watched folder was deleted or unmounted, or renamed or moved with its own
             // name or with one of a folder above it: its path names it no more
};

// The check every backend's open() starts with: something to watch for, and a folder
// (links followed) whose status goes to st. False with errno in lastError() otherwise.
bool isWatchable(const std::string& folder, std::uint32_t changes, struct stat& st);

class FolderWatch {
public:
    using Clock = std::chrono::steady_clock;
    // Watches at most this many folders (the watched one included); the budget keeps a
    // watch of "/" cheap.
    static constexpr std::size_t kDefaultBudget = 2000;

    virtual ~FolderWatch() = default;

    // Opens the watch on folder. With subtree, subfolders are added breadth first until
    // the budget is used; folders on other file systems (mounts, pseudo file systems) and
    // linked folders are not entered. False, with errno in lastError(), when the folder
    // cannot be watched or changes is 0; the watch is then closed.
    // With deferSubtree only the folder itself is watched on return; extend() adds the
    // subfolders a slice at a time, so opening never holds up the caller.
    virtual bool open(const std::string& folder, bool subtree, std::uint32_t changes,
                      std::size_t budget = kDefaultBudget, bool deferSubtree = false) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Adds up to maxNew more subfolders, stopping early once the clock passes until (at
    // least one is added whatever the clock says); true while some are still to be added.
    virtual bool extend(std::size_t maxNew, Clock::time_point until = Clock::time_point::max()) = 0;
    // True while subfolders are still to be added.
    virtual bool pending() const = 0;

    // Looks at what changed until the clock passes until, without blocking; what is left
    // waits for the next call (backlog()). Changed when a counting change was seen since
    // the last report (also by drain()); Gone once the watched folder itself went.
    virtual InotifyPoll poll(Clock::time_point until = Clock::time_point::max()) = 0;
    // The same without reporting: what it finds is reported by the next poll().
    virtual void drain(Clock::time_point until) = 0;
    // True while changes wait to be looked at.
    virtual bool backlog() const = 0;

    // After a poll that found the folder Gone: its path now when it was renamed or moved
    // within the folders on its path; "" when it was deleted or went out of sight.
    virtual const std::string& folderNowAt() const = 0;
    // After a poll that reported Changed: the files (full paths, sorted) whose contents or
    // attributes alone changed, when nothing else did; empty when the change was more than
    // that (an entry came, went or was renamed), which calls for a whole refresh.
    virtual const std::vector<std::string>& changedFilesOnly() const = 0;
    // Folders watched, the watched one included.
    virtual std::size_t watchCount() const = 0;
};

} // namespace g3
