// The four modules through their entry points, loaded from DLL/ as the program loads them:
// every archive of the corpus, compared with what bsdtar makes of it, and the damaged and
// hostile ones, which must end in a report with nothing written outside the destination.
#include "archive/archivebridge.h"
#include "archive/archiverapi.h"
#include "archive/libs/thawjob.h"
#include "archivetools.h"
#include "support/tempdir.h"

#include "platform/paths.h"
#include "platform/xdgdirs.h"

#include <gtest/gtest.h>

#include <map>

using g3test::shell;
using g3test::shellQuoted;

namespace {

// The module the program would choose for an archive of this format.
const g3::ArchiverModule& moduleForCorpusFile(const std::string& name) {
    if (name.find("7zip") != std::string::npos) return *g3::archiverFor("x.7z");
    if (name.find("zip") != std::string::npos) return *g3::archiverFor("x.zip");
    if (name.find("rar") != std::string::npos) return *g3::archiverFor("x.rar");
    if (name.find("cab") != std::string::npos) return *g3::archiverFor("x.cab");
    return *g3::archiverFor("x.lzh");
}

g3test::ModuleCall thaw(const std::string& archive, const std::string& dest) {
    const g3::ArchiverModule& m = moduleForCorpusFile(g3::namePart(archive));
    return g3test::callArchiver(m.library, m.entry, g3::thawCommandLine(m, archive, dest));
}

// bsdtar's names are the archive's bytes; ours are those bytes read as UTF-8 or CP932.
std::map<std::string, std::string> asOurNames(const std::map<std::string, std::string>& files) {
    std::map<std::string, std::string> out;
    for (const auto& [name, data] : files)
        out[g3::entryNameUtf8(name)] = data;
    return out;
}

class ModulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (g3test::corpusArchives().empty()) GTEST_SKIP() << "no corpus beside the project";
        if (!g3test::haveTool("bsdtar")) GTEST_SKIP() << "bsdtar (libarchive-tools) is missing";
    }
};

TEST_F(ModulesTest, GoodArchivesGiveTheFilesBsdtarGives) {
    const auto files = g3test::corpusFiles("good");
    ASSERT_FALSE(files.empty());
    for (const std::string& f : files) {
        SCOPED_TRACE(f);
        g3test::TempDir tmp;
        const std::string a = g3::joinPath(g3test::corpusArchives(), "good/" + f);
        tmp.mkdir("theirs");
        ASSERT_TRUE(
            shell("cd " + shellQuoted(tmp / "theirs") + " && bsdtar -xf " + shellQuoted(a)));
        const g3test::ModuleCall call = thaw(a, tmp / "ours");
        EXPECT_NE(call.result, -1) << "module not loaded";
        EXPECT_FALSE(call.output.empty());
        const auto theirs = asOurNames(g3test::regularFiles(tmp / "theirs"));
        const auto ours = g3test::regularFiles(tmp / "ours");
        EXPECT_EQ(ours.size(), theirs.size());
        EXPECT_TRUE(ours == theirs);
    }
}

TEST_F(ModulesTest, BadAndHostileArchivesEndInAReportAndStayInTheDestination) {
    const std::string escaped = "/tmp/escaped_absolute.txt";
    const bool escapedBefore = g3test::exists(escaped);
    for (const char* folder : {"bad", "hostile"}) {
        const auto files = g3test::corpusFiles(folder);
        ASSERT_FALSE(files.empty());
        for (const std::string& f : files) {
            SCOPED_TRACE(std::string(folder) + "/" + f);
            g3test::TempDir tmp;
            const std::string a = tmp / "in.bin";
            g3test::writeFile(a, g3test::readFile(g3::joinPath(g3test::corpusArchives(),
                                                               std::string(folder) + "/" + f)));
            // A module picks its module by the archive's own name.
            const std::string named = tmp / f;
            ASSERT_EQ(rename(a.c_str(), named.c_str()), 0);
            const g3test::ModuleCall call = thaw(named, tmp / "out/x");
            EXPECT_NE(call.result, g3::kArchiverOk);
            EXPECT_NE(call.output.find("冷凍団地"), std::string::npos) << call.output;
            for (const std::string& e : g3test::allEntries(tmp.path()))
                EXPECT_TRUE(e == f || e == "out" || e.rfind("out/x", 0) == 0) << e;
        }
    }
    if (!escapedBefore) {
        EXPECT_FALSE(g3test::exists(escaped));
    }
}

TEST_F(ModulesTest, AnArchiveFrozenByTheModuleThawsBack) {
    g3test::TempDir tmp;
    tmp.write("work/a.txt", "alpha");
    tmp.write("work/sub/b.txt", "beta");
    const std::string here = g3::processFolder();
    ASSERT_EQ(chdir((tmp / "work").c_str()), 0);
    auto call = g3test::callArchiver("7-zip32.dll", "SevenZip",
                                     g3::freezeCommandLine("work", {"a.txt", "sub/b.txt"}));
    ASSERT_EQ(chdir(here.c_str()), 0);
    EXPECT_EQ(call.result, g3::kArchiverOk) << call.output;
    const g3::ArchiverModule& m = *g3::archiverFor("work.7z");
    call = g3test::callArchiver(m.library, m.entry,
                                g3::thawCommandLine(m, tmp / "work/work.7z", tmp / "back"));
    EXPECT_EQ(call.result, g3::kArchiverOk) << call.output;
    EXPECT_EQ(g3test::regularFiles(tmp / "back"),
              (std::map<std::string, std::string>{{"a.txt", "alpha"}, {"sub/b.txt", "beta"}}));
}

TEST_F(ModulesTest, EachModuleRefusesLinesItDoesNotKnow) {
    struct Case {
        const char* library;
        const char* entry;
        const char* line;
    } cases[] = {
        {"UNLHA32.DLL", "Unlha", "-x \"/a.lzh\" \"/a/\""},
        {"7-zip32.dll", "SevenZip", "x \"/a.zip\" \"/a/\""},
        {"cab32.dll", "Cab", "a \"x.7z\"  \"a.txt\""},
        {"unrar32.dll", "Unrar", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        auto call = g3test::callArchiver(c.library, c.entry, c.line);
        EXPECT_EQ(call.result, g3::kArchiverBadCommand);
        EXPECT_NE(call.output.find("分かりません"), std::string::npos);
    }
}

} // namespace
