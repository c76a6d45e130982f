#include "fscomp/FindF.h"

#include "platform/errors.h"
#include "platform/paths.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace g3 {
namespace {

namespace fs = std::filesystem;

class FindFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/g3-findf-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root = tmpl;
        chmod(root.c_str(), 0755);
        // Keep the walks off the program's real pump.
        finder.MessagePump = [this] { ++pumps; };
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::string at(const std::string& rel) const { return joinPath(root, rel); }
    void dir(const std::string& rel) { fs::create_directories(at(rel)); }
    void file(const std::string& rel, off_t size = 0) {
        fs::create_directories(parentFolder(at(rel)));
        int fd = open(at(rel).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ASSERT_GE(fd, 0) << rel;
        ASSERT_EQ(ftruncate(fd, size), 0);
        close(fd);
    }
    // Runs the finder and returns "folder-relative/name" of every reported entry, in order.
    std::vector<std::string> run(std::uint32_t expected = 0) {
        std::vector<std::string> found;
        finder.OnFind = [&](TFindFile&, const FindData& d, const std::string& cur, bool&) {
            found.push_back(cur == root ? d.name : relativePath(joinPath(cur, d.name), root));
        };
        EXPECT_EQ(finder.Run(), expected);
        return found;
    }
    static std::vector<std::string> sorted(std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    }

    std::string root;
    TFindFile finder;
    int pumps = 0;
};

TEST_F(FindFileTest, DefaultsAndTimeBounds) {
    EXPECT_EQ(finder.FromLastWriteTime(), dosTodayMidnight());
    EXPECT_EQ(finder.ToLastWriteTime(), dosTomorrowMidnight());
    EXPECT_EQ(finder.FromCreationTime(), dosTodayMidnight());
    EXPECT_EQ(finder.ToCreationTime(), dosTomorrowMidnight());
    EXPECT_EQ(finder.FromLastAccessTime(), dosTodayMidnight());
    EXPECT_EQ(finder.ToLastAccessTime(), dosTomorrowMidnight());
    EXPECT_EQ(finder.MinSize, 0);
    EXPECT_EQ(finder.MaxSize, 2147483647);
    EXPECT_TRUE(finder.Conditions.empty());
    EXPECT_EQ(finder.FileMask, "*.*");
    EXPECT_EQ(finder.DirMask, "*.*");
    EXPECT_FALSE(finder.SearchSubDir());
    EXPECT_FALSE(finder.ExceptionOnCancel);

    finder.setFromLastWriteTime(0);
    finder.setToLastWriteTime(0);
    EXPECT_EQ(finder.FromLastWriteTime(), 0x00210000u);
    EXPECT_EQ(finder.ToLastWriteTime(), 0xEF9FBF7Du);
    const std::uint32_t noon = (45u << 25) | (6u << 21) | (15u << 16) | (12u << 11); // 2025-06-15
    finder.setFromCreationTime(noon);
    EXPECT_EQ(finder.FromCreationTime(), noon);
}

TEST_F(FindFileTest, BaseDirSetterRules) {
    finder.setBaseDir("/");
    EXPECT_EQ(finder.BaseDir(), "/");
    finder.setBaseDir("x");
    EXPECT_EQ(finder.BaseDir(), "/") << "a single character keeps the old value";
    finder.setBaseDir("");
    EXPECT_EQ(finder.BaseDir(), "/");
    finder.setBaseDir("/tmp/a/");
    EXPECT_EQ(finder.BaseDir(), "/tmp/a");
    finder.setBaseDir("/tmp/a//");
    EXPECT_EQ(finder.BaseDir(), "/tmp/a/") << "only one trailing slash goes";
    finder.setBaseDir("ab");
    EXPECT_EQ(finder.BaseDir(), "ab");
}

TEST_F(FindFileTest, RootIsListedAsSlashMask) {
    std::set<std::string> expected;
    DIR* d = opendir("/");
    ASSERT_NE(d, nullptr);
    while (dirent* e = readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") expected.insert(e->d_name);
    closedir(d);

    finder.setBaseDir("/");
    std::set<std::string> found, dirs;
    finder.OnFind = [&](TFindFile& f, const FindData& fd, const std::string& cur, bool&) {
        found.insert(fd.name);
        dirs.insert(cur);
        EXPECT_EQ(f.CurrentDir(), cur);
    };
    EXPECT_EQ(finder.Run(), 0u);
    EXPECT_EQ(found, expected);
    EXPECT_EQ(dirs, std::set<std::string>{"/"});
}

TEST_F(FindFileTest, DirectoryConditionBothWays) {
    file("f.txt");
    dir("sub");
    finder.setBaseDir(root);
    EXPECT_EQ(sorted(run()), (std::vector<std::string>{"f.txt", "sub"}))
        << "folders are reported like files without conditions";
    finder.Conditions = {fcDirectory};
    EXPECT_EQ(run(), std::vector<std::string>{"f.txt"});
    finder.AttrDirectory = true;
    EXPECT_EQ(run(), std::vector<std::string>{"sub"});
}

TEST_F(FindFileTest, SizeFilterSeesOnlyTheLow32Bits) {
    file("big", (off_t(4) << 30) + 10); // 4 GiB + 10 bytes, sparse
    file("small", 200);
    finder.setBaseDir(root);
    finder.Conditions = {fcSize};
    finder.MinSize = 0;
    finder.MaxSize = 100;
    EXPECT_EQ(run(), std::vector<std::string>{"big"});
}

// The filters see the record as the listing gives it; a record with no birth time is fed
// in directly, since which file systems report one depends on the machine.
class RecordFinder : public TFindFile {
public:
    using TFindFile::DoFileEntry;
    using TFindFile::prepareFilters;
};

TEST_F(FindFileTest, CreationTimeZeroIsRejectedWhateverTheRange) {
    RecordFinder f;
    f.MessagePump = [] {};
    f.Conditions = {fcCreationTime};
    f.setFromCreationTime(0);
    f.setToCreationTime(0);
    f.prepareFilters();
    std::vector<std::string> found;
    f.OnFind = [&](TFindFile&, const FindData& d, const std::string&, bool&) { found.push_back(d.name); };
    TFindFirstLoop loop;
    bool cancel = false;
    FindData unknown, known;
    unknown.name = "nobirth";
    known.name = "born";
    known.creationTime = fileTimeFromUnix(1'000'000'000);
    f.DoFileEntry(loop, unknown, cancel);
    f.DoFileEntry(loop, known, cancel);
    EXPECT_EQ(found, std::vector<std::string>{"born"});
    EXPECT_FALSE(cancel);
}

TEST_F(FindFileTest, ZeroTimeBoundsAcceptEveryTime) {
    struct Case {
        const char* name;
        std::int64_t unixTime;
    };
    const Case cases[] = {{"epoch", 0}, {"before1980", 100'000'000}, {"y2150", 5'680'000'000},
                          {"now", static_cast<std::int64_t>(time(nullptr))}};
    for (const auto& c : cases) {
        file(c.name);
        timespec ts[2] = {{c.unixTime, 0}, {c.unixTime, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, at(c.name).c_str(), ts, 0), 0);
    }
    finder.setBaseDir(root);
    finder.Conditions = {fcLastWriteTime};
    EXPECT_EQ(run(), std::vector<std::string>{"now"}) << "today's bounds after construction";
    finder.setFromLastWriteTime(0);
    finder.setToLastWriteTime(0);
    EXPECT_EQ(run().size(), 4u);
    finder.setToLastWriteTime(finder.FromLastWriteTime()); // 1980-01-01 .. 1980-01-01
    EXPECT_EQ(sorted(run()), (std::vector<std::string>{"before1980", "epoch"}));
}

TEST(FindFirstLoopTest, CancelMessagesAndCodes) {
    char tmpl[] = "/tmp/g3-loop-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    TFindFirstLoop loop;
    loop.setPath(joinPath(tmpl, "*.*")); // "." and ".." at least
    int calls = 0, cancelAt = 1;
    loop.OnFind = [&](TFindFirstLoop& l, const FindData&, bool& cancel) {
        l.setPath("/ignored/*"); // harmless while running
        cancel = ++calls == cancelAt;
    };
    EXPECT_EQ(loop.Run(), 1223u);
    EXPECT_EQ(loop.Path(), joinPath(tmpl, "*.*"));
    loop.ExceptionOnCancel = true;
    for (cancelAt = 1; cancelAt <= 2; ++cancelAt) {
        calls = 0;
        try {
            loop.Run();
            ADD_FAILURE() << "no exception";
        } catch (const EFindFirstLoopCancel& e) {
            EXPECT_STREQ(e.what(), cancelAt == 1 ? "TFindFirstLoop Cancelled" : "Search Canceled");
        }
        EXPECT_FALSE(loop.Running());
    }
    cancelAt = 0;
    calls = 0;
    EXPECT_EQ(loop.Run(), 0u);
    EXPECT_EQ(calls, 2);
    loop.setPath("/no/such/folder/*.*");
    EXPECT_EQ(loop.Run(), 0u);
    rmdir(tmpl);
}

TEST_F(FindFileTest, CancelAbortedAndException) {
    file("a");
    file("b");
    finder.setBaseDir(root);
    finder.OnFind = [](TFindFile&, const FindData&, const std::string&, bool& cancel) { cancel = true; };
    EXPECT_EQ(finder.Run(), 1223u);
    finder.ExceptionOnCancel = true;
    try {
        finder.Run();
        ADD_FAILURE() << "no exception";
    } catch (const EFindFileCancel& e) {
        EXPECT_STREQ(e.what(), "TFindFile.Run Cancelled");
    }

    // Aborted set by a handler run from the pump stops at the next entry; Run clears it.
    finder.ExceptionOnCancel = false;
    finder.Aborted = true;
    int reported = 0;
    finder.OnFind = [&](TFindFile&, const FindData&, const std::string&, bool&) { ++reported; };
    pumps = 0;
    finder.MessagePump = [&] {
        if (++pumps == 1) finder.Aborted = true;
    };
    EXPECT_EQ(finder.Run(), 1223u);
    EXPECT_EQ(reported, 0);
    finder.MessagePump = [] {};
    reported = 0;
    EXPECT_EQ(finder.Run(), 0u);
    EXPECT_EQ(reported, 2);
}

TEST_F(FindFileTest, DirMaskLimitsTheDescentOnly) {
    file("top.txt");
    file("a1/x.txt");
    file("a1/b/deep.txt");
    file("a1/ab/deep.txt");
    file("b1/y.txt");
    finder.setBaseDir(root);
    finder.setSearchSubDir(true);
    finder.FileMask = "*.txt";
    finder.DirMask = "a*";
    EXPECT_EQ(sorted(run()), (std::vector<std::string>{"a1/ab/deep.txt", "a1/x.txt", "top.txt"}));
}

TEST_F(FindFileTest, TreeIsWalkedBreadthFirst) {
    for (const char* f : {"f0", "d1/f1", "d1/e1/f2", "d1/e1/g1/f3", "d2/f1", "d2/e2/f2"}) {
        dir(parentFolder(f) == "" ? "." : parentFolder(f));
        file(f);
    }
    finder.setBaseDir(root);
    finder.setSearchSubDir(true);
    std::vector<std::pair<int, std::string>> seen; // (depth of folder, folder)
    finder.OnFind = [&](TFindFile&, const FindData& d, const std::string& cur, bool&) {
        std::string rel = cur == root ? "" : relativePath(cur, root);
        if (!d.isDirectory()) seen.push_back({int(std::count(rel.begin(), rel.end(), '/')) + !rel.empty(), rel});
    };
    EXPECT_EQ(finder.Run(), 0u);
    ASSERT_EQ(seen.size(), 6u);
    std::vector<std::string> folderOrder;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (i) {
            EXPECT_LE(seen[i - 1].first, seen[i].first) << "level by level";
        }
        if (folderOrder.empty() || folderOrder.back() != seen[i].second) folderOrder.push_back(seen[i].second);
    }
    EXPECT_EQ(folderOrder.size(), 6u) << "each folder's entries come together";
    EXPECT_GT(pumps, 0);
}

TEST_F(FindFileTest, LinkedFoldersAreNotEntered) {
    file("d/f.txt");
    file("elsewhere/g.txt");
    ASSERT_EQ(symlink(root.c_str(), at("d/loop").c_str()), 0);
    ASSERT_EQ(symlink("..", at("d/up").c_str()), 0);
    ASSERT_EQ(symlink(at("elsewhere").c_str(), at("d/away").c_str()), 0);
    finder.setBaseDir(at("d"));
    finder.setSearchSubDir(true);
    std::vector<std::string> found;
    finder.OnFind = [&](TFindFile&, const FindData& d, const std::string& cur, bool&) {
        found.push_back(relativePath(joinPath(cur, d.name), root));
        if (d.name != "f.txt") {
            EXPECT_TRUE(d.attributes & faLink) << d.name;
        }
    };
    EXPECT_EQ(finder.Run(), 0u);
    EXPECT_EQ(sorted(found), (std::vector<std::string>{"d/away", "d/f.txt", "d/loop", "d/up"}))
        << "the links are reported, nothing behind them";
}

TEST_F(FindFileTest, PseudoFileSystemsAreNotEntered) {
    finder.setBaseDir("/");
    finder.setSearchSubDir(true);
    for (const char* name : {"proc", "sys"}) {
        if (!isPseudoFileSystemMount(std::string("/") + name)) {
            std::printf("/%s is no pseudo file system mount here: not checked\n", name);
            continue;
        }
        finder.DirMask = name; // the descent would go there and nowhere else
        std::set<std::string> folders;
        finder.OnFind = [&](TFindFile&, const FindData&, const std::string& cur, bool&) { folders.insert(cur); };
        EXPECT_EQ(finder.Run(), 0u);
        EXPECT_EQ(folders, std::set<std::string>{"/"}) << name;
    }
}

TEST_F(FindFileTest, VanishedAndMissingFoldersCountAsEmpty) {
    file("d1/a");
    file("d2/b");
    finder.setBaseDir(root);
    finder.setSearchSubDir(true);
    finder.Conditions = {fcDirectory};
    std::vector<std::string> found;
    finder.OnFind = [&](TFindFile&, const FindData& d, const std::string& cur, bool&) {
        found.push_back(d.name);
        // Both folders are queued once the base folder is listed: remove the other one.
        fs::remove_all(at(relativePath(cur, root) == "d1" ? "d2" : "d1"));
    };
    EXPECT_EQ(finder.Run(), 0u);
    EXPECT_EQ(found.size(), 1u);
    finder.setBaseDir(at("missing"));
    EXPECT_EQ(finder.Run(), 0u);
}

TEST_F(FindFileTest, UnreadableFolderCountsAsEmpty) {
    file("open/a");
    file("locked/b");
    chmod(at("open").c_str(), 0755);
    chmod(at("locked").c_str(), 0);
    finder.setBaseDir(root);
    finder.setSearchSubDir(true);
    finder.Conditions = {fcDirectory};
    auto outcome = g3test::runUnprivileged([&] { return run() == std::vector<std::string>{"open/a"}; });
    chmod(at("locked").c_str(), 0755);
    if (outcome == g3test::Unprivileged::NotPossible) GTEST_SKIP() << "cannot drop privileges here";
    EXPECT_EQ(outcome, g3test::Unprivileged::Passed);
}

TEST_F(FindFileTest, ReentrantRunIsRefused) {
    file("a");
    finder.setBaseDir(root);
    std::uint32_t inner = 0;
    finder.OnFind = [&](TFindFile& f, const FindData&, const std::string&, bool&) { inner = f.Run(); };
    EXPECT_EQ(finder.Run(), 0u);
    EXPECT_EQ(inner, std::uint32_t(EBUSY));
    finder.OnFind = nullptr;
    EXPECT_EQ(finder.Run(), 0u);
}

} // namespace
} // namespace g3
