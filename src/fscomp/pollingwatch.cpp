#include "fscomp/pollingwatch.h"

#include "platform/errors.h"
#include "platform/handles.h"
#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

namespace g3 {

namespace {

using Stamp = PollingWatch::Stamp;

Stamp stampOf(const struct stat& st) {
    return {st.st_ino, st.st_dev, st.st_size, st.st_mtim, st.st_ctim, st.st_mode};
}

bool sameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The entries of folder by name, each as lstat sees it; false when it cannot be read.
bool entriesOf(const std::string& folder, std::map<std::string, Stamp>& out) {
    out.clear();
    DirHandle dir(::opendir(folder.c_str()));
    if (!dir) return false;
    while (const dirent* e = ::readdir(dir.get())) {
        std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir.get()), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            out.emplace(std::string(name), stampOf(st));
    }
    return true;
}

} // namespace

void PollingWatch::close() {
    open_ = gone_ = changed_ = wholeChange_ = false;
    entries_.clear();
    folders_.clear();
    queue_.clear();
    touched_.clear();
    reported_.clear();
    nowAt_.clear();
    next_ = 0;
}

bool PollingWatch::open(const std::string& folder, bool subtree, std::uint32_t changes,
                        std::size_t budget, bool deferSubtree) {
    close();
    struct stat st {};
    if (!isWatchable(folder, changes, st)) return false;
    if (!entriesOf(folder, entries_)) {
        setLastError(errno);
        return false;
    }
    top_ = folder;
    topStamp_ = stampOf(st);
    subtree_ = subtree;
    changes_ = changes;
    budget_ = std::max<std::size_t>(budget, 1);
    open_ = true;
    if (subtree_) {
        for (const auto& [name, s] : entries_)
            if (S_ISDIR(s.mode) && s.dev == topStamp_.dev) queue_.push_back(joinPath(top_, name));
        if (!deferSubtree) extend(SIZE_MAX);
    }
    return true;
}

bool PollingWatch::extend(std::size_t maxNew, Clock::time_point until) {
    std::map<std::string, Stamp> inside;
    for (std::size_t added = 0; added < maxNew && !queue_.empty() && watchCount() < budget_;) {
        const std::string f = std::move(queue_.front());
        queue_.pop_front();
        struct stat st {};
        if (::lstat(f.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_dev != topStamp_.dev)
            continue;
        folders_.emplace_back(f, stampOf(st));
        if (entriesOf(f, inside))
            for (const auto& [name, s] : inside)
                if (S_ISDIR(s.mode) && s.dev == topStamp_.dev) queue_.push_back(joinPath(f, name));
        if (++added > 0 && Clock::now() >= until) break;
    }
    if (watchCount() >= budget_) queue_.clear();
    return pending();
}

void PollingWatch::noteWhole(std::uint32_t kind) {
    if (!(changes_ & kind)) return;
    changed_ = wholeChange_ = true;
}

// The watched folder's own entries: come, gone, replaced, written or changed in mode.
void PollingWatch::compareTopFolder() {
    std::map<std::string, Stamp> now;
    entriesOf(top_, now);
    auto kindOf = [](const Stamp& s) { return S_ISDIR(s.mode) ? icDirName : icFileName; };
    for (const auto& [name, was] : entries_) {
        auto it = now.find(name);
        if (it == now.end() || it->second.ino != was.ino) {
            noteWhole(kindOf(was));
            continue;
        }
        const Stamp& is = it->second;
        if (S_ISDIR(is.mode)) continue; // its own entries are the subfolders' business
        const bool written = is.size != was.size || !sameTime(is.mtime, was.mtime);
        const bool other = !sameTime(is.ctime, was.ctime) || is.mode != was.mode;
        const std::uint32_t kind = written ? (icSize | icLastWrite) : other ? (icAttributes | icSecurity) : 0;
        if (changes_ & kind) {
            changed_ = true;
            touched_.push_back(joinPath(top_, name));
        }
    }
    for (const auto& [name, is] : now)
        if (!entries_.count(name)) noteWhole(kindOf(is));
    entries_ = std::move(now);
}

// The subfolders by their own times, which change when an entry comes or goes in them;
// from where the last slice stopped.
void PollingWatch::compareSubfolders(Clock::time_point until) {
    for (; next_ < folders_.size(); ++next_) {
        auto& [path, was] = folders_[next_];
        struct stat st {};
        const bool there = ::lstat(path.c_str(), &st) == 0;
        if (!there || st.st_ino != was.ino || !sameTime(st.st_mtim, was.mtime)) {
            noteWhole(icFileName | icDirName);
            if (there) was = stampOf(st);
        }
        if (Clock::now() >= until) {
            ++next_;
            return;
        }
    }
    next_ = 0;
}

void PollingWatch::drain(Clock::time_point until) {
    if (!open_ || gone_) return;
    if (next_ == 0) {
        struct stat st {};
        if (::stat(top_.c_str(), &st) != 0 || st.st_ino != topStamp_.ino || st.st_dev != topStamp_.dev) {
            gone_ = true;
            return;
        }
        compareTopFolder();
    }
    if (subtree_) compareSubfolders(until);
    if (next_ >= folders_.size()) next_ = 0;
}

InotifyPoll PollingWatch::poll(Clock::time_point until) {
    drain(until);
    if (gone_) return InotifyPoll::Gone;
    const bool changed = changed_;
    changed_ = false;
    std::sort(touched_.begin(), touched_.end());
    touched_.erase(std::unique(touched_.begin(), touched_.end()), touched_.end());
    reported_ = wholeChange_ ? std::vector<std::string>{} : touched_;
    touched_.clear();
    wholeChange_ = false;
    return changed ? InotifyPoll::Changed : InotifyPoll::Quiet;
}

} // namespace g3
