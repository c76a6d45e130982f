#include "engine/clipformats.h"

#include <gtest/gtest.h>

using namespace g3;

namespace {

TEST(ClipFormats, WritesEveryFormatInItsStrictForm) {
    QMimeData d;
    writeClipFiles(d, {"/tmp/a b.txt", "/r/\xe6\x97\xa5"});
    EXPECT_EQ(d.data("text/uri-list"),
              QByteArray("file:///tmp/a%20b.txt\r\nfile:///r/%E6%97%A5\r\n"));
    const QByteArray copied = "copy\nfile:///tmp/a%20b.txt\nfile:///r/%E6%97%A5";
    EXPECT_EQ(d.data("x-special/gnome-copied-files"), copied);
    EXPECT_EQ(d.data("x-special/mate-copied-files"), copied);
    EXPECT_EQ(d.data("application/x-kde-cutselection"), QByteArray("0"));
    EXPECT_EQ(d.data("text/plain;charset=utf-8"), QByteArray("/tmp/a b.txt\n/r/\xe6\x97\xa5"));
}

TEST(ClipFormats, OddBytesRoundTrip) {
    const std::vector<std::string> paths = {std::string("/x/raw\xff\x81.bin"), "/x/new\nline",
                                            "/x/100%", "/name"};
    QMimeData d;
    writeClipFiles(d, paths);
    ClipFiles back;
    ASSERT_TRUE(readClipFiles(d, back));
    EXPECT_EQ(back.paths, paths);
    EXPECT_FALSE(back.cut);
    EXPECT_EQ(fileUriOf(paths[0]), QByteArray("file:///x/raw%FF%81.bin"));
}

TEST(ClipFormats, ReadsWhatOtherFileManagersWrite) {
    struct Case { const char* format; QByteArray payload; bool cut; };
    const Case cases[] = {
        {"x-special/gnome-copied-files", "cut\nfile:///tmp/x/a%20b.txt", true},
        {"x-special/mate-copied-files", "copy\r\nfile:///tmp/x/a%20b.txt\r\n\r\n", false},
        {"text/plain", "x-special/nautilus-clipboard\ncut\nfile:///tmp/x/a%20b.txt\n", true},
        {"application/x-kde4-urilist", "file://localhost/tmp/x/a%20b.txt\r\n", false},
    };
    for (const auto& c : cases) {
        QMimeData d;
        d.setData(c.format, c.payload);
        ClipFiles f;
        ASSERT_TRUE(readClipFiles(d, f)) << c.format;
        EXPECT_EQ(f.paths, std::vector<std::string>{"/tmp/x/a b.txt"}) << c.format;
        EXPECT_EQ(f.cut, c.cut) << c.format;
    }
    QMimeData kde;
    kde.setData("text/uri-list", "# comment\r\nfile:///a\r\nhttp://example.org/b\r\n");
    kde.setData("application/x-kde-cutselection", "1");
    ClipFiles f;
    ASSERT_TRUE(readClipFiles(kde, f));
    EXPECT_EQ(f.paths, std::vector<std::string>{"/a"});
    EXPECT_TRUE(f.cut);
}

TEST(ClipFormats, RejectsWhatNamesNoFile) {
    QMimeData text;
    text.setData("text/plain", "just some words");
    ClipFiles f;
    EXPECT_FALSE(readClipFiles(text, f));
    QMimeData remote;
    remote.setData("x-special/gnome-copied-files", "copy\nfile://otherhost/a");
    EXPECT_FALSE(readClipFiles(remote, f));
    std::string p;
    EXPECT_FALSE(pathOfFileUri("file:relative", p));
    EXPECT_FALSE(pathOfFileUri("file:///tmp/a%00b", p)); // would name "/tmp/a"
}

} // namespace
