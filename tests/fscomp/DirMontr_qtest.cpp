// TDirMonitor over inotify: coalescing per tick, the shared timer, opening failures, and a
// watched folder that disappears. The poll is driven directly; nothing waits for the timer.
#include "fscomp/DirMontr.h"
#include "fscomp/inotifywatch.h"
#include "platform/paths.h"
#include "support/unprivileged.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/inotify.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace g3;

namespace {

struct Counter {
    int n = 0;
    TDirMonitor* last = nullptr;
    TNotifyEvent handler() {
        return [this](TDirMonitor* s) {
            ++n;
            last = s;
        };
    }
};

void touchFile(const std::string& path, const char* text = "x") {
    std::ofstream(path) << text;
}

} // namespace

class DirMonitorTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp_;
    std::string root() const { return tmp_->path().toStdString(); }

private slots:
    void init() {
        tmp_ = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp_->isValid());
        QVERIFY(TDirMonitor::ActiveMonitors().empty());
    }

    void tenFilesInOneIntervalGiveOneChange() {
        TDirMonitor m;
        Counter c;
        m.OnChange = c.handler();
        m.setDirectory(root());
        m.setActive(true);
        QVERIFY(m.Active());
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 0);
        for (int i = 0; i < 10; ++i) touchFile(joinPath(root(), "f" + std::to_string(i)));
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 1);
        QCOMPARE(c.last, &m);
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 1);
    }

    void changeInsideHandlerSignalsAgainInSameTick() {
        TDirMonitor m;
        int n = 0;
        m.OnChange = [&](TDirMonitor*) {
            if (++n == 1) touchFile(joinPath(root(), "second"));
        };
        m.setDirectory(root());
        m.setActive(true);
        touchFile(joinPath(root(), "first"));
        TDirMonitor::PollMonitors();
        QCOMPARE(n, 2);
    }

    void sharedIntervalAndTimerFollowActiveMonitors() {
        TDirMonitor a, b;
        a.setInterval(3000);
        QCOMPARE(b.Interval(), 3000);
        QCOMPARE(TDirMonitor::SharedTimer().interval(), 3000);
        QVERIFY(!TDirMonitor::SharedTimer().isActive());
        a.setDirectory(root());
        b.setDirectory(root());
        b.setActive(true);
        a.setActive(true);
        QVERIFY(TDirMonitor::SharedTimer().isActive());
        QCOMPARE(TDirMonitor::ActiveMonitors().size(), size_t(2));
        QCOMPARE(TDirMonitor::ActiveMonitors()[0], &b);
        QCOMPARE(TDirMonitor::ActiveMonitors()[1], &a);
        b.setActive(false);
        QVERIFY(TDirMonitor::SharedTimer().isActive());
        a.setActive(false);
        QVERIFY(!TDirMonitor::SharedTimer().isActive());
    }

    void missingFolderLeavesInactiveSilently() {
        TDirMonitor m;
        Counter c;
        m.OnChange = c.handler();
        m.setDirectory(joinPath(root(), "missing"));
        m.setActive(true);
        QVERIFY(!m.Active());
        QVERIFY(TDirMonitor::ActiveMonitors().empty());
        QVERIFY(!TDirMonitor::SharedTimer().isActive());
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 0);
        // A regular file is no folder to watch either; neither is an empty filter.
        touchFile(joinPath(root(), "plain"));
        m.setDirectory(joinPath(root(), "plain"));
        m.setActive(true);
        QVERIFY(!m.Active());
        m.setDirectory(root());
        m.setFilter(0);
        m.setActive(true);
        QVERIFY(!m.Active());
    }

    void deletedWatchedFolderStopsSignalling() {
        const std::string dir = joinPath(root(), "gone");
        std::filesystem::create_directory(dir);
        TDirMonitor m;
        Counter c;
        m.OnChange = c.handler();
        m.setIncludeSubDir(true);
        m.setDirectory(dir);
        m.setActive(true);
        QVERIFY(m.Active());
        std::filesystem::remove(dir);
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 1); // the disappearance is reported once
        QVERIFY(!m.Active());
        QVERIFY(TDirMonitor::ActiveMonitors().empty());
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 1);
    }

    // The folder watched is followed through renames of it and of the folders above it,
    // and moves into those; a deletion, or a move elsewhere, leaves nowhere to follow. What
    // happens beside it reports nothing.
    void goneFolderIsFollowedWhereItWent() {
        namespace fs = std::filesystem;
        // Each case renames `from` to `to`, removes `from` (no `to`), or writes the file
        // `to` (no `from`), all below the root.
        struct Case {
            const char* what;
            const char* from;
            const char* to;
            const char* nowAt; // below root; nullptr: still watched, "": nowhere
        };
        const Case cases[] = {
            {"renamed", "/a/b/c", "/a/b/c2", "/a/b/c2"},
            {"moved up", "/a/b/c", "/c", "/c"},
            {"parent renamed", "/a/b", "/a/B", "/a/B/c"},
            {"grandparent renamed", "/a", "/A", "/A/b/c"},
            {"moved out of sight", "/a/b/c", "/x/c", ""},
            {"parent moved out of sight", "/a/b", "/x/b", ""},
            {"deleted", "/a/b/c", nullptr, ""},
            {"deleted with its parent", "/a/b", nullptr, ""},
            {"sibling of the parent renamed", "/a/s", "/a/t", nullptr},
            {"file beside the folder", nullptr, "/a/b/f", nullptr},
        };
        for (const Case& c : cases) {
            QTemporaryDir tmp;
            const std::string r = tmp.path().toStdString();
            fs::create_directories(r + "/a/b/c/inner");
            fs::create_directories(r + "/a/s");
            fs::create_directories(r + "/x");
            TDirMonitor m;
            Counter n;
            m.OnChange = n.handler();
            m.setIncludeSubDir(true);
            m.setDirectory(r + "/a/b/c");
            m.setActive(true);
            if (!c.from)
                touchFile(r + c.to);
            else if (!c.to)
                fs::remove_all(r + c.from);
            else
                fs::rename(r + c.from, r + c.to);
            TDirMonitor::PollMonitors();
            if (!c.nowAt) {
                QVERIFY2(n.n == 0 && m.Active() && !m.FolderGone(), c.what);
                continue;
            }
            QVERIFY2(n.n == 1 && !m.Active() && m.FolderGone(), c.what);
            const std::string expected = *c.nowAt ? r + c.nowAt : std::string();
            QVERIFY2(m.FolderNowAt() == expected,
                     (std::string(c.what) + ": " + m.FolderNowAt()).c_str());
            m.setDirectory(r);
            m.setActive(true);
            QVERIFY2(!m.FolderGone() && m.FolderNowAt().empty(), c.what);
        }
    }

    // The folders above are watched for their children leaving, without touching the
    // watches of the folder itself: "/" has nothing above it, and keeps its own events.
    void watchesAboveLeaveTheFoldersOwnWatch() {
        const std::string dir = joinPath(root(), "w");
        std::filesystem::create_directory(dir);
        for (const std::string& folder : {std::string("/"), dir}) {
            InotifyWatch w;
            QVERIFY(w.open(folder, false, icFileName));
            // One line per watch: "inotify wd:N ino:... sdev:... mask:HEX ...".
            std::ifstream info("/proc/self/fdinfo/" + std::to_string(w.fd()));
            std::vector<unsigned> masks;
            for (std::string line; std::getline(info, line);)
                if (line.rfind("inotify wd:", 0) == 0)
                    masks.push_back(std::stoul(line.substr(line.find("mask:") + 5), nullptr, 16));
            const std::size_t above = folder == "/" ? 0 : std::count(dir.begin(), dir.end(), '/');
            QCOMPARE(masks.size(), above + 1);
            QCOMPARE(std::count_if(masks.begin(), masks.end(),
                                   [](unsigned m) { return (m & IN_CREATE) != 0; }),
                     std::ptrdiff_t(1)); // the folder's own watch, with its own events
        }
    }

    void subfoldersWatchedAndNewOnesFollowed() {
        const std::string sub = joinPath(root(), "a");
        std::filesystem::create_directories(joinPath(sub, "b"));
        TDirMonitor m;
        Counter c;
        m.OnChange = c.handler();
        m.setIncludeSubDir(true);
        m.setFilter(dmfFileName | dmfDirName | dmfAttributes | dmfSize | dmfLastWrite);
        m.setDirectory(root());
        m.setActive(true);
        // Only the folder itself is watched at once; the subfolders follow in slices.
        QCOMPARE(m.watchCount(), size_t(1));
        QTRY_VERIFY(!m.settingUp());
        QCOMPARE(m.watchCount(), size_t(3));
        touchFile(joinPath(joinPath(sub, "b"), "deep"));
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 1);
        // A folder made after opening is watched from the next tick on.
        const std::string fresh = joinPath(sub, "new");
        std::filesystem::create_directory(fresh);
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 2);
        touchFile(joinPath(fresh, "x"));
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 3);
        // Without subfolders, a change two levels down is not seen.
        m.setIncludeSubDir(false);
        QCOMPARE(m.watchCount(), size_t(1));
        touchFile(joinPath(fresh, "y"));
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 3);
    }

    void filterDecidesWhatCounts() {
        TDirMonitor m;
        Counter c;
        m.OnChange = c.handler();
        m.setDirectory(root());
        m.setFilter(dmfFileName); // folder names do not count
        m.setActive(true);
        std::filesystem::create_directory(joinPath(root(), "dir"));
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 0);
        touchFile(joinPath(root(), "file"));
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 1);
        // Appending to an existing file is a size change, not a name change.
        touchFile(joinPath(root(), "file"), "longer");
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 1);
        m.setFilter(dmfSize);
        touchFile(joinPath(root(), "file"), "longer still");
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 2);
    }

    void sameDirectoryDoesNotReopen() {
        TDirMonitor m;
        Counter c;
        m.OnChange = c.handler();
        m.setDirectory(root());
        m.setActive(true);
        touchFile(joinPath(root(), "pending"));
        m.setDirectory(root()); // equal: the queued event survives
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 1);
        touchFile(joinPath(root(), "pending2"));
        m.setDirectory(root() + "/"); // different text: reopened, the old queue dropped
        QVERIFY(m.Active());
        TDirMonitor::PollMonitors();
        QCOMPARE(c.n, 1);
    }

    void budgetBoundsWatches() {
        for (int i = 0; i < 30; ++i)
            std::filesystem::create_directory(joinPath(root(), "d" + std::to_string(i)));
        InotifyWatch w;
        QVERIFY(w.open(root(), true, icFileName, 10));
        QCOMPARE(w.watchCount(), size_t(10));
    }

    // The budget goes level by level over the whole tree: every folder of the first level
    // is watched before any folder below it.
    void budgetGoesToTheNearestLevels() {
        for (const char* top : {"a", "b", "c"})
            for (int i = 0; i < 5; ++i)
                std::filesystem::create_directories(joinPath(joinPath(root(), top), "x" + std::to_string(i)));
        InotifyWatch w;
        QVERIFY(w.open(root(), true, icFileName, 4));
        QCOMPARE(w.watchCount(), size_t(4));
        touchFile(joinPath(root(), "a/x0/deep"));
        QCOMPARE(w.poll(), InotifyPoll::Quiet);
        touchFile(joinPath(root(), "c/near"));
        QCOMPARE(w.poll(), InotifyPoll::Changed);
    }

    // A slice whose time is already up still adds one watch, so setting up always ends,
    // and it stops there instead of running to its count.
    void sliceStopsWhenItsTimeIsUp() {
        for (int i = 0; i < 5; ++i)
            std::filesystem::create_directory(joinPath(root(), "d" + std::to_string(i)));
        InotifyWatch w;
        QVERIFY(w.open(root(), true, icFileName, InotifyWatch::kDefaultBudget, true));
        QCOMPARE(w.watchCount(), size_t(1));
        const auto past = std::chrono::steady_clock::now() - std::chrono::seconds(1);
        QVERIFY(w.extend(100, past));
        QCOMPARE(w.watchCount(), size_t(2));
        QVERIFY(!w.extend(100));
        QCOMPARE(w.watchCount(), size_t(6));
    }

    // A folder made while the set-up is still running is watched at once, without the
    // rest of the set-up being done in the same poll.
    void newFolderDuringSetUpIsWatchedAlone() {
        for (int i = 0; i < 5; ++i)
            std::filesystem::create_directory(joinPath(root(), "d" + std::to_string(i)));
        InotifyWatch w;
        QVERIFY(w.open(root(), true, icFileName | icDirName, InotifyWatch::kDefaultBudget, true));
        std::filesystem::create_directory(joinPath(root(), "new"));
        QCOMPARE(w.poll(), InotifyPoll::Changed);
        QCOMPARE(w.watchCount(), size_t(2));
        QVERIFY(w.pending());
        touchFile(joinPath(root(), "new/inside"));
        QCOMPARE(w.poll(), InotifyPoll::Changed);
        QVERIFY(!w.extend(100));
        QCOMPARE(w.watchCount(), size_t(7));
    }

    // A flood is worked off a slice at a time: a poll whose time is up handles what it
    // can and leaves the rest, and later polls catch up with every new folder.
    void aFloodIsHandledInSlices() {
        InotifyWatch w;
        QVERIFY(w.open(root(), true, icFileName | icDirName));
        for (int i = 0; i < 300; ++i) std::filesystem::create_directory(joinPath(root(), "f" + std::to_string(i)));
        const auto past = std::chrono::steady_clock::now() - std::chrono::seconds(1);
        // (The folders above report their own comings and goings too, which count for
        // nothing: the first event handled need not be one of ours.)
        const InotifyPoll first = w.poll(past);
        QVERIFY(w.backlog());
        QVERIFY(w.watchCount() < 301);
        const InotifyPoll rest = w.poll();
        QVERIFY(first == InotifyPoll::Changed || rest == InotifyPoll::Changed);
        QVERIFY(!w.backlog());
        QCOMPARE(w.watchCount(), size_t(301));
        QCOMPARE(w.poll(), InotifyPoll::Quiet);
    }

    // Forgetting a renamed folder takes its watches and those below it, and no other
    // (names that sort between "a" and "a/..." stay watched).
    void aRenamedFolderTakesItsWatchesWithIt() {
        for (const char* f : {"a/x/y", "a-b/z", "a.c", "ab"})
            std::filesystem::create_directories(joinPath(root(), f));
        InotifyWatch w;
        QVERIFY(w.open(root(), true, icDirName));
        QCOMPARE(w.watchCount(), size_t(8));
        std::filesystem::rename(joinPath(root(), "a"), joinPath(root(), "gone"));
        QCOMPARE(w.poll(), InotifyPoll::Changed);
        QCOMPARE(w.watchCount(), size_t(6)); // root, a-b, a-b/z, a.c, ab, and gone anew
        QVERIFY(!w.extend(100));
        QCOMPARE(w.watchCount(), size_t(8)); // gone/x, gone/x/y
    }

    // More events than the kernel keeps: one change, and the watches are set up anew.
    void anOverflowStartsOverWithOneChange() {
        InotifyWatch w;
        QVERIFY(w.open(root(), true, icFileName | icDirName));
        std::filesystem::create_directory(joinPath(root(), "sub"));
        for (int i = 0; i < 17000; ++i) {
            std::FILE* f = std::fopen(joinPath(root(), "sub").append("/").append(std::to_string(i)).c_str(), "w");
            if (f) std::fclose(f);
        }
        QCOMPARE(w.poll(), InotifyPoll::Changed);
        QVERIFY(w.changedFilesOnly().empty());
        while (w.extend(100)) {
        }
        QCOMPARE(w.watchCount(), size_t(2));
        touchFile(joinPath(root(), "sub/after"));
        QCOMPARE(w.poll(), InotifyPoll::Changed);
    }

    // Contents written to files that were there already name those files; a file that
    // comes or goes makes the change a whole one.
    void contentsAloneNameTheirFiles() {
        touchFile(joinPath(root(), "a.txt"));
        touchFile(joinPath(root(), "b.txt"));
        std::filesystem::create_directory(joinPath(root(), "sub"));
        touchFile(joinPath(root(), "sub/c.txt"));
        TDirMonitor m;
        m.setDirectory(root());
        m.setIncludeSubDir(true);
        std::vector<std::vector<std::string>> seen;
        m.OnChange = [&](TDirMonitor* s) { seen.push_back(s->ChangedFiles()); };
        m.setActive(true);
        while (m.settingUp()) QCoreApplication::processEvents();
        touchFile(joinPath(root(), "b.txt"), "more");
        touchFile(joinPath(root(), "sub/c.txt"), "more");
        touchFile(joinPath(root(), "a.txt"), "more");
        TDirMonitor::PollMonitors();
        touchFile(joinPath(root(), "a.txt"), "again");
        touchFile(joinPath(root(), "new.txt"));
        TDirMonitor::PollMonitors();
        QCOMPARE(seen.size(), size_t(2));
        QCOMPARE(seen[0], (std::vector<std::string>{joinPath(root(), "a.txt"), joinPath(root(), "b.txt"),
                                                     joinPath(root(), "sub/c.txt")}));
        QVERIFY(seen[1].empty());
    }

    // With the user's inotify instances used up the monitor still runs: it polls.
    void pollsWhereNotificationsCannotStart() {
        ::chmod(root().c_str(), 0777);
        const std::string file = joinPath(root(), "a.txt");
        auto outcome = g3test::runUnprivileged([&] {
            std::vector<int> held;
            for (int fd; (fd = ::inotify_init1(IN_CLOEXEC)) >= 0;) held.push_back(fd);
            TDirMonitor m;
            Counter c;
            m.OnChange = c.handler();
            m.setDirectory(root());
            m.setActive(true);
            if (!m.Active() || !m.Polling()) return false;
            touchFile(file);
            TDirMonitor::PollMonitors();
            return c.n == 1;
        });
        if (outcome == g3test::Unprivileged::NotPossible) QSKIP("cannot drop privileges");
        QCOMPARE(outcome, g3test::Unprivileged::Passed);
    }

    void cleanup() { tmp_.reset(); }
};

QTEST_GUILESS_MAIN(DirMonitorTest)
#include "DirMontr_qtest.moc"
