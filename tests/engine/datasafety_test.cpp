// Every way the program copies or moves dropped files, run over the same hostile trees.
// Each case builds its tree, drops a list into dst and then checks, by contents, the files
// that must come through unchanged and how many failures the run must report: nothing may
// be lost, written outside the destination or skipped in silence.
#include "engine/copyworker.h"
#include "platform/fileops.h"
#include "platform/paths.h"
#include "scripted_host.h"
#include "support/unprivileged.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <deque>
#include <functional>

using namespace g3;
using namespace g3test;

namespace {

struct Way {
    const char* name;
    int kind;
    std::deque<int> answers = {}; // same-name answers of the asking kinds
    bool copies() const { return policyOfKind(kind).op == opCopy; }
    bool newerOnly() const { return kind == okCopyNewer || kind == okMoveNewer; }
    bool shell() const { return policyOfKind(kind).run == RunKind::Shell; }
};

const Way kWays[] = {
    {"copy newer", okCopyNewer},     {"copy overwrite", okCopyOverwrite},
    {"move newer", okMoveNewer},     {"move overwrite", okMoveOverwrite},
    {"ask copy, yes", okAskCopy, {1}}, {"ask move, yes to all", okAskMove, {4}},
    {"shell copy", okShellCopy},     {"shell move", okShellMove},
};

struct DropRun {
    TempDir t;
    std::string src = t.mkdir("src");
    std::string dst = t.mkdir("dst");
    ScriptedHost host;
    TCopyEngine engine{host};
    bool accepted = false;

    // Failures the run reported: error entries, the shell operation's errors, refusals.
    std::size_t failures() const {
        return host.errors.size() + host.shellErrors.size() + host.refusals.size();
    }
    void drop(const Way& w, const std::vector<std::string>& files) {
        host.answers = w.answers;
        host.replaceAnswers = {ReplaceAnswer::YesToAll};
        engine.OpKind = w.kind;
        accepted = engine.copinew(files, dst);
    }
};

// A case: builds its tree in the run and gives the list to drop, then checks the outcome.
struct Case {
    const char* name;
    std::function<std::vector<std::string>(DropRun&)> build;
    std::function<void(DropRun&, const Way&)> check;
};

void runCase(const Case& c, const Way& w) {
    SCOPED_TRACE(std::string(c.name) + " / " + w.name);
    DropRun r;
    r.drop(w, c.build(r));
    c.check(r, w);
}

bool isRegularWith(const std::string& path, const std::string& contents) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && readFile(path) == contents;
}

std::int64_t year(int y) { return localTime(y, 6, 1, 12, 0, 0); }

// A chain of folders below base whose path passes PATH_MAX, with a file at the bottom;
// make it, or read that file ("" when it is not there).
constexpr int kDeepLevels = 25;
void makeDeepTree(const std::string& base) {
    const std::string part(200, 'd');
    int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < kDeepLevels; ++i) {
        ::mkdirat(fd, part.c_str(), 0755);
        int sub = ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = sub;
    }
    int leaf = ::openat(fd, "leaf.txt", O_CREAT | O_WRONLY, 0644);
    (void)!::write(leaf, "deep", 4);
    ::close(leaf);
    ::close(fd);
}
std::string readDeepLeaf(const std::string& base) {
    const std::string part(200, 'd');
    int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < kDeepLevels && fd >= 0; ++i) {
        int sub = ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = sub;
    }
    if (fd < 0) return {};
    int leaf = ::openat(fd, "leaf.txt", O_RDONLY);
    ::close(fd);
    char buf[16] = {};
    ssize_t n = leaf >= 0 ? ::read(leaf, buf, sizeof buf) : 0;
    if (leaf >= 0) ::close(leaf);
    return std::string(buf, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
}

const Case kCases[] = {
    {"a link dropped onto its own target",
     [](DropRun& r) {
         setMtime(r.t.write("dst/t.txt", "precious"), year(2020));
         ::symlink((r.dst + "/t.txt").c_str(), (r.src + "/t.txt").c_str());
         return std::vector<std::string>{r.src + "/t.txt"};
     },
     [](DropRun& r, const Way& w) {
         EXPECT_TRUE(isRegularWith(r.dst + "/t.txt", "precious"));
         EXPECT_TRUE(exists(r.src + "/t.txt"));
         EXPECT_EQ(r.failures(), w.newerOnly() ? 0u : 1u); // of equal age: not newer
     }},
    {"a link dropped onto a read-only file",
     [](DropRun& r) {
         std::string ro = r.t.write("dst/r.txt", "old");
         setMtime(ro, year(2000));
         ::chmod(ro.c_str(), 0444);
         setMtime(r.t.write("src/target", "new"), year(2020));
         ::symlink("target", (r.src + "/r.txt").c_str());
         return std::vector<std::string>{r.src + "/r.txt"};
     },
     [](DropRun& r, const Way&) {
         EXPECT_TRUE(isRegularWith(r.dst + "/r.txt", "old"));
         EXPECT_TRUE(exists(r.src + "/r.txt"));
         EXPECT_EQ(r.failures(), 1u);
     }},
    {"a file dropped onto a read-only file",
     [](DropRun& r) {
         std::string ro = r.t.write("dst/r.txt", "old");
         setMtime(ro, year(2000));
         ::chmod(ro.c_str(), 0444);
         std::string f = r.t.write("src/r.txt", "new");
         setMtime(f, year(2020));
         return std::vector<std::string>{f};
     },
     [](DropRun& r, const Way&) {
         EXPECT_TRUE(isRegularWith(r.dst + "/r.txt", "old"));
         EXPECT_TRUE(isRegularWith(r.src + "/r.txt", "new"));
         EXPECT_EQ(r.failures(), 1u);
     }},
    {"a destination folder that is a link",
     [](DropRun& r) {
         r.t.write("src/D/a.txt", "a");
         ::symlink(r.t.mkdir("outside").c_str(), (r.dst + "/D").c_str());
         return std::vector<std::string>{r.src + "/D"};
     },
     [](DropRun& r, const Way&) {
         EXPECT_FALSE(exists(r.t.path("outside/a.txt"))) << "written through the link";
         EXPECT_TRUE(isRegularWith(r.src + "/D/a.txt", "a"));
         EXPECT_EQ(r.failures(), 1u);
     }},
    {"a folder holding only a FIFO",
     [](DropRun& r) {
         r.t.mkdir("src/F");
         ::mkfifo((r.src + "/F/pipe").c_str(), 0644);
         return std::vector<std::string>{r.src + "/F"};
     },
     [](DropRun& r, const Way& w) {
         // The shell operation reproduces folders, and its move renames one whole; the
         // others make only folders that receive files.
         const bool renamedWhole = w.kind == okShellMove;
         EXPECT_EQ(exists(r.dst + "/F"), w.shell());
         EXPECT_EQ(exists(r.dst + "/F/pipe"), renamedWhole);
         EXPECT_EQ(r.failures(), renamedWhole ? 0u : 1u);
     }},
    {"paths ending in /. and /..",
     [](DropRun& r) {
         r.t.write("src/D/a.txt", "a");
         r.t.mkdir("src/D/sub");
         r.t.write("src/b.txt", "b");
         return std::vector<std::string>{r.src + "/D/sub/..", r.src + "/./b.txt/."};
     },
     [](DropRun& r, const Way&) {
         EXPECT_TRUE(isRegularWith(r.dst + "/D/a.txt", "a"));
         EXPECT_TRUE(isRegularWith(r.dst + "/b.txt", "b"));
         EXPECT_FALSE(exists(r.t.path("a.txt"))) << "landed beside the destination";
         EXPECT_FALSE(exists(r.t.path("b.txt"))) << "landed beside the destination";
         EXPECT_EQ(r.failures(), 0u);
     }},
    {"hard links inside a dropped folder",
     [](DropRun& r) {
         std::string a = r.t.write("src/H/a", "shared");
         ::link(a.c_str(), (r.src + "/H/b").c_str());
         return std::vector<std::string>{r.src + "/H"};
     },
     [](DropRun& r, const Way&) {
         struct stat a {}, b {};
         ASSERT_EQ(::stat((r.dst + "/H/a").c_str(), &a), 0);
         ASSERT_EQ(::stat((r.dst + "/H/b").c_str(), &b), 0);
         EXPECT_EQ(a.st_ino, b.st_ino);
         EXPECT_EQ(readFile(r.dst + "/H/b"), "shared");
         EXPECT_EQ(r.failures(), 0u);
     }},
    {"a path longer than PATH_MAX",
     [](DropRun& r) {
         r.t.write("src/Deep/top.txt", "top");
         makeDeepTree(r.src + "/Deep");
         return std::vector<std::string>{r.src + "/Deep"};
     },
     [](DropRun& r, const Way& w) {
         EXPECT_TRUE(isRegularWith(r.dst + "/Deep/top.txt", "top"));
         bool arrived = readDeepLeaf(r.dst + "/Deep") == "deep";
         EXPECT_TRUE(arrived || r.failures() >= 1u) << "the deep file was skipped in silence";
         EXPECT_TRUE(arrived || readDeepLeaf(r.src + "/Deep") == "deep") << "lost";
         if (w.shell() && !arrived) {
             EXPECT_NE(r.host.shellResult, 0);
         }
     }},
};

} // namespace

TEST(DataSafety, EveryWayOverEveryHostileTree) {
    for (const auto& c : kCases) {
        for (const auto& w : kWays) runCase(c, w);
    }
}

// "Newer" compares real times at the two-second resolution over every date; a file from
// before 1980 or after 2107 is a same-name case like any other.
TEST(DataSafety, NewerHoldsAtTheEdgesOfDosTime) {
    struct Edge {
        int srcYear, dstYear;
        bool replaced;
    } edges[] = {{2050, 2000, true}, {2000, 2050, false}, {2044, 2043, true},
                 {2043, 2044, false}, {1979, 1970, true}, {1970, 1979, false},
                 {2108, 2107, true},  {2107, 2108, false}, {2000, 1975, true}};
    for (int kind : {okCopyNewer, okMoveNewer}) {
        for (const auto& e : edges) {
            SCOPED_TRACE(std::to_string(kind) + ": " + std::to_string(e.srcYear) + " onto " +
                         std::to_string(e.dstYear));
            DropRun r;
            std::string f = r.t.write("src/a.txt", "new");
            setMtime(f, year(e.srcYear));
            setMtime(r.t.write("dst/a.txt", "old"), year(e.dstYear));
            r.drop({"", kind}, {f});
            EXPECT_EQ(readFile(r.dst + "/a.txt"), e.replaced ? "new" : "old");
            EXPECT_EQ(exists(f), kind == okCopyNewer || !e.replaced);
            EXPECT_EQ(r.failures(), 0u);
        }
    }
    for (int dstYear : {1975, 2110}) {
        DropRun r;
        std::string f = r.t.write("src/a.txt", "new");
        r.t.write("dst/a.txt", "old");
        setMtime(r.dst + "/a.txt", year(dstYear));
        r.drop({"ask", okAskCopy, {2}}, {f});
        EXPECT_EQ(r.host.questions.size(), 1u) << dstYear;
        EXPECT_EQ(readFile(r.dst + "/a.txt"), "old");
    }
}

// A run killed in the middle leaves no file under a real name that is not a whole copy
// with the source's time, so the next "copy when newer" completes the copy instead of
// keeping a cut-off file as current.
TEST(DataSafety, ARunKilledInTheMiddleIsCompletedByTheNextOne) {
    const std::string data(1 << 20, 'k');
    for (const Way& w : {Way{"copy newer", okCopyNewer}, Way{"copy overwrite", okCopyOverwrite},
                         Way{"ask copy, yes", okAskCopy, {1}}, Way{"shell copy", okShellCopy}}) {
        SCOPED_TRACE(w.name);
        DropRun r;
        for (const char* n : {"one.bin", "two.bin"})
            setMtime(r.t.write(std::string("src/K/") + n, data), year(2020));
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // After the first piece of the first file: its contents are written, its time
            // is not yet set.
            r.engine.copyFault = [](std::uint64_t written) {
                if (written > 0) ::kill(::getpid(), SIGKILL);
                return 0;
            };
            r.drop(w, {r.src + "/K"});
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before the kill";
        for (const char* n : {"one.bin", "two.bin"}) {
            std::string copy = r.dst + "/K/" + n;
            struct stat st {};
            bool whole = ::stat(copy.c_str(), &st) != 0 ||
                         (st.st_mtime == year(2020) && readFile(copy) == data);
            EXPECT_TRUE(whole) << n << " stands cut off or with the wrong time";
        }
        r.drop({"copy newer", okCopyNewer}, {r.src + "/K"});
        for (const char* n : {"one.bin", "two.bin"})
            EXPECT_TRUE(readFile(r.dst + "/K/" + n) == data) << n;
    }
}

// As a user who may not read everything: each folder that cannot be read is one failure,
// and the shell operation does not report success. (Its move takes D whole, with the
// unreadable folder inside, and fails only on L, which it may not rename.)
TEST(DataSafety, UnreadableFoldersAreReported) {
    for (const auto& w : kWays) {
        SCOPED_TRACE(w.name);
        DropRun r;
        r.t.write("src/D/ok.txt", "ok");
        r.t.write("src/D/locked/x.txt", "x");
        r.t.write("src/L/y.txt", "y");
        for (const char* p : {"src", "src/D", "dst", "src/L"}) ::chmod(r.t.path(p).c_str(), 0777);
        ::chmod(r.t.path(".").c_str(), 0755);
        ::chmod(r.t.path("src/D/locked").c_str(), 0);
        ::chmod(r.t.path("src/L").c_str(), 0);
        auto outcome = runUnprivileged([&] {
            r.drop(w, {r.src + "/D", r.src + "/L"});
            bool copied = readFile(r.dst + "/D/ok.txt") == "ok";
            std::size_t expected = w.kind == okShellMove ? 1u : 2u;
            return copied && r.failures() == expected && (!w.shell() || r.host.shellResult != 0);
        });
        if (outcome == Unprivileged::NotPossible) GTEST_SKIP() << "cannot drop privileges";
        EXPECT_EQ(outcome, Unprivileged::Passed);
    }
}

// A folder of the source that is the destination itself, reached through a bind mount the
// path does not show, is not entered: one failure, and the run ends.
TEST(DataSafety, ABindMountOfTheDestinationIsNotEntered) {
    if (::geteuid() != 0) GTEST_SKIP() << "bind mounts need root";
    for (const auto& w : kWays) {
        SCOPED_TRACE(w.name);
        DropRun r;
        r.t.write("src/B/a.txt", "a");
        r.t.write("src/B/sub/s.txt", "s");
        std::string mount = r.t.mkdir("dst/M");
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount((r.src + "/B/sub").c_str(), mount.c_str(), nullptr, MS_BIND, nullptr) != 0)
                ::_exit(3);
            ::alarm(20); // a walk that never ends fails here instead of hanging the suite
            r.host.answers = w.answers;
            r.host.replaceAnswers = {ReplaceAnswer::YesToAll};
            r.engine.OpKind = w.kind;
            r.engine.copinew({r.src + "/B"}, mount);
            bool ok = r.failures() == 1u && readFile(mount + "/B/a.txt") == "a" &&
                      readFile(r.src + "/B/sub/s.txt") == "s";
            ::_exit(ok ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status)) << "the run did not end";
        if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "no bind mounts on this machine";
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
}

TEST(DataSafety, AMissingDestinationIsNeverMade) {
    for (const auto& w : kWays) {
        SCOPED_TRACE(w.name);
        DropRun r;
        std::string f = r.t.write("src/a.txt", "a");
        std::string gone = r.t.path("gone/deeper");
        r.host.answers = w.answers;
        r.engine.OpKind = w.kind;
        EXPECT_FALSE(r.engine.copinew({f}, gone));
        EXPECT_EQ(r.host.refusals.size(), 1u);
        EXPECT_FALSE(exists(r.t.path("gone")));
        EXPECT_TRUE(exists(f));
    }
    TempDir t;
    ShellFileOpRequest req;
    req.from = {t.write("a.txt", "a")};
    req.to = t.path("gone");
    ShellFileOperation op(req);
    EXPECT_EQ(op.run(), ENOENT);
    EXPECT_FALSE(exists(t.path("gone")));
}
