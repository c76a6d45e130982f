// Extraction by the modules' core: names and links that would leave the destination, the
// replace question, what is never made, names in CP932, and archives made by other
// programs.
#include "archive/archiverapi.h"
#include "archive/libs/thawjob.h"
#include "archivetools.h"
#include "support/tempdir.h"

#include "platform/paths.h"
#include "platform/xdgdirs.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <map>

using g3::EntryProblem;
using g3::ReplaceAnswer;
using g3test::regularFiles;
using g3test::shell;
using g3test::shellQuoted;

namespace {

TEST(EntryNames, StayBelowTheDestination) {
    struct Case {
        const char* name;
        const char* clean; // nullptr: refused
        EntryProblem problem;
    } cases[] = {
        {"a/b.txt", "a/b.txt", {}},
        {"./a//b/", "a/b", {}},
        {".", "", {}},
        {"...", "...", {}},
        {"a..b/..c", "a..b/..c", {}},
        {"/tmp/x", nullptr, EntryProblem::Absolute},
        {"//x", nullptr, EntryProblem::Absolute},
        {"..", nullptr, EntryProblem::DotDot},
        {"a/../../b", nullptr, EntryProblem::DotDot},
        {"a/..", nullptr, EntryProblem::DotDot},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EntryProblem why = EntryProblem::System;
        auto clean = g3::cleanEntryName(c.name, why);
        if (c.clean) {
            ASSERT_TRUE(clean.has_value());
            EXPECT_EQ(*clean, c.clean);
        } else {
            EXPECT_FALSE(clean.has_value());
            EXPECT_EQ(why, c.problem);
        }
    }
}

TEST(EntryNames, LinksMustPointBelowTheDestination) {
    struct Case {
        const char* name;
        const char* target;
        bool inside;
    } cases[] = {
        {"l", "x", true},
        {"l", "./x/y", true},
        {"d/l", "../x", true},
        {"d/e/l", "../../a/b", true},
        {"l", ".", true},
        {"l", "", false},
        {"l", "/tmp", false},
        {"l", "..", false},
        {"d/l", "../../x", false},
        {"l", "sub/y/..", false},
        {"d/l", "x/../../y", false},
        {"d/l", "../x/../..", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " -> " + c.target);
        EXPECT_EQ(g3::linkStaysInside(c.name, c.target), c.inside);
    }
}

TEST(EntryNames, BytesThatAreNotUtf8AreReadAsCp932) {
    EXPECT_EQ(g3::entryNameUtf8("表/a.txt"), "表/a.txt");
    EXPECT_EQ(g3::entryNameUtf8("\x95\x5c/\x8a\xbf\x8e\x9a.txt"), "表/漢字.txt");
}

class ThawJobTest : public ::testing::Test {
protected:
    // Makes an archive of the staged tree (or of the named entries, in that order) with
    // bsdtar in the given format.
    std::string pack(const std::string& format, const std::string& name,
                     const std::string& entries = ".") {
        const std::string a = tmp / name;
        EXPECT_TRUE(shell("cd " + shellQuoted(stage) + " && bsdtar --format " + format + " -cf " +
                          shellQuoted(a) + " " + entries));
        return a;
    }
    int thaw(const std::string& archive, unsigned families = g3::kFamilyAll) {
        job = std::make_unique<g3::ThawJob>(archive, out, families);
        if (!answers.empty())
            job->setReplaceQuestion([this](const g3::ReplaceInfo& info) {
                asked.push_back(g3::namePart(info.path));
                ReplaceAnswer a = answers.front();
                if (answers.size() > 1) answers.erase(answers.begin());
                return a;
            });
        return job->run();
    }
    std::map<std::string, EntryProblem> problems() const {
        std::map<std::string, EntryProblem> m;
        for (const auto& e : job->errors())
            m[e.name] = e.problem;
        return m;
    }
    void SetUp() override {
        if (!g3test::haveTool("bsdtar")) GTEST_SKIP() << "bsdtar (libarchive-tools) is missing";
    }

    g3test::TempDir tmp;
    std::string stage = tmp.mkdir("stage");
    std::string out = tmp / "out/dest";
    std::unique_ptr<g3::ThawJob> job;
    std::vector<ReplaceAnswer> answers;
    std::vector<std::string> asked;
};

TEST_F(ThawJobTest, LinksStayInsideAndNothingIsWrittenThroughThem) {
    tmp.mkdir("stage/sub");
    ASSERT_EQ(symlink("..", (stage + "/sub/up").c_str()), 0);     // inside: the destination
    ASSERT_EQ(symlink("sub/up/..", (stage + "/esc").c_str()), 0); // out, through sub/up
    ASSERT_EQ(symlink("../../etc", (stage + "/sub/far").c_str()), 0);
    ASSERT_EQ(symlink("sub", (stage + "/near").c_str()), 0);
    tmp.write("stage/sub/f.txt", "f");
    EXPECT_EQ(thaw(pack("zip", "links.zip")), g3::kArchiverEntriesFailed);
    auto p = problems();
    EXPECT_EQ(p["esc"], EntryProblem::LinkOutside);
    EXPECT_EQ(p["sub/far"], EntryProblem::LinkOutside);
    char buf[64] = {};
    EXPECT_GT(readlink((out + "/sub/up").c_str(), buf, sizeof buf), 0);
    EXPECT_GT(readlink((out + "/near").c_str(), buf, sizeof buf), 0);
    EXPECT_FALSE(g3test::exists(out + "/esc"));
    EXPECT_EQ(g3test::readFile(out + "/near/f.txt"), "f");
}

TEST_F(ThawJobTest, SpecialFilesAreNotMadeAndSetIdBitsAreDropped) {
    tmp.write("stage/tool", "#!/bin/sh\n");
    ASSERT_EQ(chmod((stage + "/tool").c_str(), 06755), 0);
    ASSERT_EQ(mkfifo((stage + "/pipe").c_str(), 0644), 0);
    const bool device = mknod((stage + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    EXPECT_EQ(thaw(pack("7zip", "special.7z")), g3::kArchiverEntriesFailed);
    struct stat st {};
    ASSERT_EQ(stat((out + "/tool").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07000, 0u);
    EXPECT_EQ(st.st_mode & 0100, 0100u);
    EXPECT_FALSE(g3test::exists(out + "/pipe"));
    EXPECT_EQ(problems()["pipe"], EntryProblem::Special);
    if (device) {
        EXPECT_FALSE(g3test::exists(out + "/null"));
        EXPECT_EQ(problems()["null"], EntryProblem::Special);
    }
}

TEST_F(ThawJobTest, ExistingFilesAreReplacedOnlyWhenTheQuestionSaysSo) {
    for (const char* n : {"a", "b", "c", "d"})
        tmp.write(std::string("stage/") + n, std::string("new ") + n);
    const std::string a = pack("zip", "four.zip", "a b c d");
    auto oldTree = [&] {
        g3test::removeTree(tmp / "out");
        for (const char* n : {"a", "b", "c", "d"})
            tmp.write(std::string("out/dest/") + n, "old");
    };
    struct Case {
        std::vector<ReplaceAnswer> answers;
        std::string after; // contents of a, b, c, d joined by ","
        std::size_t questions;
    } cases[] = {
        {{ReplaceAnswer::Yes, ReplaceAnswer::No}, "new a,old,old,old", 4},
        {{ReplaceAnswer::No, ReplaceAnswer::YesToAll}, "old,new b,new c,new d", 2},
        {{ReplaceAnswer::Yes, ReplaceAnswer::Cancel}, "new a,old,old,old", 2},
    };
    for (const auto& c : cases) {
        oldTree();
        answers = c.answers;
        asked.clear();
        thaw(a);
        std::string after;
        for (const char* n : {"a", "b", "c", "d"})
            after += (after.empty() ? "" : ",") + g3test::readFile(out + "/" + n);
        EXPECT_EQ(after, c.after);
        EXPECT_EQ(asked.size(), c.questions);
        EXPECT_TRUE(job->errors().empty());
    }
    // Nobody to ask: nothing is replaced, and each is reported.
    oldTree();
    answers.clear();
    EXPECT_EQ(thaw(a), g3::kArchiverEntriesFailed);
    EXPECT_EQ(problems()["c"], EntryProblem::NotReplaced);
    EXPECT_EQ(g3test::readFile(out + "/c"), "old");
    // Nothing of the mover's is left beside them.
    EXPECT_EQ(g3test::allEntries(out), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST_F(ThawJobTest, ADamagedFileIsTakenBackAndTheOneItWouldReplaceKept) {
    tmp.write("stage/big.bin", std::string(200000, 'x') + std::string(200000, 'y'));
    std::string a = pack("zip", "big.zip");
    std::string bytes = g3test::readFile(a);
    g3test::writeFile(a, bytes.substr(0, bytes.size() / 2)); // cut in the middle of the data
    tmp.write("out/dest/big.bin", "precious");
    answers = {ReplaceAnswer::Yes};
    EXPECT_NE(thaw(a, g3::kFamilyZip), g3::kArchiverOk);
    EXPECT_EQ(g3test::readFile(out + "/big.bin"), "precious");
    EXPECT_FALSE(job->errors().empty());
    EXPECT_EQ(g3test::allEntries(out), std::vector<std::string>{"big.bin"});
}

TEST_F(ThawJobTest, AFolderAndAFileOfOneNameDoNotReplaceEachOther) {
    tmp.write("stage/x/inner.txt", "i");
    tmp.write("stage/y", "file");
    const std::string a = pack("zip", "clash.zip");
    tmp.write("out/dest/x", "a house where the cave goes");
    tmp.write("out/dest/y/keep.txt", "k");
    EXPECT_EQ(thaw(a), g3::kArchiverEntriesFailed);
    EXPECT_EQ(problems()["y"], EntryProblem::FolderInTheWay);
    EXPECT_EQ(g3test::readFile(out + "/x"), "a house where the cave goes");
    EXPECT_EQ(g3test::readFile(out + "/y/keep.txt"), "k");
}

TEST_F(ThawJobTest, AnotherModulesFormatIsNotReadAndNoFolderIsMade) {
    tmp.write("stage/a.txt", "a");
    EXPECT_EQ(thaw(pack("zip", "a.zip"), g3::kFamilyLha), g3::kArchiverCannotRead);
    EXPECT_EQ(job->errors().at(0).problem, EntryProblem::NotArchive);
    EXPECT_FALSE(g3test::exists(out));
    EXPECT_EQ(thaw(tmp / "none.zip"), g3::kArchiverCannotRead);
    EXPECT_EQ(job->errors().at(0).problem, EntryProblem::System);
}

TEST_F(ThawJobTest, Cp932NamesOfAZipMadeInTheCLocaleComeOutAsUtf8) {
    if (!g3test::haveTool("zip")) GTEST_SKIP() << "zip is missing";
    tmp.write("stage/\x95\x5c/\x8a\xbf\x8e\x9a.txt", "kanji");
    const std::string a = tmp / "cp932.zip";
    ASSERT_TRUE(
        shell("cd " + shellQuoted(stage) + " && LC_ALL=C zip -qr " + shellQuoted(a) + " ."));
    const std::string here = g3::processFolder();
    EXPECT_EQ(thaw(a, g3::kFamilyZip), g3::kArchiverOk);
    EXPECT_EQ(regularFiles(out), (std::map<std::string, std::string>{{"表/漢字.txt", "kanji"}}));
    EXPECT_EQ(g3::processFolder(), here); // the job worked inside the destination, then left
}

TEST_F(ThawJobTest, ArchivesMadeByOtherProgramsComeOutWhole) {
    tmp.write("stage/a.txt", "alpha");
    tmp.write("stage/sub/b.txt", std::string(5000, 'b'));
    tmp.write("stage/日本語.txt", "nihongo");
    std::map<std::string, std::string> all = regularFiles(stage), ascii = all;
    ascii.erase("日本語.txt");
    struct Case {
        const char* tool;
        const char* name;
        const char* command; // run in the staged folder; %A the archive
        unsigned family;
        bool japanese; // the tool stores the Japanese name right in any UTF-8 locale
    } cases[] = {
        {"7z", "x.7z", "7z a -t7z -bd %A a.txt sub 日本語.txt", g3::kFamily7z, true},
        {"7z", "x.zip", "7z a -tzip -bd %A a.txt sub 日本語.txt", g3::kFamilyZip, true},
        {"jlha", "x.lzh", "jlha a %A a.txt sub/b.txt", g3::kFamilyLha, false},
        {"jlha", "x5.lzh", "jlha ao5 %A a.txt sub/b.txt", g3::kFamilyLha, false},
        {"gcab", "x.cab", "gcab -c -z %A a.txt sub/b.txt 日本語.txt", g3::kFamilyCab, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!g3test::haveTool(c.tool)) continue;
        std::string cmd = c.command;
        cmd.replace(cmd.find("%A"), 2, shellQuoted(tmp / c.name));
        ASSERT_TRUE(shell("cd " + shellQuoted(stage) + " && LC_ALL=C.UTF-8 " + cmd));
        g3test::removeTree(tmp / "out");
        EXPECT_EQ(thaw(tmp / c.name, c.family), g3::kArchiverOk);
        EXPECT_TRUE(regularFiles(out) == (c.japanese ? all : ascii));
    }
}

} // namespace
