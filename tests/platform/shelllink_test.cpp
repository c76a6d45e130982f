// Shortcut files: what the writer puts in, read back by our parser and by lnkinfo (the
// format's independent reader), and the parser against damaged bytes.
#include "platform/shelllink.h"

#include "platform/errors.h"
#include "support/programs.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace g3;
using namespace g3test;

namespace {

// lnkinfo's value for a field ("Local path", "Working directory", ...), or "(none)".
std::string lnkinfoField(const std::string& info, const std::string& field) {
    const std::size_t at = info.find("\t" + field);
    if (at == std::string::npos) return "(none)";
    const std::size_t colon = info.find(": ", at);
    const std::size_t end = info.find('\n', colon);
    return info.substr(colon + 2, end - colon - 2);
}

} // namespace

// Each link reads back through our parser and, where its paths are UTF-8, through lnkinfo.
TEST(ShellLinkTest, WhatIsWrittenReadsBack) {
    TempDir t;
    t.write("work/report.doc", "twelve bytes");
    t.write("日本/家 a.txt", "x");
    t.write("bad\xff/n\xfe.txt", "x");
    t.mkdir("links");
    t.mkdir("a folder");
    const struct {
        std::string target, workDir, link, relative; // below t, but the relative path
    } cases[] = {
        {"work/report.doc", "work", "work/report.docへの近道.lnk", "./report.doc"},
        {"work/report.doc", "", "links/x.lnk", "../work/report.doc"},
        {"日本/家 a.txt", "日本", "links/j.lnk", "../日本/家 a.txt"},
        {"bad\xff/n\xfe.txt", "bad\xff", "links/b.lnk", "../bad\xff/n\xfe.txt"},
        {"a folder", "work", "links/f.lnk", "../a folder"},
    };
    const bool lnkinfo = access("/usr/bin/lnkinfo", X_OK) == 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        const std::string target = t / c.target, link = t / c.link;
        const std::string workDir = c.workDir.empty() ? "" : t / c.workDir;
        ASSERT_EQ(writeShellLink(link, target, workDir), 0);
        const std::optional<ShellLink> l = parseShellLink(readFile(link));
        ASSERT_TRUE(l);
        EXPECT_EQ(l->localPath(), target);
        EXPECT_EQ(l->workingDir, workDir);
        EXPECT_EQ(l->relativePath, c.relative);
        EXPECT_EQ(l->flags & 0x10, workDir.empty() ? 0u : 0x10u);
        EXPECT_EQ(l->attributes, c.target == "a folder" ? 0x10u : 0x20u);
        const std::optional<ShortcutTarget> to = readShortcut(link);
        ASSERT_TRUE(to);
        EXPECT_EQ(to->path, target);
        EXPECT_EQ(to->workingDir, workDir);
        if (!lnkinfo || c.target.find('\xff') != std::string::npos) continue; // it shows UTF-8 only
        const std::string info = commandOutput("lnkinfo " + shellQuoted(link) + " 2>&1; echo status=$?");
        EXPECT_NE(info.find("status=0"), std::string::npos) << info;
        EXPECT_EQ(lnkinfoField(info, "Local path"), target) << info;
        EXPECT_EQ(lnkinfoField(info, "Working directory"), workDir.empty() ? "(none)" : workDir) << info;
        EXPECT_EQ(lnkinfoField(info, "Relative path"), c.relative) << info;
    }
    EXPECT_TRUE(lnkinfo) << "lnkinfo (liblnk-utils) is not installed: links not checked by it";
    // Nothing but the links is left beside them.
    EXPECT_EQ(commandOutput("ls -A " + shellQuoted(t / "links") + " | wc -l"), "4");
}

TEST(ShellLinkTest, ReplacesAnOldLinkAndFailsWithoutLeavingAnything) {
    TempDir t;
    const std::string target = t.write("a.txt", "A");
    const std::string link = t.write("a.lnk", "old");
    ASSERT_EQ(writeShellLink(link, target, ""), 0);
    EXPECT_TRUE(parseShellLink(g3test::readFile(link)));
    EXPECT_EQ(writeShellLink(t / "missing/a.lnk", target, ""), ENOENT);
    EXPECT_FALSE(g3test::exists(t / "missing"));
}

TEST(ShellLinkTest, ParserRefusesDamagedInput) {
    TempDir t;
    const std::string target = t.write("\xe6\x97\xa5/report.doc", "x");
    ASSERT_EQ(writeShellLink(t / "l.lnk", target, t.path()), 0);
    const std::string good = g3test::readFile(t / "l.lnk");
    ASSERT_TRUE(parseShellLink(good));
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(parseShellLink(std::string_view(good).substr(0, n))) << "cut at " << n;

    auto patched = [&](std::size_t at, std::uint32_t v) {
        std::string b = good;
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
        return b;
    };
    const std::size_t info = 0x4C; // LinkInfo follows the header
    const struct {
        const char* what;
        std::string bytes;
    } damaged[] = {
        {"class id", patched(4, 0)},
        {"link info size past the end", patched(info, 0x7FFFFFFF)},
        {"base path offset past the end", patched(info + 16, 0xFFFF)},
        {"unicode base path offset past the end", patched(info + 28, 0xFFFFFFFF)},
        // The working folder, the last string, before the terminal block.
        {"string count past the end", patched(good.size() - 4 - 2 * t.path().size() - 2, 0xFFFF)},
        {"a block in place of the terminal one", good.substr(0, good.size() - 4) + std::string("\x10\0\0\0", 4)},
    };
    for (const auto& d : damaged) EXPECT_FALSE(parseShellLink(d.bytes)) << d.what;
}

TEST(ShellLinkTest, ReadShortcutOnlyReadsLinkFiles) {
    TempDir t;
    const std::string target = t.write("a.txt", "A");
    ASSERT_EQ(writeShellLink(t / "a.LNK", target, ""), 0);
    EXPECT_TRUE(readShortcut(t / "a.LNK"));
    ASSERT_EQ(writeShellLink(t / "a.bin", target, ""), 0);
    EXPECT_FALSE(readShortcut(t / "a.bin")); // not named as a link
    ASSERT_EQ(mkfifo((t / "fifo.lnk").c_str(), 0600), 0);
    EXPECT_FALSE(readShortcut(t / "fifo.lnk")); // never opened, which would block
    g3test::makeFolders(t / "dir.lnk");
    EXPECT_FALSE(readShortcut(t / "dir.lnk"));
    t.write("junk.lnk", "not a link");
    EXPECT_FALSE(readShortcut(t / "junk.lnk"));
    EXPECT_FALSE(readShortcut(t / "missing.lnk"));
    EXPECT_TRUE(isShortcutName("x.Lnk"));
    EXPECT_FALSE(isShortcutName(".lnk"));
}
