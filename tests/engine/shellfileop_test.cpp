#include "engine/shellfileop.h"
#include "platform/errors.h"
#include "platform/trash.h"
#include "support/tempdir.h"
#include "support/trashhome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace g3;
using namespace g3test;

namespace {

ShellFileOpRequest request(unsigned func, std::vector<std::string> from, std::string to,
                           unsigned flags = FOF_ALLOWUNDO) {
    ShellFileOpRequest r;
    r.func = func;
    r.from = std::move(from);
    r.to = std::move(to);
    r.flags = flags;
    return r;
}

TEST(ShellFileOp, CopiesFilesAndTreesWithCounters) {
    TempDir t;
    std::string a = t.write("src/a.txt", "aaaa");
    t.write("src/T/x.txt", "xx");
    t.write("src/T/sub/y.txt", "yyy");
    t.mkdir("src/T/empty");
    ShellFileOperation op(request(FO_COPY, {a, t.path("src/T")}, t.mkdir("dst")));
    EXPECT_EQ(op.run(), 0);
    EXPECT_EQ(readFile(t.path("dst/a.txt")), "aaaa");
    EXPECT_EQ(readFile(t.path("dst/T/sub/y.txt")), "yyy");
    EXPECT_TRUE(exists(t.path("dst/T/empty")));
    EXPECT_EQ(op.filesTotal(), 3u);
    EXPECT_EQ(op.filesDone(), 3u);
    EXPECT_EQ(op.bytesTotal(), 9u);
    EXPECT_EQ(op.bytesDone(), 9u);
    EXPECT_TRUE(op.finished());
}

TEST(ShellFileOp, ReplaceQuestionAnswers) {
    TempDir t;
    std::vector<std::string> from;
    for (const char* n : {"1", "2", "3", "4", "5"}) {
        from.push_back(t.write(std::string("src/") + n, "new"));
        t.write(std::string("dst/") + n, "old");
    }
    std::vector<ReplaceAnswer> script = {ReplaceAnswer::No, ReplaceAnswer::Yes,
                                         ReplaceAnswer::YesToAll};
    std::vector<std::string> asked;
    ShellFileOperation op(request(FO_COPY, from, t.path("dst")));
    op.setReplaceQuestion([&](const ReplaceInfo& i) {
        asked.push_back(i.dst);
        EXPECT_EQ(i.srcSize, 3);
        EXPECT_FALSE(i.dstTime.empty());
        return script[asked.size() - 1];
    });
    EXPECT_EQ(op.run(), 0);
    EXPECT_EQ(asked.size(), 3u); // "yes to all" asks no more
    EXPECT_EQ(readFile(t.path("dst/1")), "old");
    for (const char* n : {"2", "3", "4", "5"}) EXPECT_EQ(readFile(t.path("dst/") + n), "new");
}

TEST(ShellFileOp, CancelAnswerStopsAndNoConfirmationNeverAsks) {
    TempDir t;
    std::string a = t.write("src/a", "new"), b = t.write("src/b", "new");
    t.write("dst/a", "old");
    t.write("dst/b", "old");
    ShellFileOperation cancelled(request(FO_COPY, {a, b}, t.path("dst")));
    cancelled.setReplaceQuestion([](const ReplaceInfo&) { return ReplaceAnswer::Cancel; });
    EXPECT_EQ(cancelled.run(), kErrorCancelled);
    EXPECT_EQ(readFile(t.path("dst/b")), "old");

    ShellFileOperation silent(request(FO_COPY, {a, b}, t.path("dst"),
                                      FOF_ALLOWUNDO | FOF_NOCONFIRMATION));
    silent.setReplaceQuestion([](const ReplaceInfo&) {
        ADD_FAILURE() << "asked despite FOF_NOCONFIRMATION";
        return ReplaceAnswer::No;
    });
    EXPECT_EQ(silent.run(), 0);
    EXPECT_EQ(readFile(t.path("dst/b")), "new");
}

TEST(ShellFileOp, RefusesAFolderIntoItself) {
    TempDir t;
    t.write("src/T/x.txt", "x");
    for (const std::string& to : {t.path("src/T"), t.mkdir("src/T/sub/deeper")}) {
        for (unsigned func : {FO_COPY, FO_MOVE}) {
            std::vector<FileOpError> seen;
            ShellFileOperation op(request(func, {t.path("src/T")}, to));
            op.setErrorHandler([&](const FileOpError& e) {
                seen.push_back(e);
                return true;
            });
            EXPECT_EQ(op.run(), kErrorCancelled);
            ASSERT_EQ(seen.size(), 1u);
            EXPECT_EQ(seen[0].problem, FileOpProblem::IntoItself);
            EXPECT_EQ(seen[0].path, t.path("src/T"));
        }
    }
    EXPECT_FALSE(exists(t.path("src/T/T")));
    EXPECT_FALSE(exists(t.path("src/T/sub/deeper/T")));
    EXPECT_TRUE(exists(t.path("src/T/x.txt")));
}

// A destination reached through a link into the folder is the folder's inside all the
// same: copying there would copy its own copies without end.
TEST(ShellFileOp, RefusesAFolderIntoItselfThroughALink) {
    TempDir t;
    t.write("src/T/x.txt", "x");
    t.mkdir("src/T/sub");
    ASSERT_EQ(::symlink(t.path("src/T").c_str(), t.path("lnk").c_str()), 0);
    ShellFileOperation op(request(FO_COPY, {t.path("src/T")}, t.path("lnk/sub"), FOF_NOCONFIRMATION));
    op.setErrorHandler([](const FileOpError&) { return true; });
    EXPECT_EQ(op.run(), kErrorCancelled);
    EXPECT_FALSE(exists(t.path("src/T/sub/T")));
}

// "…/T/" names T: its contents do not spill into the destination.
TEST(ShellFileOp, TrailingSlashNamesTheFolderItself) {
    TempDir t;
    t.write("src/T/x.txt", "x");
    ShellFileOperation op(request(FO_MOVE, {t.path("src/T") + "/"}, t.mkdir("dst"), FOF_NOCONFIRMATION));
    EXPECT_EQ(op.run(), 0);
    EXPECT_EQ(readFile(t.path("dst/T/x.txt")), "x");
    EXPECT_FALSE(exists(t.path("dst/x.txt")));
}

TEST(ShellFileOp, MovesTreesOnOneAndAcrossFileSystems) {
    TempDir t, shm("/dev/shm");
    t.write("src/T/sub/x.txt", "x");
    ShellFileOperation rename(request(FO_MOVE, {t.path("src/T")}, t.mkdir("dst")));
    EXPECT_EQ(rename.run(), 0);
    EXPECT_EQ(readFile(t.path("dst/T/sub/x.txt")), "x");
    EXPECT_FALSE(exists(t.path("src/T")));
    EXPECT_EQ(rename.filesDone(), 1u);

    ShellFileOperation across(request(FO_MOVE, {t.path("dst/T")}, shm.root()));
    EXPECT_EQ(across.run(), 0);
    EXPECT_EQ(readFile(shm.path("T/sub/x.txt")), "x");
    EXPECT_FALSE(exists(t.path("dst/T")));
}

TEST(ShellFileOp, MoveKeepsSourcesThatWereNotReplaced) {
    TempDir t;
    t.write("src/T/keep.txt", "mine");
    t.write("src/T/go.txt", "go");
    t.write("dst/T/keep.txt", "theirs");
    ShellFileOperation op(request(FO_MOVE, {t.path("src/T")}, t.path("dst")));
    op.setReplaceQuestion([](const ReplaceInfo&) { return ReplaceAnswer::No; });
    EXPECT_EQ(op.run(), 0);
    EXPECT_EQ(readFile(t.path("src/T/keep.txt")), "mine");
    EXPECT_FALSE(exists(t.path("src/T/go.txt")));
    EXPECT_EQ(readFile(t.path("dst/T/go.txt")), "go");
    EXPECT_EQ(readFile(t.path("dst/T/keep.txt")), "theirs");
}

TEST(ShellFileOp, SameFileLinksAndSpecialFiles) {
    TempDir t;
    std::string a = t.write("src/a.txt", "a");
    ASSERT_EQ(::symlink("a.txt", t.path("src/l").c_str()), 0);
    ASSERT_EQ(::mkfifo(t.path("src/p").c_str(), 0644), 0);
    std::vector<FileOpError> seen;
    ShellFileOperation self(request(FO_COPY, {a}, t.path("src")));
    self.setErrorHandler([&](const FileOpError& e) { seen.push_back(e); return true; });
    self.run();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].problem, FileOpProblem::SameFile);
    EXPECT_EQ(readFile(a), "a");

    ShellFileOperation op(request(FO_COPY, {t.path("src/l"), t.path("src/p")}, t.mkdir("dst")));
    op.setErrorHandler([&](const FileOpError& e) { seen.push_back(e); return true; });
    op.run();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].problem, FileOpProblem::Special);
    struct stat st {};
    ASSERT_EQ(::lstat(t.path("dst/l").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_FALSE(exists(t.path("dst/p")));
}

TEST(ShellFileOp, ErrorHandlerCanStopTheOperation) {
    TempDir t;
    std::string a = t.write("src/a", "a"), b = t.write("src/b", "b");
    t.mkdir("dst/a"); // a folder where the file should go
    int calls = 0;
    ShellFileOperation op(request(FO_COPY, {a, b}, t.path("dst")));
    op.setErrorHandler([&](const FileOpError&) { return ++calls, false; });
    EXPECT_EQ(op.run(), kErrorCancelled);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(exists(t.path("dst/b")));
}

TEST(ShellFileOp, WorkerThreadAndCancel) {
    TempDir t;
    std::string big = t.write("src/big", std::string(32 << 20, 'b'));
    ShellFileOperation op(request(FO_COPY, {big, t.write("src/small", "s")}, t.mkdir("dst")));
    op.setReplaceQuestion([](const ReplaceInfo&) { return ReplaceAnswer::Yes; });
    op.start();
    op.wait();
    EXPECT_TRUE(op.finished());
    EXPECT_EQ(op.result(), 0);

    ShellFileOperation stopped(request(FO_COPY, {big}, t.mkdir("dst2")));
    stopped.cancel();
    stopped.start();
    stopped.wait();
    EXPECT_EQ(stopped.result(), kErrorCancelled);
    EXPECT_FALSE(exists(t.path("dst2/big")));
}

TEST(ShellFileOp, DeleteWithUndoSendsEachItemWholeToTheTrash) {
    TrashHome h;
    const std::string a = h.t.write("work/a", "a");
    h.t.write("work/T/sub/x", "x");
    const std::string refused = h.t.write("work/refused", "r");
    ShellFileOperation op(request(FO_DELETE, {a, h.t.path("work/T"), refused}, {}));
    std::vector<std::string> handed;
    op.setTrashHandler([&](const std::string& p) {
        handed.push_back(p);
        return p == refused ? EACCES : moveToTrash(p);
    });
    EXPECT_EQ(op.run(), EACCES) << "a run with an item left behind is no success";
    EXPECT_EQ(handed.size(), 3u) << "the folder went as one item, not file by file";
    EXPECT_EQ(readFile(h.trashed("a")), "a");
    EXPECT_EQ(readFile(h.trashed("T/sub/x")), "x");
    EXPECT_EQ(readFile(refused), "r") << "what could not go stays where it was";
    ASSERT_EQ(op.errors().size(), 1u);
    EXPECT_EQ(op.errors()[0].path, refused);
    EXPECT_EQ(op.filesTotal(), 3u);
    EXPECT_EQ(op.filesDone(), 3u);

    // The desktop's trash unless told otherwise; a cancel stops between items.
    const std::string b = h.t.write("work/b", "b"), c = h.t.write("work/c", "c");
    ShellFileOperation byDefault(request(FO_DELETE, {b}, {}));
    EXPECT_EQ(byDefault.run(), 0);
    EXPECT_EQ(readFile(h.trashed("b")), "b");
    ShellFileOperation stopped(request(FO_DELETE, {c}, {}));
    stopped.cancel();
    EXPECT_EQ(stopped.run(), kErrorCancelled);
    EXPECT_TRUE(exists(c));

    h.t.write("work/gone/sub/x", "x");
    ShellFileOperation gone(request(FO_DELETE, {h.t.path("work/gone")}, {}, 0));
    EXPECT_EQ(gone.run(), 0);
    EXPECT_FALSE(exists(h.t.path("work/gone")));
}

// One source copied to a path of its own: a new name beside it, into an existing folder,
// onto itself, or into a folder that is not there.
TEST(ShellFileOp, OneSourceGoesToTheNameGiven) {
    TempDir t;
    const std::string s = t.write("a.txt", "a");
    t.write("T/x", "x");
    t.mkdir("F");
    struct Case {
        std::string src, to, expectAt;
        int result;
    } cases[] = {
        {s, t.path("b.txt"), t.path("b.txt"), 0},
        {s, t.path("F"), t.path("F/a.txt"), 0},
        {t.path("T"), t.path("U"), t.path("U/x"), 0},
        {s, s, s, EINVAL},
        {t.path("T"), t.path("T/inner"), "", kErrorCancelled},
        {s, t.path("missing/b.txt"), "", ENOENT},
    };
    for (const auto& c : cases) {
        ShellFileOpRequest r = request(FO_COPY, {c.src}, c.to, FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR);
        r.toIsTarget = true;
        ShellFileOperation op(r);
        EXPECT_EQ(op.run(), c.result) << c.to;
        if (!c.expectAt.empty()) {
            EXPECT_TRUE(exists(c.expectAt)) << c.to;
        }
    }
    EXPECT_EQ(readFile(s), "a") << "a copy onto itself leaves the house as it was";
    EXPECT_FALSE(exists(t.path("T/inner")));
}

} // namespace
