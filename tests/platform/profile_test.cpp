#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/profile.h"

#include "support/tempdir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <sys/stat.h>

using namespace g3;
using g3test::readFile;
using g3test::TempDir;
using g3test::writeFile;

TEST(ProfileFile, MatchesWithoutCaseAndKeepsForeignContent) {
    TempDir t;
    writeFile(t / "data.ini", "; a comment\r\n[Other]\r\nkeep=me\r\n[FORM]\r\nLeft=0x10\r\n"
                              "top=garbage\r\nwidth= 300\r\n");
    ProfileFile p(t / "data.ini");
    EXPECT_EQ(p.readInteger("form", "left", 50), 16);
    EXPECT_EQ(p.readInteger("form", "TOP", 50), 50);
    EXPECT_EQ(p.readInteger("form", "height", 240), 240);
    EXPECT_EQ(p.readString("other", "KEEP"), "me");

    ASSERT_TRUE(p.writeInteger("form", "top", 77));
    ASSERT_TRUE(p.writeString("newsec", "k", "v"));
    std::string text = readFile(t / "data.ini");
    EXPECT_NE(text.find("; a comment"), std::string::npos);
    EXPECT_NE(text.find("keep=me"), std::string::npos);
    ProfileFile again(t / "data.ini");
    EXPECT_EQ(again.readInteger("Form", "Top", 0), 77);
    EXPECT_EQ(again.readString("NEWSEC", "k"), "v");
}

TEST(ProfileFile, TruncatedOrBinaryFilesGiveDefaults) {
    TempDir t;
    writeFile(t / "bin.ini", std::string("\0\xff[fo\x01rm\nleft=", 14));
    ProfileFile p(t / "bin.ini");
    EXPECT_EQ(p.readInteger("form", "left", 50), 50);
    ProfileFile missing(t / "none.ini");
    EXPECT_EQ(missing.readString("a", "b", "def"), "def");
}

TEST(ProfileFile, AFailedWriteIsReportedAndKeepsTheValueInMemory) {
    TempDir t;
    // Root ignores folder permissions; a missing folder fails for everyone.
    ProfileFile q(t / "missing/data.ini");
    EXPECT_FALSE(q.writeString("s", "k", "v"));
    EXPECT_EQ(q.readString("s", "k"), "v");
}

// A file that is there but cannot be read keeps its lines: a write is refused with the
// read's reason rather than replacing the file with the one new value.
TEST(ProfileFile, AFileThatCannotBeReadIsNeverWrittenOver) {
    TempDir t;
    const std::string folder = t.mkdir("config"), file = folder + "/data.ini";
    writeFile(file, "[keep]\nk=1\n");
    ::chmod(t.root().c_str(), 0755);
    ::chmod(folder.c_str(), 0777);
    ::chmod(file.c_str(), 0200);
    const auto outcome = g3test::runUnprivileged([&] {
        ProfileFile p(file);
        return !p.writeString("new", "k", "v") && lastError() == EACCES;
    });
    if (outcome == g3test::Unprivileged::NotPossible) GTEST_SKIP() << "cannot drop privileges";
    EXPECT_EQ(outcome, g3test::Unprivileged::Passed);
    EXPECT_EQ(readFile(file), "[keep]\nk=1\n");
}

// Folder names are arbitrary bytes: what is written reads back exactly, and a value that a
// line cannot hold is refused without touching the file.
TEST(ProfileFile, ValuesReadBackExactlyAndLineBreaksAreRefused) {
    TempDir t;
    ProfileFile p(t / "data.ini");
    const std::string values[] = {"/plain", " /lead", "/trail\t", "\"/quoted\"", "'x'", "\"",
                                  "a=b;c", std::string("/\xff\x01" "bytes", 8), ""};
    for (const auto& v : values) {
        ASSERT_TRUE(p.writeString("Folder", "Path", v)) << v;
        EXPECT_EQ(ProfileFile(t / "data.ini").readString("Folder", "Path", "?"), v) << v;
    }
    ASSERT_TRUE(p.writeString("Folder", "Path", "/kept"));
    for (const char* v : {"/a\nb", "/a\rb", "/a\r\n[x]\r\nk=v"}) {
        EXPECT_FALSE(p.writeString("Folder", "Path", v)) << v;
        EXPECT_EQ(lastError(), EINVAL);
    }
    ProfileFile again(t / "data.ini");
    EXPECT_EQ(again.readString("Folder", "Path"), "/kept");
    EXPECT_FALSE(again.hasKey("x", "k"));
}

TEST(CodePage, WindowsTextIsKeptWhenUtf8AndDecodedAsCp932Otherwise) {
    EXPECT_TRUE(isValidUtf8("洞窟"));
    EXPECT_FALSE(isValidUtf8("\x93\xb4\x8c\x41"));
    // "洞窟" in CP932, and a name whose second byte is 0x5C ("表").
    EXPECT_EQ(windowsTextToUtf8("\x93\xb4\x8c\x41"), "洞窟");
    EXPECT_EQ(cp932ToUtf8("\x95\x5c"), "表");
    EXPECT_EQ(windowsTextToUtf8("C:\\work\\photos"), "C:\\work\\photos");
}
