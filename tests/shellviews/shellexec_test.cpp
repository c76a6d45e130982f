// Opening and running items: what counts as a program, and that every other file, execute
// bits or not, goes to the opener instead of being run.
#include "shellviews/shellexec.h"

#include "platform/shelllink.h"
#include "shellviews/shelltemp.h"
#include "support/programs.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace g3;
using g3test::writeFile;
using g3test::TempDir;
using g3test::awaitFile;

namespace {

struct Case {
    const char* name;
    std::string bytes;
    mode_t mode;
    bool program;
};

// The desktop's opener with the store it would ask first recording what it is given
// instead of opening it.
struct RecordingOpener : DesktopOpener {
    RecordingOpener() {
        associations = [this](const std::string& p, const std::string& d) {
            opened.emplace_back(p, d);
            return true;
        };
    }
    std::vector<std::pair<std::string, std::string>> opened;
};

} // namespace

TEST(ShellExecTest, ProgramsAreKnownByTheirContent) {
    TempDir t;
    const std::vector<Case> cases = {
        {"elf", std::string("\x7f" "ELF\x02\x01\x01", 7), 0755, true},
        {"script", "#!/bin/sh\nexit 0\n", 0755, true},
        {"shebang-only", "#!", 0755, true},
        {"document.txt", "touch hacked\n", 0755, false}, // every file of a FAT stick
        {"windows.exe", "MZ\x90\x00", 0755, false},
        {"script-without-bit", "#!/bin/sh\n", 0644, false},
        {"empty", "", 0755, false},
        {"hash", "#", 0755, false},
        {"short-elf", std::string("\x7f" "EL", 3), 0755, false},
    };
    for (const Case& c : cases) {
        const std::string p = t / c.name;
        writeFile(p, c.bytes);
        ASSERT_EQ(chmod(p.c_str(), c.mode), 0);
        EXPECT_EQ(isProgramFile(p), c.program) << c.name;
    }
    // Links are followed; folders, FIFOs and missing files are no programs (the FIFO is
    // never opened, which would block).
    ASSERT_EQ(symlink((t / "script").c_str(), (t / "link").c_str()), 0);
    EXPECT_TRUE(isProgramFile(t / "link"));
    ASSERT_EQ(mkdir((t / "folder").c_str(), 0755), 0);
    EXPECT_FALSE(isProgramFile(t / "folder"));
    ASSERT_EQ(mkfifo((t / "fifo").c_str(), 0755), 0);
    EXPECT_FALSE(isProgramFile(t / "fifo"));
    EXPECT_FALSE(isProgramFile(t / "missing"));
}

TEST(ShellExecTest, OnlyProgramsRunAndNeverByTheShell) {
    TempDir t;
    RecordingOpener opener;
    // A document with every execute bit goes to the opener.
    const std::string doc = t / "notes.txt";
    writeFile(doc, "touch \"" + t / "hacked" + "\"\n");
    ASSERT_EQ(chmod(doc.c_str(), 0777), 0);
    EXPECT_TRUE(opener.ShellExecuteItem(doc, t.path()));
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_EQ(opener.opened[0], std::make_pair(doc, t.path()));

    // A script runs in the working folder.
    g3test::makeFolders(t / "work");
    const std::string script = t / "write-pwd";
    const std::string part = "\"" + t / "ran.part" + "\"";
    writeFile(script, "#!/bin/sh\npwd > " + part + " && mv " + part + " \"" + t / "ran" + "\"\n");
    ASSERT_EQ(chmod(script.c_str(), 0755), 0);
    EXPECT_TRUE(opener.ShellExecuteItem(script, t / "work"));
    EXPECT_EQ(awaitFile(t / "ran"), t / "work" + "\n");

    // A script the kernel refuses (no interpreter named, or a missing one) is a failure,
    // not a run by the shell.
    for (const char* head : {"#!\n", "#!/no/such/interpreter\n"}) {
        const std::string broken = t / "broken";
        writeFile(broken, head + ("touch \"" + t / "ran2" + "\"\n"));
        ASSERT_EQ(chmod(broken.c_str(), 0755), 0);
        EXPECT_FALSE(opener.ShellExecuteItem(broken, t.path())) << head;
    }
    EXPECT_NE(access((t / "ran2").c_str(), F_OK), 0);
    EXPECT_EQ(opener.opened.size(), 1u);
}

// A shortcut opens what it leads to, in its working folder when that exists, else in the
// caller's; a file named .lnk that is no link is opened as itself.
TEST(ShellExecTest, AShortcutOpensWhatItLeadsTo) {
    TempDir t;
    RecordingOpener opener;
    const std::string doc = t / "a doc.txt";
    writeFile(doc, "A");
    g3test::makeFolders(t / "work");
    const struct {
        const char* link;
        std::string workDir;
        std::pair<std::string, std::string> opened;
    } cases[] = {
        {"a.lnk", t / "work", {doc, t / "work"}},
        {"b.lnk", "", {doc, t.path()}},
        {"c.lnk", t / "gone", {doc, t.path()}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(writeShellLink(t / c.link, doc, c.workDir), 0);
        opener.opened.clear();
        EXPECT_TRUE(opener.ShellExecuteItem(t / c.link, t.path()));
        ASSERT_EQ(opener.opened.size(), 1u) << c.link;
        EXPECT_EQ(opener.opened[0], c.opened) << c.link;
    }
    writeFile(t / "junk.lnk", "junk");
    opener.opened.clear();
    EXPECT_TRUE(opener.ShellExecuteItem(t / "junk.lnk", t.path()));
    EXPECT_EQ(opener.opened.at(0).first, t / "junk.lnk");
}
