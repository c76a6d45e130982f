#include "fscomp/inotifywatch.h"

#include "platform/errors.h"
#include "platform/paths.h"

#include <cerrno>
#include <deque>
#include <dirent.h>
#include <iterator>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
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

// Subfolders of folder that lie on the same file system, links not followed.
void subfolders(const std::string& folder, std::uint64_t device, std::vector<std::string>& out) {
    DIR* d = ::opendir(folder.c_str());
    if (!d) return;
    struct Closer {
        DIR* d;
        ~Closer() { ::closedir(d); }
    } closer{d};
    while (dirent* e = ::readdir(d)) {
        std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        if (e->d_type != DT_DIR && e->d_type != DT_UNKNOWN) continue;
        struct stat st{};
        if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISDIR(st.st_mode) || st.st_dev != device) continue;
        out.push_back(joinPath(folder, name));
    }
}

} // namespace

InotifyWatch::~InotifyWatch() { close(); }

void InotifyWatch::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    topWd_ = -1;
    paths_.clear();
    above_.clear();
    top_.clear();
    gone_ = false;
    moved_.clear();
    movedCookie_ = 0;
    nowAt_.clear();
    queue_.clear();
    unread_.clear();
}

bool InotifyWatch::open(const std::string& folder, bool subtree, std::uint32_t changes,
                        std::size_t budget, bool deferSubtree) {
    close();
    struct stat st{};
    if (changes == 0) {
        setLastError(EINVAL);
        return false;
    }
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        setLastError(errno ? errno : ENOTDIR);
        return false;
    }
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        setLastError(errno);
        return false;
    }
    subtree_ = subtree;
    changes_ = changes;
    budget_ = budget < 1 ? 1 : budget;
    device_ = st.st_dev;
    // Subfolder watches also need the name events to follow folders that come and go.
    mask_ = maskFor(changes) | (subtree ? kNameEvents : 0) | IN_ONLYDIR | IN_EXCL_UNLINK;
    topWd_ = ::inotify_add_watch(fd_, folder.c_str(), mask_ | IN_DELETE_SELF | IN_MOVE_SELF);
    if (topWd_ < 0) {
        int err = errno;
        close();
        setLastError(err);
        return false;
    }
    paths_[topWd_] = folder;
    top_ = folder;
    watchAbove();
    if (subtree_) {
        std::vector<std::string> first;
        subfolders(folder, device_, first);
        queue_.assign(std::make_move_iterator(first.begin()), std::make_move_iterator(first.end()));
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
        const int wd = ::inotify_add_watch(fd_, p.c_str(), kAboveEvents | IN_MASK_ADD);
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
    int wd = ::inotify_add_watch(fd_, folder.c_str(), mask_ | IN_DONT_FOLLOW);
    if (wd < 0) return false;
    paths_[wd] = folder;
    return true;
}

// Breadth first over the whole tree, so the budget goes to the levels nearest the watched
// folder. A folder's subfolders are read only while the queue holds fewer candidates than
// the budget has room for; the others wait in unread_, in the same order, and are read
// only when the queue runs dry (some candidates could not be watched).
bool InotifyWatch::extend(std::size_t maxNew, std::chrono::steady_clock::time_point until) {
    std::vector<std::string> children;
    auto readChildren = [&](const std::string& f) {
        children.clear();
        subfolders(f, device_, children);
        for (auto& c : children) queue_.push_back(std::move(c));
    };
    auto timeIsUp = [until](std::size_t added) {
        return added > 0 && std::chrono::steady_clock::now() >= until;
    };
    for (std::size_t added = 0; added < maxNew && paths_.size() < budget_ && !timeIsUp(added);) {
        if (queue_.empty()) {
            if (unread_.empty()) break;
            readChildren(unread_.front());
            unread_.pop_front();
            continue;
        }
        std::string f = std::move(queue_.front());
        queue_.pop_front();
        if (!addOne(f)) continue;
        ++added;
        if (unread_.empty() && paths_.size() + queue_.size() < budget_)
            readChildren(f);
        else
            unread_.push_back(std::move(f));
    }
    if (paths_.size() >= budget_) {
        queue_.clear();
        unread_.clear();
    }
    return pending();
}

// A folder renamed or moved away: its watches and those below it would carry stale paths.
void InotifyWatch::forgetBelow(const std::string& folder) {
    for (auto it = paths_.begin(); it != paths_.end();) {
        if (it->first != topWd_ && isSameOrInside(it->second, folder)) {
            ::inotify_rm_watch(fd_, it->first);
            it = paths_.erase(it);
        } else {
            ++it;
        }
    }
}

bool InotifyWatch::counts(std::uint32_t mask) const {
    if (mask & kNameEvents) return changes_ & ((mask & IN_ISDIR) ? icDirName : icFileName);
    if (mask & IN_ATTRIB) return changes_ & (icAttributes | icSecurity | icLastWrite);
    if (mask & IN_MODIFY) return changes_ & (icSize | icLastWrite);
    return false;
}

InotifyPoll InotifyWatch::handle(const inotify_event& ev) {
    if (ev.mask & IN_Q_OVERFLOW) return InotifyPoll::Changed;
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
        paths_.erase(it);
        return InotifyPoll::Quiet;
    }
    // Events about a watched folder itself (no name) are also reported, with the name, by
    // the watch of its parent; counting only named events counts each change once.
    if (ev.len == 0 || ev.name[0] == '\0') return InotifyPoll::Quiet;
    if (subtree_ && (ev.mask & IN_ISDIR)) {
        std::string child = joinPath(it->second, ev.name);
        if (ev.mask & (IN_MOVED_FROM | IN_DELETE)) forgetBelow(child);
        if (ev.mask & (IN_CREATE | IN_MOVED_TO)) {
            struct stat st{};
            if (::lstat(child.c_str(), &st) == 0 && st.st_dev == device_) {
                if (pending()) {
                    // While the set-up is still adding watches in slices, the new folder
                    // goes first in line and is watched now; the rest keep their slices.
                    queue_.push_front(std::move(child));
                    extend(1);
                } else {
                    queue_.push_back(std::move(child));
                    extend(SIZE_MAX);
                }
            }
        }
    }
    return counts(ev.mask) ? InotifyPoll::Changed : InotifyPoll::Quiet;
}

// A folder that went away is reported once the whole queue is read: a rename queues the
// move out, the move in and the folder's own report together, and the move in tells where
// the folder went.
InotifyPoll InotifyWatch::poll() {
    if (fd_ < 0) return InotifyPoll::Quiet;
    alignas(inotify_event) char buf[16384];
    InotifyPoll result = InotifyPoll::Quiet;
    for (;;) {
        ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n <= 0) break; // EAGAIN: the queue is empty
        for (ssize_t off = 0; off < n;) {
            const auto* ev = reinterpret_cast<const inotify_event*>(buf + off);
            off += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
            if (handle(*ev) == InotifyPoll::Changed) result = InotifyPoll::Changed;
        }
    }
    return gone_ ? InotifyPoll::Gone : result;
}

} // namespace g3
