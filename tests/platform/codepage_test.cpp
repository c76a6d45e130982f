// Shown text of name bytes, and the bytes of a name after the user edited that text.
#include "platform/codepage.h"

#include <gtest/gtest.h>

using namespace g3;

TEST(CodepageTest, DisplayTextShowsEachBadByteOnce) {
    EXPECT_EQ(displayTextOf("bad\xff\xfe.txt"), "bad\uFFFD\uFFFD.txt");
    EXPECT_EQ(displayTextOf("\xe6\x97\xa5\xe6\x9c\xac"), "\xe6\x97\xa5\xe6\x9c\xac");
    EXPECT_EQ(displayTextOf("cut\xe6\x97"), "cut\uFFFD\uFFFD");         // a sequence cut short
    EXPECT_EQ(displayTextOf("\xc0\xaf" "x"), "\uFFFD\uFFFDx");          // overlong "/"
    EXPECT_EQ(displayTextOf("\xed\xa0\x80"), "\uFFFD\uFFFD\uFFFD");     // a surrogate
    EXPECT_EQ(displayTextOf(""), "");
}

TEST(CodepageTest, EditedNamesKeepTheBytesNobodyEdited) {
    struct Case {
        const char* what;
        std::string original, edited, expected;
    };
    const Case cases[] = {
        {"unchanged", "bad\xff.txt", "bad\uFFFD.txt", "bad\xff.txt"},
        {"unchanged, cut sequence", "a\xe6\x97", "a\uFFFD\uFFFD", "a\xe6\x97"},
        {"extension edited", "bad\xff.txt", "bad\uFFFD.md", "bad\xff.md"},
        {"start edited", "bad\xff.txt", "good\uFFFD.txt", "good\xff.txt"},
        {"typed after the bad byte", "bad\xff.txt", "bad\uFFFDx.txt", "bad\xffx.txt"},
        {"typed before the bad byte", "bad\xff.txt", "badx\uFFFD.txt", "badx\xff.txt"},
        {"bad byte deleted", "bad\xff.txt", "bad.txt", "bad.txt"},
        {"bad byte replaced", "a\xff" "b", "a\xc3\xa9" "b", "a\xc3\xa9" "b"},
        {"between two bad bytes", "\xff-\xfe", "\uFFFD+\uFFFD", "\xff+\xfe"},
        {"one of two equal letters deleted", "aa\xff", "a\uFFFD", "a\xff"},
        {"one of two bad bytes deleted", "\xff\xfe", "\uFFFD", "\xff"},
        {"all typed anew", "\xff\xfe", "new", "new"},
        {"emptied", "\xff", "", ""},
        {"plain UTF-8", "\xe6\x97\xa5.txt", "\xe6\x97\xa5\xe6\x9c\xac.txt",
         "\xe6\x97\xa5\xe6\x9c\xac.txt"},
        {"from nothing", "", "x", "x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nameAfterEdit(c.original, c.edited), c.expected) << c.what;
}

// Byte positions in CP932 are what a caption pattern such as "(&N)" at 5 is found by.
TEST(CodepageTest, Utf8ToCp932WritesTwoBytesPerKanjiAndAQuestionMarkForTheRest) {
    struct Case {
        const char* what;
        std::string utf8, cp932;
    };
    const Case cases[] = {
        {"ascii", "abc(&N)", "abc(&N)"},
        {"kana and kanji", "送る(&N)", "\x91\x97\x82\xe9(&N)"},
        {"half-width kana", "ｱ", "\xb1"},
        {"not in CP932", "a\xf0\x9f\x98\x80z", "a?z"},
        {"ill-formed bytes", "a\xff\xfe" "b", "a??b"},
        {"cut sequence at the end", "x\xe6\x97", "x??"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(utf8ToCp932(c.utf8), c.cp932) << c.what;
    EXPECT_EQ(utf8ToCp932("貼り付け(&P)").find("(&P)"), 8u);
}

TEST(CodepageTest, Utf16KeepsEveryByteString) {
    const std::string cases[] = {
        "/home/u/report.doc", "/\xe6\x97\xa5\xe6\x9c\xac/x", "/bad\xff\xfe/x", "\xf0\x9f\x98\x80", "cut\xe6\x97", "",
    };
    for (const std::string& c : cases) EXPECT_EQ(utf16ToBytes(bytesToUtf16(c)), c) << c;
    EXPECT_EQ(bytesToUtf16("a\xe6\x97\xa5\xf0\x9f\x98\x80\xff"), u"a\u65e5\U0001F600\xDCFF");
    // Surrogates that are no escaped byte read as U+FFFD.
    EXPECT_EQ(utf16ToBytes(std::u16string(1, char16_t(0xD800))), "\uFFFD");
    EXPECT_EQ(utf16ToBytes(std::u16string(1, char16_t(0xDC41))), "\uFFFD");
}
