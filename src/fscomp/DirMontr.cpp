#include "fscomp/DirMontr.h"

#include "fscomp/inotifywatch.h"
#include "fscomp/pollingwatch.h"
#include "platform/errors.h"
#include "platform/xdgdirs.h"

#include <QTimer>

#include <algorithm>
#include <climits>
#include <unistd.h>

namespace g3 {

namespace {

std::vector<TDirMonitor*>& activeList() {
    static std::vector<TDirMonitor*> list;
    return list;
}

void removeActive(TDirMonitor* m) {
    auto& list = activeList();
    list.erase(std::remove(list.begin(), list.end(), m), list.end());
}

void enableTimer() {
    QTimer& t = TDirMonitor::SharedTimer();
    if (activeList().empty())
        t.stop();
    else if (!t.isActive())
        t.start();
}

std::uint32_t changesOf(TDirMonitorFilter f) {
    std::uint32_t c = 0;
    if (f & dmfFileName) c |= icFileName;
    if (f & dmfDirName) c |= icDirName;
    if (f & dmfAttributes) c |= icAttributes;
    if (f & dmfSize) c |= icSize;
    if (f & dmfLastWrite) c |= icLastWrite;
    if (f & dmfChangeSecurity) c |= icSecurity;
    return c;
}


// A handler that changes its own folder every time would keep one tick going for ever;
// past this many reports in one tick the rest wait for the next tick.
constexpr int kMaxReportsPerTick = 64;

} // namespace

TDirMonitor::TDirMonitor(QObject* owner)
    : QObject(owner), watch_(std::make_unique<InotifyWatch>()), extender_(new QTimer(this)) {
    // The subfolder watches of a new watch are added in slices between other events, so
    // switching folders never holds up the window for the whole subtree.
    extender_->setInterval(kSliceGapMs);
    // The same slices handle a backlog of events, so a flood of changes is worked off
    // between other events too, never in one go.
    connect(extender_, &QTimer::timeout, this, [this] {
        const auto until = std::chrono::steady_clock::now() + kSliceTime;
        watch_->drain(until);
        watch_->extend(kFoldersPerSlice, until);
        if (!watch_->pending() && !watch_->backlog()) extender_->stop();
    });
}

TDirMonitor::~TDirMonitor() { setActive(false); }

QTimer& TDirMonitor::SharedTimer() {
    static QTimer* timer = [] {
        auto* t = new QTimer; // no owner: lives as long as the module
        t->setInterval(2000);
        QObject::connect(t, &QTimer::timeout, [] { PollMonitors(); });
        return t;
    }();
    return *timer;
}

const std::vector<TDirMonitor*>& TDirMonitor::ActiveMonitors() { return activeList(); }

void TDirMonitor::setActive(bool on) {
    if (on == active_) return;
    active_ = on;
    UpdateWatch();
}

void TDirMonitor::setDirectory(const std::string& dir) {
    if (dir == directory_) return;
    directory_ = dir;
    UpdateWatch();
}

void TDirMonitor::setFilter(TDirMonitorFilter f) {
    if (f == filter_) return;
    filter_ = f;
    UpdateWatch();
}

void TDirMonitor::setIncludeSubDir(bool on) {
    if (on == includeSubDir_) return;
    includeSubDir_ = on;
    UpdateWatch();
}

int TDirMonitor::Interval() const { return SharedTimer().interval(); }

void TDirMonitor::setInterval(int ms) { SharedTimer().setInterval(ms); }

void TDirMonitor::Loaded() { UpdateWatch(); }

void TDirMonitor::closeWatch() {
    extender_->stop();
    removeActive(this);
    watch_->close();
}

bool TDirMonitor::Polling() const { return dynamic_cast<const PollingWatch*>(watch_.get()) != nullptr; }

// The kernel's notifications first; where they cannot start (the per-user limits of
// instances or watches are used up, or the file system has none), the folder is polled.
// A folder that cannot be watched at all leaves the monitor off.
bool TDirMonitor::openWatch(const std::string& dir) {
    const std::uint32_t changes = changesOf(filter_);
    watch_ = std::make_unique<InotifyWatch>();
    if (watch_->open(dir, includeSubDir_, changes, FolderWatch::kDefaultBudget, true)) return true;
    const int why = lastError();
    if (why != EMFILE && why != ENFILE && why != ENOSPC && why != ENOSYS && why != EOPNOTSUPP)
        return false;
    watch_ = std::make_unique<PollingWatch>();
    return watch_->open(dir, includeSubDir_, changes, FolderWatch::kDefaultBudget, true);
}

void TDirMonitor::UpdateWatch() {
    closeWatch();
    gone_ = false;
    nowAt_.clear();
    if (active_) {
        const std::string dir = directory_.empty() ? processFolder() : directory_;
        if (openWatch(dir)) {
            activeList().push_back(this);
            if (watch_->pending()) extender_->start();
        }
        else
            active_ = false; // silently; the owner sees it only in Active
    }
    enableTimer();
}

void TDirMonitor::PollMonitors() {
    // One tick's reading of events is bounded; what is left goes on in the slices.
    const auto until = std::chrono::steady_clock::now() + kPollTime;
    struct SliceWhatIsLeft {
        ~SliceWhatIsLeft() {
            for (TDirMonitor* m : activeList())
                if ((m->watch_->pending() || m->watch_->backlog()) && !m->extender_->isActive())
                    m->extender_->start();
        }
    } sliceWhatIsLeft;
    for (int reports = 0; reports < kMaxReportsPerTick; ++reports) {
        // Built afresh each round: a handler may switch monitors on or off.
        const std::vector<TDirMonitor*> list = activeList();
        TDirMonitor* hit = nullptr;
        for (TDirMonitor* m : list) {
            if (std::find(activeList().begin(), activeList().end(), m) == activeList().end())
                continue;
            InotifyPoll r = m->watch_->poll(until);
            if (r == InotifyPoll::Quiet) continue;
            if (r == InotifyPoll::Gone) {
                // The folder itself went away: the watch can never be re-armed, so the
                // monitor closes and reports this last change once.
                m->gone_ = true;
                m->nowAt_ = m->watch_->folderNowAt();
                m->active_ = false;
                m->closeWatch();
                enableTimer();
            }
            hit = m;
            break;
        }
        if (!hit) return;
        // A copy: the handler may destroy the monitor that raised it.
        if (TNotifyEvent fn = hit->OnChange) fn(hit);
    }
}

} // namespace g3
