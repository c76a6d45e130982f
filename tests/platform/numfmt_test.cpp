#include "platform/numfmt.h"

#include <gtest/gtest.h>

#include <limits>

using namespace g3;

TEST(NumFmt, Grouped) {
    EXPECT_EQ(formatGrouped(1234567), "1,234,567");
    EXPECT_EQ(formatGrouped(0), "0");
    EXPECT_EQ(formatGrouped(-1), "-1");
    EXPECT_EQ(formatGrouped(999), "999");
    EXPECT_EQ(formatGrouped(1000), "1,000");
    EXPECT_EQ(formatGrouped(-1234), "-1,234");
    EXPECT_EQ(formatGrouped(std::numeric_limits<std::int64_t>::min()), "-9,223,372,036,854,775,808");
}

TEST(NumFmt, BlankZeroAndUnsigned) {
    EXPECT_EQ(formatGroupedBlankZero(0), "");
    EXPECT_EQ(formatGroupedBlankZero(12345), "12,345");
    EXPECT_EQ(formatGroupedU32(4294967295u), "4,294,967,295");
    EXPECT_EQ(formatGroupedU32(0), "0");
}

TEST(NumFmt, AlignRight) {
    EXPECT_EQ(alignRight("1,234", 9), "    1,234");
    EXPECT_EQ(alignRight("", 9), "         ");
    EXPECT_EQ(alignRight("12", 20).size(), 20u);
    EXPECT_EQ(alignRight("1234567890", 9), "1234567890");
}
