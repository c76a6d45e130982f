#include "platform/dostime.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdlib>

using namespace g3;

namespace {

class DosTime : public ::testing::Test {
protected:
    void SetUp() override { useZone("UTC0"); }
    void TearDown() override { useZone("UTC0"); }
    static void useZone(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    }
    static void setMtime(const std::string& path, std::int64_t secs) {
        struct timespec ts[2] = {{static_cast<time_t>(secs), 0}, {static_cast<time_t>(secs), 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), ts, 0), 0);
    }
};

constexpr std::int64_t k1980 = 315532800; // 1980-01-01 00:00:00 UTC

} // namespace

TEST_F(DosTime, FileTimeLayout) {
    EXPECT_EQ(fileTimeFromUnix(0), 116444736000000000ULL);
    EXPECT_EQ(fileTimeFromUnix(1, 999), 116444736010000009ULL);
    struct timespec ts = timespecFromFileTime(fileTimeFromUnix(1700000000, 123456700));
    EXPECT_EQ(ts.tv_sec, 1700000000);
    EXPECT_EQ(ts.tv_nsec, 123456700);
    EXPECT_EQ(fileTimeFromTimespec(ts), fileTimeFromUnix(1700000000, 123456700));
}

TEST_F(DosTime, BoundsAndThe1980Rule) {
    std::uint32_t dos = 0;
    ASSERT_TRUE(fileTimeToDos(fileTimeFromUnix(k1980), dos));
    EXPECT_EQ(dos, kDosTimeMin);
    EXPECT_FALSE(fileTimeToDos(fileTimeFromUnix(k1980 - 1), dos));
    EXPECT_FALSE(fileTimeToDos(0, dos));
    ASSERT_TRUE(fileTimeToDos(fileTimeFromUnix(4102444798), dos)); // 2099-12-31 23:59:58
    EXPECT_EQ(dos, kDosTimeMax);
    EXPECT_TRUE(fileTimeToDos(fileTimeFromUnix(4354819199), dos)); // 2107-12-31 23:59:59
    EXPECT_FALSE(fileTimeToDos(fileTimeFromUnix(4354819200), dos)); // 2108
    EXPECT_EQ(dosToFileTime(kDosTimeMin), fileTimeFromUnix(k1980));
    EXPECT_EQ(dosToFileTime(kDosTimeMax), fileTimeFromUnix(4102444798));
}

TEST_F(DosTime, LocalTimeAndTwoSecondResolution) {
    useZone("JST-9");
    std::uint32_t dos = 0;
    ASSERT_TRUE(fileTimeToDos(fileTimeFromUnix(k1980 - 9 * 3600), dos));
    EXPECT_EQ(dos, kDosTimeMin);
    ASSERT_TRUE(fileTimeToDos(fileTimeFromUnix(k1980 - 9 * 3600 + 3), dos));
    EXPECT_EQ(dos, kDosTimeMin + 1); // 3 seconds are stored as 1 (two-second units)
    EXPECT_EQ(dosToFileTime(kDosTimeMin), fileTimeFromUnix(k1980 - 9 * 3600));
}

// "Newer" holds over every date, where a DOS date-time cannot: before 1980, from 2044
// on (where its signed value turns negative) and after 2107.
TEST_F(DosTime, SlotsKeepTheOrderOfEveryDate) {
    useZone("JST-9");
    const std::int64_t times[] = {-86400 * 365, -3, -2, -1, 0, 1, 2, k1980 - 1, k1980,
                                  2335219200 /* 2044 */, 2524608000 /* 2050 */,
                                  4354819199, 4354819200 /* 2108 */};
    for (std::size_t i = 0; i + 1 < std::size(times); ++i) {
        struct timespec a {static_cast<time_t>(times[i]), 0}, b {static_cast<time_t>(times[i + 1]), 0};
        EXPECT_LE(dosSlotOf(a), dosSlotOf(b)) << times[i];
        if (times[i + 1] - times[i] >= 2) {
            EXPECT_LT(dosSlotOf(a), dosSlotOf(b)) << times[i];
        }
    }
    struct timespec even {1600000000, 0}, odd {1600000001, 999999999};
    EXPECT_EQ(dosSlotOf(even), dosSlotOf(odd)) << "one two-second slot";
    EXPECT_EQ(formatDosSlot(dosSlotOf(odd)), "2020/09/13 21:26:40");
}

TEST_F(DosTime, AgeOfPath) {
    g3test::TempDir dir;
    EXPECT_EQ(dosAgeOfPath(dir / "missing"), -1);
    EXPECT_EQ(dosAgeOfPath(dir.path()), -1);
    std::string f = dir / "f";
    g3test::writeFile(f, "x");
    setMtime(f, k1980 - 10);
    EXPECT_EQ(dosAgeOfPath(f), -1);
    setMtime(f, 946684800 + 61); // 2000-01-01 00:01:01
    EXPECT_EQ(dosAgeOfPath(f), static_cast<std::int32_t>((20u << 25) | (1u << 21) | (1u << 16) | (1u << 5)));
    setMtime(f, 4102444798);
    EXPECT_EQ(static_cast<std::uint32_t>(dosAgeOfPath(f)), kDosTimeMax); // negative as int32
}

TEST_F(DosTime, Formats) {
    EXPECT_EQ(formatDosLong(kDosTimeMin), "1980/01/01 00:00:00");
    EXPECT_EQ(formatDosLong(kDosTimeMax), "2099/12/31 23:59:58");
    EXPECT_EQ(formatDosShort(kDosTimeMax), "99/12/31 23:59");
    EXPECT_EQ(formatDosShort(kDosTimeMin), "80/01/01 00:00");
    EXPECT_EQ(formatFileTimeLong(fileTimeFromUnix(946684800 + 61, 999999999)), "2000/01/01 00:01:01");
    std::string stamp = timeStampNow();
    ASSERT_EQ(stamp.size(), 16u);
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14})
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(stamp[i]))) << stamp;
    EXPECT_EQ(stamp[8], '-');
    EXPECT_EQ(stamp[15], '_');
}

TEST_F(DosTime, MidnightsAreWholeDays) {
    std::uint32_t today = dosTodayMidnight(), tomorrow = dosTomorrowMidnight();
    EXPECT_EQ(today & 0xffffu, 0u);
    EXPECT_EQ(tomorrow & 0xffffu, 0u);
    EXPECT_LT(today, tomorrow);
}
