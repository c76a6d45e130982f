// Compression into 7z: what goes in under which name, what is left out, and that the
// archive appears under its name only when it is complete.
#include "archive/archiverapi.h"
#include "archive/libs/freezejob.h"
#include "archivetools.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using g3::EntryProblem;
using g3test::shell;
using g3test::shellQuoted;

namespace {

class FreezeJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!g3test::haveTool("bsdtar")) GTEST_SKIP() << "bsdtar (libarchive-tools) is missing";
        tmp.write("work/a.txt", "alpha");
        tmp.write("work/sub/b.txt", std::string(300000, 'b'));
        tmp.write("work/日本語.txt", "nihongo");
    }
    int freeze(std::vector<std::string> names, g3::ReplaceQuestion q = {}) {
        job = std::make_unique<g3::FreezeJob>(archive, work, std::move(names));
        job->setReplaceQuestion(std::move(q));
        return job->run();
    }
    // The archive's regular files as bsdtar extracts them.
    std::map<std::string, std::string> unpacked() {
        g3test::removeTree(tmp / "check");
        tmp.mkdir("check");
        EXPECT_TRUE(
            shell("bsdtar -xf " + shellQuoted(archive) + " -C " + shellQuoted(tmp / "check")));
        return g3test::regularFiles(tmp / "check");
    }

    g3test::TempDir tmp;
    std::string work = tmp / "work";
    std::string archive = tmp / "work/work.7z";
    std::unique_ptr<g3::FreezeJob> job;
};

TEST_F(FreezeJobTest, StoresTheFilesUnderTheirRelativeNames) {
    ASSERT_EQ(symlink("a.txt", (work + "/link").c_str()), 0);
    ASSERT_EQ(mkfifo((work + "/pipe").c_str(), 0644), 0); // never opened: the run would hang
    EXPECT_EQ(freeze({"a.txt", "sub/b.txt", "日本語.txt", "link", "pipe", "gone.txt"}),
              g3::kArchiverEntriesFailed);
    const auto errors = job->errors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].problem, EntryProblem::Special);
    EXPECT_EQ(errors[1].problem, EntryProblem::Missing);
    if (g3test::haveTool("7z")) {
        EXPECT_TRUE(shell("7z t " + shellQuoted(archive)));
    }
    auto files = unpacked();
    EXPECT_EQ(files, (std::map<std::string, std::string>{{"a.txt", "alpha"},
                                                         {"sub/b.txt", std::string(300000, 'b')},
                                                         {"日本語.txt", "nihongo"}}));
    char target[16] = {};
    EXPECT_EQ(readlink((tmp / "check/link").c_str(), target, sizeof target), 5);
    EXPECT_EQ(std::string(target), "a.txt");
    // The archive is readable by others as a new file would be, and nothing else was left.
    struct stat st {};
    ASSERT_EQ(stat(archive.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0044, 0044u);
    EXPECT_EQ(g3test::allEntries(work).size(), 7u); // 3 files, sub, the link, the pipe, work.7z
}

TEST_F(FreezeJobTest, AnExistingArchiveIsReplacedOnlyWhenTheQuestionSaysSo) {
    tmp.write("work/work.7z", "old estate");
    struct Case {
        bool ask;
        g3::ReplaceAnswer answer;
        int result;
        bool replaced;
    } cases[] = {
        {false, {}, g3::kArchiverCannotWrite, false},
        {true, g3::ReplaceAnswer::No, g3::kArchiverCancelled, false},
        {true, g3::ReplaceAnswer::Yes, g3::kArchiverOk, true},
    };
    for (const auto& c : cases) {
        int asked = 0;
        g3::ReplaceQuestion q;
        if (c.ask)
            q = [&](const g3::ReplaceInfo&) {
                ++asked;
                return c.answer;
            };
        EXPECT_EQ(freeze({"a.txt"}, q), c.result);
        EXPECT_EQ(asked, c.ask ? 1 : 0);
        EXPECT_EQ(g3test::readFile(archive) != "old estate", c.replaced);
    }
    EXPECT_EQ(unpacked(), (std::map<std::string, std::string>{{"a.txt", "alpha"}}));
}

TEST_F(FreezeJobTest, ACancelledOrFailedRunLeavesNoArchive) {
    job = std::make_unique<g3::FreezeJob>(archive, work,
                                          std::vector<std::string>{"a.txt", "sub/b.txt"});
    job->cancel();
    EXPECT_EQ(job->run(), g3::kArchiverCancelled);
    EXPECT_FALSE(g3test::exists(archive));
    // A folder that is not there: nothing is made anywhere.
    archive = tmp / "work/nowhere/x.7z";
    EXPECT_EQ(freeze({"a.txt"}), g3::kArchiverCannotWrite);
    EXPECT_EQ(g3test::allEntries(work),
              (std::vector<std::string>{"a.txt", "sub", "sub/b.txt", "日本語.txt"}));
}

} // namespace
