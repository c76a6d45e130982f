#include "fscomp/inotifywatch.h"

#include "platform/errors.h"
#include "platform/paths.h"

#include <cerrno>
#include <climits>
#include <deque>
#include <dirent.h>
#include <iterator>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include <thread>
#include <vector>

namespace g3 {

namespace {

constexpr std::uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr std::uint32_t kGoneEvents = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;
// What a folder above the watched one reports: its children leaving by a move or deletion,
// and arriving by a move.
constexpr std::uint32_t kAboveEvents = IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

// The inotify events that can carry each kind of change. Setting times (touch) arrives as
// IN_ATTRIB, so the last-write kind listens to it as well.
std::uint32_t maskFor(std::uint32_t changes) {
    std::uint32_t m = 0;
    if (changes & (icFileName | icDirName)) m |= kNameEvents;
    if (changes & (icAttributes | icSecurity | icLastWrite)) m |= IN_ATTRIB;
    if (changes & (icSize | icLastWrite)) m |= IN_MODIFY;
    return m;
}

} // namespace

InotifyWatch::~InotifyWatch() { close(); }

void InotifyWatch::close() {
    // Closing an inotify instance waits for the kernel to retire its watches, at times for
    // tens of milliseconds: a thread of its own waits instead of the window.
    if (fd_) std::thread([fd = fd_.release()] { ::close(fd); }).detach();
    topWd_ = -1;
    paths_.clear();
    wds_.clear();
    above_.clear();
    moved_.clear();
    movedCookie_ = 0;
    nowAt_.clear();
    queue_.clear();
    unread_.clear();
    reading_.reset();
    pos_ = end_ = 0;
    lastReadFull_ = changed_ = gone_ = wholeChange_ = false;
    touched_.clear();
    reported_.clear();
}

bool InotifyWatch::open(const std::string& folder, bool subtree, std::uint32_t changes,
                        std::size_t budget, bool deferSubtree) {
    close();
    struct stat st {};
    if (!isWatchable(folder, changes, st)) return false;
    fd_.reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!fd_) {
        setLastError(errno);
        return false;
    }
    subtree_ = subtree;
    changes_ = changes;
    budget_ = budget < 1 ? 1 : budget;
    device_ = st.st_dev;
    // Subfolder watches also need the name events to follow folders that come and go.
    mask_ = maskFor(changes) | (subtree ? kNameEvents : 0) | IN_ONLYDIR | IN_EXCL_UNLINK;
    topWd_ = ::inotify_add_watch(fd_.get(), folder.c_str(), mask_ | IN_DELETE_SELF | IN_MOVE_SELF);
    if (topWd_ < 0) {
        int err = errno;
        close();
        setLastError(err);
        return false;
    }
    paths_[topWd_] = folder;
    wds_[folder] = topWd_;
    top_ = folder;
    watchAbove();
    if (subtree_) {
        readTopFolder();
        if (!deferSubtree) extend(SIZE_MAX);
    }
    return true;
}

// A rename of a folder above the watched one moves the watched folder too, and its own
// watch does not see that. The folders above report it as a child that leaves: a move out
// (paired by its cookie with the move in, when that lands on the same path) or a deletion.
// No descriptor of the folder is held: it would keep its volume from being unmounted and
// hold back the kernel's report of its deletion.
// A folder that is watched already (the root above itself, a folder bound below itself)
// keeps its watch: IN_MASK_ADD adds to a watch where a new mask would replace it.
void InotifyWatch::watchAbove() {
    for (std::string p = top_; p != "/";) {
        p = parentFolder(p);
        if (p.empty()) break;
        const int wd = ::inotify_add_watch(fd_.get(), p.c_str(), kAboveEvents | IN_MASK_ADD);
        if (wd >= 0 && !paths_.count(wd)) above_[wd] = p;
    }
}

InotifyPoll InotifyWatch::handleAbove(const std::string& folder, const inotify_event& ev) {
    if (ev.len == 0 || ev.name[0] == '\0' || !(ev.mask & (IN_DELETE | IN_MOVED_FROM)))
        return InotifyPoll::Quiet;
    const std::string child = joinPath(folder, ev.name);
    if (!isSameOrInside(top_, child)) return InotifyPoll::Quiet; // not on the way down
    gone_ = true;
    if (ev.mask & IN_MOVED_FROM) {
        moved_ = child;
        movedCookie_ = ev.cookie;
    }
    return InotifyPoll::Gone;
}

// The other half of the move that took the folder away, when it lands in a folder above.
void InotifyWatch::findMoveTarget(const inotify_event& ev) {
    if (!movedCookie_ || !(ev.mask & IN_MOVED_TO) || ev.cookie != movedCookie_ || ev.len == 0)
        return;
    auto it = above_.find(ev.wd);
    if (it == above_.end()) return;
    nowAt_ = joinPath(it->second, ev.name) + top_.substr(moved_.size());
    movedCookie_ = 0;
}

bool InotifyWatch::addOne(const std::string& folder) {
    if (paths_.size() >= budget_) return false;
    int wd = ::inotify_add_watch(fd_.get(), folder.c_str(), mask_ | IN_DONT_FOLLOW);
    if (wd < 0) return false;
    // The kernel hands out the descriptor of an existing watch again for the same folder.
    auto old = paths_.find(wd);
    if (old != paths_.end()) wds_.erase(old->second);
    paths_[wd] = folder;
    wds_[folder] = wd;
    return true;
}

void InotifyWatch::forget(int wd) {
    auto it = paths_.find(wd);
    if (it == paths_.end()) return;
    wds_.erase(it->second);
    paths_.erase(it);
}

// Breadth first over the whole tree, so the budget goes to the levels nearest the watched
// folder. A folder's subfolders are read only while the queue holds fewer candidates than
// the budget has room for; the others wait in unread_, in the same order, and are read
// only when the queue runs dry (some candidates could not be watched). A folder with very
// many entries is read over several slices.
bool InotifyWatch::extend(std::size_t maxNew, Clock::time_point until) {
    std::size_t added = 0;
    while (added < maxNew && paths_.size() < budget_) {
        if (reading_) {
            if (!readSubfolders(added > 0 ? until : Clock::time_point::max())) break;
            continue;
        }
        if (added > 0 && Clock::now() >= until) break;
        if (queue_.empty()) {
            if (unread_.empty()) break;
            startReading(unread_.front());
            unread_.pop_front();
            continue;
        }
        std::string f = std::move(queue_.front());
        queue_.pop_front();
        if (!addOne(f)) continue;
        ++added;
        if (unread_.empty() && paths_.size() + queue_.size() < budget_)
            startReading(f);
        else
            unread_.push_back(std::move(f));
    }
    if (paths_.size() >= budget_) {
        queue_.clear();
        unread_.clear();
        reading_.reset();
    }
    return pending();
}

// The watched folder's own subfolders are read at once: an open folder would hold back
// the kernel's report of its deletion, which tells the owner it is gone.
void InotifyWatch::readTopFolder() {
    startReading(top_);
    if (reading_) readSubfolders(Clock::time_point::max());
}

void InotifyWatch::startReading(const std::string& folder) {
    reading_.reset(::opendir(folder.c_str()));
    readingPath_ = folder;
}

// Subfolders on the same file system, links not followed, go to the queue until the end
// of the folder (true) or until the clock passes until (false: the rest another time).
bool InotifyWatch::readSubfolders(Clock::time_point until) {
    for (int n = 1;; ++n) {
        const dirent* e = ::readdir(reading_.get());
        if (!e) {
            reading_.reset();
            return true;
        }
        std::string_view name = e->d_name;
        if (name == "." || name == ".." || (e->d_type != DT_DIR && e->d_type != DT_UNKNOWN))
            continue;
        struct stat st{};
        if (::fstatat(::dirfd(reading_.get()), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISDIR(st.st_mode) && st.st_dev == device_)
            queue_.push_back(joinPath(readingPath_, name));
        if (n % 16 == 0 && Clock::now() >= until) return false;
    }
}

// A folder renamed or moved away: its watches and those below it would carry stale paths.
// They are the folder itself and the range of paths that begin with it and "/".
void InotifyWatch::forgetBelow(const std::string& folder) {
    auto drop = [this](std::map<std::string, int>::iterator it) {
        if (it->second == topWd_) return std::next(it);
        ::inotify_rm_watch(fd_.get(), it->second);
        paths_.erase(it->second);
        return wds_.erase(it);
    };
    if (auto it = wds_.find(folder); it != wds_.end()) drop(it);
    if (reading_ && isSameOrInside(readingPath_, folder)) reading_.reset(); // let it go
    const std::string from = folder + '/', to = folder + char('/' + 1);
    for (auto it = wds_.lower_bound(from); it != wds_.end() && it->first < to;) it = drop(it);
}

// The kernel dropped events: which folders came and went is unknown, so the subfolder
// watches are set up anew from the folder itself, a slice at a time.
void InotifyWatch::startOver() {
    for (auto it = paths_.begin(); it != paths_.end();) {
        if (it->first == topWd_) {
            ++it;
            continue;
        }
        ::inotify_rm_watch(fd_.get(), it->first);
        wds_.erase(it->second);
        it = paths_.erase(it);
    }
    queue_.clear();
    unread_.clear();
    reading_.reset();
    readTopFolder();
    pos_ = end_ = 0;
    changed_ = wholeChange_ = true;
}

bool InotifyWatch::counts(std::uint32_t mask) const {
    if (mask & kNameEvents) return changes_ & ((mask & IN_ISDIR) ? icDirName : icFileName);
    if (mask & IN_ATTRIB) return changes_ & (icAttributes | icSecurity | icLastWrite);
    if (mask & IN_MODIFY) return changes_ & (icSize | icLastWrite);
    return false;
}

InotifyPoll InotifyWatch::handle(const inotify_event& ev) {
    if (gone_) {
        findMoveTarget(ev); // the rest of the queue no longer counts
        return InotifyPoll::Quiet;
    }
    if (ev.wd == topWd_ && (ev.mask & kGoneEvents)) {
        gone_ = true;
        return InotifyPoll::Gone;
    }
    if (auto a = above_.find(ev.wd); a != above_.end()) return handleAbove(a->second, ev);
    auto it = paths_.find(ev.wd);
    if (it == paths_.end()) return InotifyPoll::Quiet;
    if (ev.mask & IN_IGNORED) {
        forget(ev.wd);
        return InotifyPoll::Quiet;
    }
    // Events about a watched folder itself (no name) are also reported, with the name, by
    // the watch of its parent; counting only named events counts each change once.
    if (ev.len == 0 || ev.name[0] == '\0') return InotifyPoll::Quiet;
    if (subtree_ && (ev.mask & IN_ISDIR)) {
        std::string child = joinPath(it->second, ev.name);
        if (ev.mask & (IN_MOVED_FROM | IN_DELETE)) forgetBelow(child);
        if (ev.mask & (IN_CREATE | IN_MOVED_TO)) {
            // Watched now, so that what is made in it next is seen; what it already holds
            // (a folder moved in whole) is added by the slices of extend().
            struct stat st{};
            if (::lstat(child.c_str(), &st) == 0 && st.st_dev == device_ && addOne(child))
                unread_.push_back(std::move(child));
        }
    }
    if (!counts(ev.mask)) return InotifyPoll::Quiet;
    noteWhatChanged(it->second, ev);
    return InotifyPoll::Changed;
}

// A file whose contents or attributes changed is remembered by name; anything else (an
// entry that came, went or was renamed, a folder's attributes, too many files) makes the
// change a whole one.
void InotifyWatch::noteWhatChanged(const std::string& folder, const inotify_event& ev) {
    constexpr std::size_t kMostFiles = 256;
    if (wholeChange_) return;
    if ((ev.mask & (kNameEvents | IN_ISDIR)) || touched_.size() >= kMostFiles) {
        wholeChange_ = true;
        touched_.clear();
        return;
    }
    touched_.insert(joinPath(folder, ev.name));
}

bool InotifyWatch::readMore() {
    if (buffer_.empty()) buffer_.resize(64 * 1024);
    ssize_t n = ::read(fd_.get(), buffer_.data(), buffer_.size());
    pos_ = 0;
    end_ = n > 0 ? static_cast<std::size_t>(n) : 0;
    // A full buffer says more may be waiting in the kernel.
    lastReadFull_ = n > 0 && buffer_.size() - end_ < sizeof(inotify_event) + NAME_MAX + 1;
    return end_ > 0;
}

// A folder that went away is reported once the queue is read: a rename queues the move
// out, the move in and the folder's own report together, and the move in tells where the
// folder went.
void InotifyWatch::drain(Clock::time_point until) {
    if (!fd_) return;
    for (;;) {
        if (pos_ == end_ && !readMore()) return;
        while (pos_ < end_) {
            // The kernel aligns each event in the buffer (whose storage is aligned).
            const auto& ev = *reinterpret_cast<const inotify_event*>(buffer_.data() + pos_);
            pos_ += sizeof ev + ev.len;
            if ((ev.mask & IN_Q_OVERFLOW) && !gone_) {
                startOver();
                return;
            }
            if (handle(ev) == InotifyPoll::Changed) changed_ = true;
            // Once the folder is gone only the other half of its move is looked for: the
            // rest of the queue is read whatever the clock says, which is quick.
            if (!gone_ && Clock::now() >= until) return;
        }
    }
}

InotifyPoll InotifyWatch::poll(Clock::time_point until) {
    drain(until);
    if (gone_) return InotifyPoll::Gone;
    const bool changed = changed_;
    changed_ = false;
    reported_.assign(touched_.begin(), touched_.end());
    if (wholeChange_) reported_.clear();
    touched_.clear();
    wholeChange_ = false;
    return changed ? InotifyPoll::Changed : InotifyPoll::Quiet;
}

} // namespace g3
