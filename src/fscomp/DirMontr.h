// TDirMonitor: watches one folder (optionally its subtree) and raises OnChange in the
// user-interface thread. No thread of its own: all active monitors are polled by one
// shared timer, so any number of changes between two ticks give one OnChange.
#pragma once

#include "fscomp/folderwatch.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTimer;

namespace g3 {

enum TDirMonitorFilterItem : unsigned {
    dmfFileName = 0x01,
    dmfDirName = 0x02,
    dmfAttributes = 0x04,
    dmfSize = 0x08,
    dmfLastWrite = 0x10,
    dmfChangeSecurity = 0x20,
};
using TDirMonitorFilter = unsigned; // a set of TDirMonitorFilterItem bits

class TDirMonitor;
using TNotifyEvent = std::function<void(TDirMonitor* sender)>;

class TDirMonitor : public QObject {
    Q_OBJECT
public:
    explicit TDirMonitor(QObject* owner = nullptr);
    // Switches the monitor off first (leaving ActiveMonitors).
    ~TDirMonitor() override;

    // Each setter stores a different value and reopens the watch (UpdateWatch); an equal
    // value does nothing (Directory compares exact bytes).
    bool Active() const { return active_; }
    void setActive(bool on);
    const std::string& Directory() const { return directory_; }
    void setDirectory(const std::string& dir);
    TDirMonitorFilter Filter() const { return filter_; }
    void setFilter(TDirMonitorFilter f);
    bool IncludeSubDir() const { return includeSubDir_; }
    void setIncludeSubDir(bool on);
    // The shared timer's interval in milliseconds: one value for every monitor.
    int Interval() const;
    void setInterval(int ms);

    // Raised from the poll with the monitor as sender. The watch is re-armed before, so
    // changes made while it runs give another OnChange in the same tick.
    TNotifyEvent OnChange;

    // For the OnChange that reports the watched folder gone (deleted, unmounted, or moved
    // by a rename of it or of a folder above it), after which the monitor has switched
    // itself off: FolderGone is true, and FolderNowAt names where the folder is now when
    // it was renamed or moved within the folders on its path, "" when it was deleted or
    // moved elsewhere. Both are cleared when the watch is set up again.
    bool FolderGone() const { return gone_; }
    const std::string& FolderNowAt() const { return nowAt_; }

    // After configuration: opens the watch when Active.
    void Loaded();

    // One tick of the shared timer; public so tests can drive the poll without waiting.
    static void PollMonitors();
    // The monitors whose watch is open, in the order they were opened.
    static const std::vector<TDirMonitor*>& ActiveMonitors();
    // The shared timer (enabled exactly when ActiveMonitors is not empty).
    static QTimer& SharedTimer();

    // While OnChange runs: the files whose contents or attributes alone changed (full
    // paths, sorted), when nothing else did; empty when the change calls for a whole refresh.
    const std::vector<std::string>& ChangedFiles() const { return watch_->changedFilesOnly(); }

    // True when the watch polls because the kernel's notifications could not start.
    bool Polling() const;

    // Watches the open watch uses (0 when closed).
    std::size_t watchCount() const { return watch_->watchCount(); }
    // True while subfolder watches of the open watch are still being added.
    bool settingUp() const { return watch_->pending(); }

private:
    void UpdateWatch();
    bool openWatch(const std::string& dir);
    void closeWatch();
    static constexpr std::size_t kFoldersPerSlice = 200;
    static constexpr int kSliceGapMs = 2; // the window gets its turn between slices
    static constexpr std::chrono::milliseconds kSliceTime{4}; // a slice stops soon after
    static constexpr std::chrono::milliseconds kPollTime{8};  // a tick's reading likewise

    // The kernel's notifications, or polling where they cannot start.
    std::unique_ptr<FolderWatch> watch_;
    QTimer* extender_;
    bool active_ = false;
    bool includeSubDir_ = false;
    bool gone_ = false;
    std::string nowAt_;
    std::string directory_;
    TDirMonitorFilter filter_ = dmfFileName | dmfAttributes | dmfSize | dmfLastWrite;
};

} // namespace g3
