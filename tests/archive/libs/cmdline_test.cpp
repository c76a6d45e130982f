// The command lines the modules are given, and the ones they must refuse.
#include "archive/libs/cmdline.h"

#include <gtest/gtest.h>

using g3::ArchiverOp;
using g3::CommandStyle;

namespace {

TEST(CommandLine, ReadsTheLinesOfEachModule) {
    struct Case {
        CommandStyle style;
        const char* line;
        ArchiverOp op;
        const char* archive;
        const char* dest;
        std::vector<std::string> files;
    } cases[] = {
        {CommandStyle::Lha,
         "x \"/dl/old.lzh\" \"/dl/old/\" ",
         ArchiverOp::Extract,
         "/dl/old.lzh",
         "/dl/old",
         {}},
        {CommandStyle::DashX,
         "-x \"/dl/data.tar.cab\" \"/dl/data.tar/\"",
         ArchiverOp::Extract,
         "/dl/data.tar.cab",
         "/dl/data.tar",
         {}},
        {CommandStyle::SevenZip,
         "x \"/d l/a b.zip\" -o\"/d l/a b\"",
         ArchiverOp::Extract,
         "/d l/a b.zip",
         "/d l/a b",
         {}},
        {CommandStyle::SevenZip,
         "a \"work.7z\"  \"a.txt\" \"sub/b c.txt\"",
         ArchiverOp::Create,
         "work.7z",
         "",
         {"a.txt", "sub/b c.txt"}},
        // Bare words and the root as destination.
        {CommandStyle::SevenZip, "x a.zip -o/", ArchiverOp::Extract, "a.zip", "/", {}},
        {CommandStyle::DashX, "-x \"/r.rar\" \"/x//\"", ArchiverOp::Extract, "/r.rar", "/x", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        auto cmd = g3::parseCommandLine(c.line, c.style);
        ASSERT_TRUE(cmd.has_value());
        EXPECT_EQ(cmd->op, c.op);
        EXPECT_EQ(cmd->archive, c.archive);
        EXPECT_EQ(cmd->destination, c.dest);
        EXPECT_EQ(cmd->files, c.files);
    }
}

TEST(CommandLine, RefusesWhatIsNotOneOfItsLines) {
    struct Case {
        CommandStyle style;
        const char* line;
    } cases[] = {
        {CommandStyle::Lha, ""},
        {CommandStyle::Lha, "x \"/a.lzh\""},          // no destination
        {CommandStyle::Lha, "-x \"/a.lzh\" \"/a/\""}, // another module's verb
        {CommandStyle::DashX, "x \"/a.cab\" \"/a/\""},
        {CommandStyle::Lha, "x \"/a.lzh\" \"/a/\" \"/b/\""}, // one too many
        {CommandStyle::Lha, "x \"/a.lzh \"/a/\""},           // a quote in a name
        {CommandStyle::Lha, "x \"/a\"b.lzh\" \"/a\"b/\""},
        {CommandStyle::SevenZip, "x \"/a\" -o\"..zip\" -o\"/a\" -o\".\""},
        {CommandStyle::SevenZip, "x \"/a.zip\""},
        {CommandStyle::SevenZip, "x \"/a.zip\" \"/a\""}, // destination without -o
        {CommandStyle::SevenZip, "x \"/a.zip\" -o\"\""},
        {CommandStyle::SevenZip, "a \"w.7z\" "},         // nothing to freeze
        {CommandStyle::SevenZip, "a \"w.7z\" -r \"a\""}, // a switch it does not know
        {CommandStyle::SevenZip, "e \"/a.zip\" -o\"/a\""},
        {CommandStyle::DashX, "-x \"\" \"/a/\""},
        {CommandStyle::DashX, "-x \"/a.cab\"x \"/a/\""}, // text glued to a quote
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_FALSE(g3::parseCommandLine(c.line, c.style).has_value());
    }
}

} // namespace
