// The first lines of a text file as a text picture reads them.
#include "imgpreview/textpage.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <stdexcept>

namespace g3 {
namespace {

struct LinesCase {
    const char* what;
    std::string content;
    int maxLines, maxChars;
    std::string want;
};

TEST(ReadTextLines, ReadsWhatFitsOnThePage) {
    const std::string chunkWithZero = "ab" + std::string(1, '\0') + "zz" + std::string(1019, 'q');
    const LinesCase cases[] = {
        {"CR dropped, lines joined with CR LF", "ab\r\ncd\nef", 5, 10, "ab\r\ncd\r\nef"},
        {"at most MaxLines lines", "1\n2\n3\n4\n", 2, 10, "1\r\n2"},
        {"MaxChars + 1 bytes of a line", "abcdefgh\nxy", 5, 3, "abcd\r\nxy"},
        {"a zero byte ends its chunk only", chunkWithZero + "ef\ngh", 5, 10, "abef\r\ngh"},
        {"a zero byte in a later chunk",
         std::string(1023, 'a') + "\nb" + std::string(1, '\0') + "c\nd", 5, 2000,
         std::string(1023, 'a') + "\r\nb"},
        {"a line break on a chunk's last byte", std::string(1023, 'x') + "\ny", 5, 2000,
         std::string(1023, 'x') + "\r\ny"},
        {"no lines asked", "abc", 0, 10, ""},
        {"an empty file", "", 3, 10, ""},
    };
    g3test::TempDir dir;
    for (const LinesCase& c : cases) {
        const std::string path = dir.write("t.txt", c.content);
        EXPECT_EQ(ReadTextLines(path, c.maxLines, c.maxChars), c.want) << c.what;
    }
}

TEST(ReadTextLines, NeverOpensAFifo) {
    g3test::TempDir dir;
    const std::string fifo = dir / "pipe.txt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(ReadTextLines(fifo, 3, 10), std::runtime_error);
    EXPECT_THROW(ReadTextLines(dir / "missing.txt", 3, 10), std::runtime_error);
}

TEST(TextPageCharacters, DecodesUtf8OrCp932) {
    // "あい" cut after four bytes: the half character at the line's end is dropped.
    EXPECT_EQ(textPageCharacters("\xE3\x81\x82\xE3\r\nx"), QStringLiteral("あ\nx"));
    // Shift-JIS "あい" and a half-width katakana.
    EXPECT_EQ(textPageCharacters("\x82\xA0\x82\xA2\xB1"), QStringLiteral("あいｱ"));
}

} // namespace
} // namespace g3
