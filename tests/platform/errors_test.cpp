#include "platform/errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <thread>

using namespace g3;

TEST(Errors, LastErrorIsPerThread) {
    setLastError(ENOENT);
    int other = -1;
    std::thread([&] {
        other = lastError();
        setLastError(EACCES);
    }).join();
    EXPECT_EQ(other, 0);
    EXPECT_EQ(lastError(), ENOENT);
}

bool isJapanese(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Japanese whatever the locale of the process (the tests run under C.UTF-8), from the C
// library where the machine has the Japanese locale and from our own table otherwise.
TEST(Errors, TextIsJapaneseAndTrimmed) {
    for (int code : {ENOENT, EACCES, EEXIST, EXDEV, ENOSPC, EISDIR, EINVAL, ENAMETOOLONG,
                     ENOTDIR, EROFS, kErrorCancelled}) {
        std::string s = systemErrorText(code);
        EXPECT_TRUE(isJapanese(s)) << code << ": " << s;
        EXPECT_TRUE(isJapanese(ownErrorText(code == kErrorCancelled ? ECANCELED : code))) << code;
        ASSERT_FALSE(s.empty()) << code;
        char last = s.back();
        EXPECT_TRUE(last != '.' && last != ' ' && static_cast<unsigned char>(last) >= 0x20) << s;
    }
    EXPECT_EQ(ownErrorText(EHWPOISON), "");
    EXPECT_FALSE(systemErrorText(EHWPOISON).empty()) << "a rare code keeps the library's text";
}

TEST(Errors, UnknownCodeGivesEmptyText) {
    EXPECT_EQ(systemErrorText(0), "");
    EXPECT_EQ(systemErrorText(-5), "");
    EXPECT_EQ(systemErrorText(99999), "");
    EXPECT_FALSE(systemErrorText(kErrorCancelled).empty());
}
