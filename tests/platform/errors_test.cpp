#include "platform/errors.h"

#include <gtest/gtest.h>

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

TEST(Errors, TextIsTrimmed) {
    std::string t = systemErrorText(ENOENT);
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t, "No such file or directory");
    for (int code : {EACCES, EEXIST, EXDEV, ENOSPC, EISDIR}) {
        std::string s = systemErrorText(code);
        ASSERT_FALSE(s.empty()) << code;
        char last = s.back();
        EXPECT_TRUE(last != '.' && last != ' ' && static_cast<unsigned char>(last) >= 0x20) << s;
    }
}

TEST(Errors, UnknownCodeGivesEmptyText) {
    EXPECT_EQ(systemErrorText(0), "");
    EXPECT_EQ(systemErrorText(-5), "");
    EXPECT_EQ(systemErrorText(99999), "");
    EXPECT_FALSE(systemErrorText(kErrorCancelled).empty());
}
