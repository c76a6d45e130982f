// The desktop's side of an association, checked with the desktop's own tools in a home of
// its own: xdg-mime sees the type and the default, desktop-file-validate passes the entry,
// and gio open starts the program with the file.
//
// GLib reads the user's folders once per process, so the whole program runs in one
// temporary home, set before anything asks.
#include "platform/desktopassoc.h"

#include "platform/errors.h"
#include "support/programs.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace g3;
using namespace g3test;

namespace {

// Before main: no GLib call may come first.
const DesktopHome home;

bool have(const char* tool) { return commandOutput(std::string("command -v ") + tool) != ""; }

} // namespace

class DesktopAssocTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"xdg-mime", "mimetype", "update-mime-database", "gio", "desktop-file-validate"})
            if (!have(tool)) GTEST_SKIP() << tool << " is missing (tools/packages.txt lists its package)";
    }
    TempDir apps;
};

// A known extension takes the database's type; the other entries of mimeapps.list stay.
TEST_F(DesktopAssocTest, KnownTypeGetsTheProgramAsItsDefault) {
    const std::string config = home.dir / ".config/mimeapps.list";
    g3test::makeFolders(home.dir / ".config");
    g3test::writeFile(config, "[Default Applications]\nimage/png=viewer.desktop\n\n[Removed Associations]\ntext/html=old.desktop;\n");
    // A path without reserved characters stands unquoted in Exec, where xdg-mime finds it.
    const std::string editor = apps / "editor.exe";
    writeRecordingProgram(editor);
    DesktopRegistration r;
    ASSERT_TRUE(registerWithDesktop("TXT", editor, r)) << lastError();
    EXPECT_EQ(r.mimeType, "text/plain");
    EXPECT_EQ(r.desktopFile, home.dir / ".local/share/applications/grottan3_txt.desktop");
    EXPECT_EQ(commandOutput("xdg-mime query default text/plain"), "grottan3_txt.desktop");
    const std::string list = g3test::readFile(config);
    EXPECT_NE(list.find("image/png=viewer.desktop"), std::string::npos) << list;
    EXPECT_NE(list.find("[Removed Associations]\ntext/html=old.desktop;"), std::string::npos) << list;
    EXPECT_EQ(commandOutput("desktop-file-validate " + shellQuoted(r.desktopFile) + " 2>&1; echo $?"), "0");
}

// An unknown extension gets a type of its own, which the database then gives such files;
// gio open starts the program with the file, and a second association takes its place.
TEST_F(DesktopAssocTest, UnknownTypeIsDefinedAndOpensWithTheProgram) {
    // A path with every character the Exec line has to escape.
    const std::string first = apps / "fi$rst `\"x\"` \\ 'prog'";
    const std::string second = apps / "second";
    const std::string record1 = writeRecordingProgram(first), record2 = writeRecordingProgram(second);
    const std::string doc = apps / "a doc.g3z";
    g3test::writeFile(doc, "data");

    DesktopRegistration r;
    ASSERT_TRUE(registerWithDesktop("g3z", first, r)) << lastError();
    EXPECT_EQ(r.mimeType, "application/x-grottan3-g3z");
    EXPECT_EQ(commandOutput("xdg-mime query filetype " + shellQuoted(doc)), r.mimeType);
    EXPECT_EQ(commandOutput("desktop-file-validate " + shellQuoted(r.desktopFile) + " 2>&1; echo $?"), "0");
    EXPECT_EQ(commandOutput("gio open " + shellQuoted(doc) + " 2>&1"), "");
    EXPECT_EQ(awaitFile(record1), doc + "\n");

    DesktopRegistration again;
    ASSERT_TRUE(registerWithDesktop("G3Z", second, again));
    EXPECT_EQ(again.mimeType, r.mimeType);
    EXPECT_EQ(again.desktopFile, r.desktopFile);
    EXPECT_EQ(commandOutput("xdg-mime query default " + r.mimeType), "grottan3_g3z.desktop");
    EXPECT_EQ(commandOutput("gio open " + shellQuoted(doc) + " 2>&1"), "");
    EXPECT_EQ(awaitFile(record2), doc + "\n");
}

// A double-byte extension: its type's name is made of the bytes' hex digits. (GIO's own
// lookup matches ASCII suffixes only; xdg-mime's finds this one.)
TEST_F(DesktopAssocTest, DoubleByteExtensionsGetATypeToo) {
    const std::string program = apps / "viewer";
    writeRecordingProgram(program);
    const std::string doc = apps / "x.\xe6\x96\x87\xe6\x9b\xb8"; // x.文書
    g3test::writeFile(doc, "data");
    DesktopRegistration r;
    ASSERT_TRUE(registerWithDesktop("\xe6\x96\x87\xe6\x9b\xb8", program, r)) << lastError();
    EXPECT_EQ(r.mimeType, "application/x-grottan3-_e6_96_87_e6_9b_b8");
    EXPECT_EQ(commandOutput("xdg-mime query filetype " + shellQuoted(doc)), r.mimeType);
    EXPECT_EQ(commandOutput("xdg-mime query default " + r.mimeType), "grottan3__e6_96_87_e6_9b_b8.desktop");
}

TEST_F(DesktopAssocTest, PathsADesktopEntryCannotHoldAreRefused) {
    const struct {
        std::string ext, program;
        int error;
    } cases[] = {
        {"bin", apps / "bad\xff", EILSEQ},
        {"bi\xff", apps / "prog", EILSEQ},
        {"bin", apps / "100% prog", EINVAL},
    };
    for (const auto& c : cases) {
        DesktopRegistration r;
        EXPECT_FALSE(registerWithDesktop(c.ext, c.program, r)) << c.program;
        EXPECT_EQ(lastError(), c.error);
    }
    EXPECT_FALSE(g3test::exists(home.dir / ".local/share/applications/grottan3_bin.desktop"));
}
