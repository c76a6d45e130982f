#include "engine/copyworker.h"
#include "platform/fileops.h"
#include "platform/paths.h"
#include "platform/pump.h"
#include "scripted_host.h"
#include "support/unprivileged.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace g3;
using namespace g3test;

namespace {

class CopyWorker : public ::testing::Test {
protected:
    TempDir t;
    ScriptedHost host;
    TCopyEngine engine{host};
    std::string src = t.mkdir("src");
    std::string dst = t.mkdir("dst");

    bool drop(int kind, const std::vector<std::string>& files, const std::string& to = {}) {
        engine.OpKind = kind;
        return engine.copinew(files, to.empty() ? dst : to);
    }
};

TEST_F(CopyWorker, DroppedFolderIsMirroredWithoutEmptyFolders) {
    t.write("src/D/a.txt", "a");
    t.write("src/D/sub/deep/b.txt", "b");
    t.mkdir("src/D/empty");
    t.mkdir("src/E");
    std::string f = t.write("src/single.txt", "s");
    ASSERT_TRUE(drop(okCopyNewer, {t.path("src/D"), t.path("src/E"), f}));
    EXPECT_EQ(readFile(dst + "/D/a.txt"), "a");
    EXPECT_EQ(readFile(dst + "/D/sub/deep/b.txt"), "b");
    EXPECT_EQ(readFile(dst + "/single.txt"), "s");
    EXPECT_FALSE(exists(dst + "/D/empty"));
    EXPECT_FALSE(exists(dst + "/E"));
    EXPECT_TRUE(host.errors.empty());
    // One progress window, the monitor off around the work, one refresh at the end.
    EXPECT_EQ(host.count(std::string("open:") + TCopyEngine::kProgressCaption), 1);
    EXPECT_EQ(host.calls.front(), "run:1");
    EXPECT_EQ(host.count("monitor:0"), 1);
    EXPECT_EQ(host.count("refresh"), 1);
    EXPECT_EQ(host.count("report"), 0);
}

TEST_F(CopyWorker, NewerPolicyComparesDosTimes) {
    std::int64_t even = localTime(2020, 5, 6, 7, 8, 10);
    // Same two-second slot: not newer. Older destination: replaced. Newer: kept.
    struct Case { const char* name; std::int64_t srcTime, dstTime; bool replaced; };
    const Case cases[] = {{"equal.txt", even, even, false},
                          {"slot.txt", even + 1, even, false},
                          {"older.txt", even + 2, even, true},
                          {"newer.txt", even, even + 4, false}};
    std::vector<std::string> files;
    for (const auto& c : cases) {
        files.push_back(t.write(std::string("src/") + c.name, "new contents"));
        setMtime(files.back(), c.srcTime);
        setMtime(t.write(std::string("dst/") + c.name, "old"), c.dstTime);
    }
    ASSERT_TRUE(drop(okCopyNewer, files));
    for (const auto& c : cases)
        EXPECT_EQ(readFile(dst + "/" + c.name), c.replaced ? "new contents" : "old") << c.name;
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(CopyWorker, OverwriteReplacesNewerDestination) {
    std::string f = t.write("src/a.txt", "source");
    setMtime(f, localTime(2001, 1, 1, 0, 0, 0));
    setMtime(t.write("dst/a.txt", "newer"), localTime(2022, 1, 1, 0, 0, 0));
    ASSERT_TRUE(drop(okCopyOverwrite, {f}));
    EXPECT_EQ(readFile(dst + "/a.txt"), "source");
}

TEST_F(CopyWorker, MoveFilesOnlyLeavesFoldersAndSkippedFiles) {
    t.write("src/D/a.txt", "a");
    t.write("src/D/sub/b.txt", "b");
    std::string kept = t.write("src/D/sub/kept.txt", "source");
    setMtime(kept, localTime(2001, 1, 1, 0, 0, 0));
    setMtime(t.write("dst/D/sub/kept.txt", "dest"), localTime(2022, 1, 1, 0, 0, 0));
    ASSERT_TRUE(drop(okMoveNewer, {t.path("src/D")}));
    EXPECT_EQ(readFile(dst + "/D/a.txt"), "a");
    EXPECT_EQ(readFile(dst + "/D/sub/b.txt"), "b");
    EXPECT_FALSE(exists(t.path("src/D/a.txt")));
    EXPECT_FALSE(exists(t.path("src/D/sub/b.txt")));
    EXPECT_TRUE(exists(t.path("src/D/sub")));
    EXPECT_EQ(readFile(kept), "source");
    EXPECT_EQ(readFile(dst + "/D/sub/kept.txt"), "dest");
}

TEST_F(CopyWorker, MoveOntoOlderFileReplacesAndDeletesSource) {
    std::string f = t.write("src/a.txt", "new");
    setMtime(f, localTime(2022, 1, 1, 0, 0, 0));
    setMtime(t.write("dst/a.txt", "old"), localTime(2001, 1, 1, 0, 0, 0));
    ASSERT_TRUE(drop(okMoveNewer, {f}));
    EXPECT_EQ(readFile(dst + "/a.txt"), "new");
    EXPECT_FALSE(exists(f));
}

TEST_F(CopyWorker, MoveAcrossFileSystems) {
    TempDir shm("/dev/shm");
    shm.write("D/x/a.bin", std::string(100000, 'q'));
    ASSERT_TRUE(drop(okMoveOverwrite, {shm.path("D")}));
    EXPECT_EQ(readFile(dst + "/D/x/a.bin"), std::string(100000, 'q'));
    EXPECT_FALSE(exists(shm.path("D/x/a.bin")));
    EXPECT_TRUE(exists(shm.path("D/x")));
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(CopyWorker, FolderAtDestinationGivesOneError) {
    std::string f = t.write("src/a.txt", "a");
    t.write("dst/a.txt/inner.txt", "i");
    ASSERT_TRUE(drop(okCopyOverwrite, {f}));
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].first, f + " から");
    EXPECT_EQ(host.errors[0].second, dst + "/a.txt への建て増しで、");
    EXPECT_EQ(host.count("report"), 1);
}

TEST_F(CopyWorker, DropOntoItselfNeverLosesContents) {
    std::string f = t.write("src/a.txt", "keep me");
    t.write("src/D/b.txt", "and me");
    const std::vector<std::string> files = {f, t.path("src/D")};
    ASSERT_TRUE(drop(okCopyNewer, files, src));
    EXPECT_TRUE(host.errors.empty());
    ASSERT_TRUE(drop(okCopyOverwrite, files, src));
    EXPECT_EQ(host.errors.size(), 2u);
    ASSERT_TRUE(drop(okMoveOverwrite, files, src));
    ASSERT_EQ(host.errors.size(), 2u);
    EXPECT_EQ(host.errors[0].second, src + "/a.txt への引っ越しで、");
    EXPECT_EQ(readFile(f), "keep me");
    EXPECT_EQ(readFile(t.path("src/D/b.txt")), "and me");
}

TEST_F(CopyWorker, ReadOnlyCopyRefusesLaterOverwrite) {
    std::string f = t.write("src/ro.txt", "first");
    ::chmod(f.c_str(), 0444);
    ASSERT_TRUE(drop(okCopyNewer, {f}));
    struct stat st {};
    ASSERT_EQ(::stat((dst + "/ro.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    ::chmod(f.c_str(), 0644);
    t.write("src/ro.txt", "second");
    ASSERT_TRUE(drop(okCopyOverwrite, {f}));
    EXPECT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(readFile(dst + "/ro.txt"), "first");
}

TEST_F(CopyWorker, RootAndAncestorsOfTheDestinationAreRefused) {
    // "/", and a path that reaches an ancestor only through "..", hold the destination.
    for (const std::string& path : {std::string("/"), src + "/../dst/.."}) {
        for (int kind : {okCopyNewer, okMoveNewer, okAskCopy}) {
            host.refusals.clear();
            EXPECT_FALSE(drop(kind, {path})) << path << " " << kind;
            EXPECT_EQ(host.refusals.size(), 1u);
            EXPECT_TRUE(host.errors.empty());
        }
    }
}

TEST_F(CopyWorker, SymlinksAreCopiedAsLinksAndFifosRefused) {
    t.write("src/D/target.txt", "t");
    ASSERT_EQ(::symlink("target.txt", t.path("src/D/link").c_str()), 0);
    t.mkdir("outside/inner");
    t.write("outside/inner/secret.txt", "s");
    ASSERT_EQ(::symlink(t.path("outside").c_str(), t.path("src/D/dirlink").c_str()), 0);
    ASSERT_EQ(::mkfifo(t.path("src/D/pipe").c_str(), 0644), 0);
    ASSERT_TRUE(drop(okCopyNewer, {t.path("src/D")}));
    char buf[64] = {};
    ASSERT_GT(::readlink((dst + "/D/link").c_str(), buf, sizeof buf - 1), 0);
    EXPECT_STREQ(buf, "target.txt");
    struct stat st {};
    ASSERT_EQ(::lstat((dst + "/D/dirlink").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_FALSE(exists(dst + "/D/pipe"));
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].first, t.path("src/D/pipe") + " から");
}

TEST_F(CopyWorker, OddNamesAreCopiedByteExact) {
    const std::string odd = std::string("bad\xff\x81name") + "\nline2";
    t.write("src/D/" + odd + "/x\ty.txt", "odd");
    ASSERT_TRUE(drop(okCopyNewer, {t.path("src/D")}));
    EXPECT_EQ(readFile(dst + "/D/" + odd + "/x\ty.txt"), "odd");
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(CopyWorker, FileAboveFourGiBLowWordIsNotLost) {
    // 3 GiB: the low 32 bits exceed 2^31-1. Both sides exist so that nothing is copied: the
    // listing must still reach the file and put it to the user.
    for (const char* side : {"src/D/big.bin", "dst/D/big.bin"}) {
        std::string p = t.write(side, "");
        ASSERT_EQ(::truncate(p.c_str(), 3LL << 30), 0);
    }
    host.answers = {2};
    ASSERT_TRUE(drop(okAskCopy, {t.path("src/D")}));
    ASSERT_EQ(engine.JobCount, 1);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0].srcSize, 3LL << 30);
}

TEST_F(CopyWorker, AskingRunFillsJobListsAndAsks) {
    std::string a = t.write("src/D/a.txt", "A");
    t.write("src/D/sub/b.txt", "B");
    t.write("dst/D/a.txt", "old");
    host.answers = {1};
    ASSERT_TRUE(drop(okAskCopy, {t.path("src/D")}));
    ASSERT_EQ(engine.JobCount, 2);
    EXPECT_EQ(engine.lbxMoto[0], a);
    EXPECT_EQ(engine.lbxSaki[0], dst + "/D/a.txt");
    EXPECT_EQ(engine.lbxOpe[1], "7");
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0].label, "建て増し");
    EXPECT_EQ(host.questions[0].dstSize, 3);
    EXPECT_EQ(readFile(dst + "/D/a.txt"), "A");
    EXPECT_EQ(host.count(std::string("update:") + TCopyEngine::kJobLine1 + "|" + dst +
                         "/D/sub|b.txt"),
              1);
}

TEST_F(CopyWorker, AnswerForAllHoldsForOneRunOnly) {
    std::vector<std::string> files;
    for (const char* n : {"a.txt", "b.txt", "c.txt"}) {
        files.push_back(t.write(std::string("src/") + n, "new"));
        setMtime(files.back(), localTime(2022, 1, 1, 0, 0, 0));
        setMtime(t.write(std::string("dst/") + n, "old"), localTime(2001, 1, 1, 0, 0, 0));
    }
    host.answers = {3};
    ASSERT_TRUE(drop(okAskMove, files));
    EXPECT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0].label, "引っ越し");
    EXPECT_EQ(readFile(dst + "/c.txt"), "new");
    EXPECT_FALSE(exists(files[2]));

    for (size_t i = 0; i < files.size(); ++i) t.write("src/" + namePart(files[i]), "again");
    host.answers = {1, 6};
    ASSERT_TRUE(drop(okAskCopy, files));
    EXPECT_EQ(host.questions.size(), 3u); // asked again: once answered 1, then aborted
    EXPECT_EQ(readFile(dst + "/a.txt"), "again");
    EXPECT_EQ(readFile(dst + "/c.txt"), "new");
    EXPECT_EQ(host.prepared, 2);
}

TEST_F(CopyWorker, AbortStillCopiesFilesWithoutConflict) {
    std::string a = t.write("src/a.txt", "A");
    std::string b = t.write("src/b.txt", "B");
    std::string c = t.write("src/c.txt", "C");
    t.write("dst/a.txt", "old a");
    t.write("dst/c.txt", "old c");
    host.answers = {6};
    ASSERT_TRUE(drop(okAskCopy, {a, b, c}));
    EXPECT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(readFile(dst + "/b.txt"), "B");
    EXPECT_EQ(readFile(dst + "/c.txt"), "old c");
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(CopyWorker, JobListRunStopsWhenProgressIsGone) {
    std::string a = t.write("src/a.txt", "A");
    std::string b = t.write("src/b.txt", "B");
    host.updatesBeforeStop = 1;
    ASSERT_TRUE(drop(okAskCopy, {a, b}));
    EXPECT_TRUE(exists(dst + "/a.txt"));
    EXPECT_FALSE(exists(dst + "/b.txt"));
}

TEST_F(CopyWorker, SecondRequestDuringARunIsRefused) {
    std::string a = t.write("src/a.txt", "A");
    std::string b = t.write("src/b.txt", "B");
    bool second = true, viaButton = true;
    std::string seenDir;
    host.duringRun = [&] {
        second = engine.copinew({b}, t.path("elsewhere"));
        viaButton = engine.copimuv2(opCopy, {"b.txt"}, src);
        seenDir = engine.runDir();
    };
    ASSERT_TRUE(drop(okCopyNewer, {a}));
    EXPECT_FALSE(second);
    EXPECT_FALSE(viaButton);
    EXPECT_EQ(seenDir, dst);
    EXPECT_TRUE(exists(dst + "/a.txt"));
    EXPECT_FALSE(exists(t.path("elsewhere")));
    EXPECT_FALSE(engine.running());
    EXPECT_EQ(host.calls.back(), "run:0");
    EXPECT_EQ(host.count("refresh"), 1);
}

// A dropped link to a folder goes as the link; the files it points to stay where they are.
TEST_F(CopyWorker, DroppedLinkToAFolderIsMovedAsTheLink) {
    t.write("outside/keep.txt", "k");
    ASSERT_EQ(::symlink(t.path("outside").c_str(), t.path("src/L").c_str()), 0);
    ASSERT_TRUE(drop(okMoveNewer, {t.path("src/L")}));
    struct stat st {};
    ASSERT_EQ(::lstat((dst + "/L").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readFile(t.path("outside/keep.txt")), "k");
    EXPECT_TRUE(host.errors.empty());
}

// The destination reached through a link into the dropped folder is refused like its
// plain path.
TEST_F(CopyWorker, FolderIntoItselfThroughALinkIsRefused) {
    t.write("src/D/a.txt", "a");
    t.mkdir("src/D/sub");
    ASSERT_EQ(::symlink(t.path("src/D").c_str(), t.path("lnk").c_str()), 0);
    EXPECT_FALSE(drop(okCopyNewer, {t.path("src/D")}, t.path("lnk/sub")));
    EXPECT_EQ(host.refusals.size(), 1u);
    EXPECT_FALSE(exists(t.path("src/D/sub/D")));
}

TEST_F(CopyWorker, FolderIntoItsOwnSubfolderIsRefused) {
    t.write("src/D/a.txt", "a");
    std::string inner = t.mkdir("src/D/sub");
    for (const std::string& to : {inner, t.path("src/D")}) {
        host.refusals.clear();
        EXPECT_FALSE(drop(okCopyNewer, {t.path("src/D")}, to));
        ASSERT_EQ(host.refusals.size(), 1u);
        EXPECT_EQ(host.refusals[0], TCopyEngine::selfNestingText(t.path("src/D"), to));
    }
    EXPECT_FALSE(exists(inner + "/D"));
    EXPECT_FALSE(exists(t.path("src/D/D")));
    EXPECT_EQ(host.count("monitor:0"), 0);
}

TEST_F(CopyWorker, ShellKindsAndToolButtonsUseTheShellOperation) {
    std::string a = t.write("src/a.txt", "A");
    t.write("src/T/x.txt", "x");
    ASSERT_TRUE(drop(okShellCopy, {a, t.path("src/T")}));
    EXPECT_EQ(host.shellRuns, 1);
    EXPECT_EQ(readFile(dst + "/T/x.txt"), "x");
    EXPECT_TRUE(exists(a));

    std::string picked = t.mkdir("picked");
    host.folderChoice = picked;
    ASSERT_TRUE(engine.copimuv2(opMove, {"a.txt"}, src));
    EXPECT_EQ(host.folderTitle, "引っ越し先の洞窟指定");
    EXPECT_EQ(readFile(picked + "/a.txt"), "A");
    EXPECT_FALSE(exists(a));

    host.folderChoice.clear();
    ASSERT_TRUE(engine.copimuv2(opCopy, {"T"}, src));
    EXPECT_EQ(host.folderTitle, "建て増し先の洞窟指定");
    EXPECT_EQ(host.shellRuns, 2);
}

TEST_F(CopyWorker, PumpRunsBetweenPiecesOfALargeFile) {
    std::string big = t.write("src/big.bin", std::string(64 << 20, 'z'));
    int pumps = 0;
    TCopyEngine pumping(host, [&] { ++pumps; });
    pumping.OpKind = okCopyNewer;
    ASSERT_TRUE(pumping.copinew({big}, dst));
    EXPECT_GT(pumps, 2);
    EXPECT_EQ(fileSizeOf(dst + "/big.bin"), 64 << 20);
}

} // namespace

// A folder the user may not write in is reported with the reason the system gives for it,
// not as a missing folder.
TEST_F(CopyWorker, ReadOnlyDestinationFolderIsReportedAsDenied) {
    t.write("src/D/sub/x.txt", "x");
    t.mkdir("dst/D");
    for (const std::string& p : {src, src + "/D", src + "/D/sub", dst}) ::chmod(p.c_str(), 0777);
    ::chmod(t.root().c_str(), 0755);
    ::chmod((dst + "/D").c_str(), 0555);
    auto outcome = runUnprivileged([&] {
        drop(okCopyNewer, {t.path("src/D")});
        return host.errors.size() == 1u && host.errors[0].code == EACCES;
    });
    if (outcome == Unprivileged::NotPossible) GTEST_SKIP() << "cannot drop privileges";
    EXPECT_EQ(outcome, Unprivileged::Passed);
}
