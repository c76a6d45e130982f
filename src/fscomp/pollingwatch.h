// The polling backend of the directory monitor, for when the kernel's notifications cannot
// start (the per-user limit of instances or watches is used up, or a file system without
// them): each poll compares the folder with the picture of it taken before.
//
// It sees every change of the folder's own entries (come, gone, renamed, written, mode)
// and, for a subtree, every entry that comes or goes in the subfolders it looks at (by
// their own times); it does not see contents written inside subfolders. The subfolders
// are looked at a slice at a time, so one poll never holds up the caller for long.
#pragma once

#include "fscomp/folderwatch.h"

#include <sys/types.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace g3 {

class PollingWatch final : public FolderWatch {
public:
    bool open(const std::string& folder, bool subtree, std::uint32_t changes,
              std::size_t budget = kDefaultBudget, bool deferSubtree = false) override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool extend(std::size_t maxNew, Clock::time_point until = Clock::time_point::max()) override;
    bool pending() const override { return !queue_.empty(); }
    InotifyPoll poll(Clock::time_point until = Clock::time_point::max()) override;
    void drain(Clock::time_point until) override;
    // A sweep over the subfolders is under way.
    bool backlog() const override { return next_ != 0; }
    const std::string& folderNowAt() const override { return nowAt_; }
    const std::vector<std::string>& changedFilesOnly() const override { return reported_; }
    std::size_t watchCount() const override { return 1 + folders_.size(); }

    // What is compared of an entry.
    struct Stamp {
        ino_t ino = 0;
        dev_t dev = 0;
        off_t size = 0;
        struct timespec mtime {}, ctime {};
        mode_t mode = 0;
    };

private:
    void noteWhole(std::uint32_t kind);
    void compareTopFolder();
    void compareSubfolders(Clock::time_point until);

    bool open_ = false, subtree_ = false, gone_ = false;
    std::uint32_t changes_ = 0;
    std::size_t budget_ = kDefaultBudget;
    std::string top_, nowAt_;
    Stamp topStamp_;
    std::map<std::string, Stamp> entries_;    // the top folder's entries by name
    std::vector<std::pair<std::string, Stamp>> folders_; // subfolders looked at
    std::deque<std::string> queue_;            // subfolders still to be added
    std::size_t next_ = 0;                     // where the sweep over folders_ goes on
    bool changed_ = false, wholeChange_ = false;
    std::vector<std::string> touched_, reported_;
};

} // namespace g3
