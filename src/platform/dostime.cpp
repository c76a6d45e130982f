#include "platform/dostime.h"

#include <sys/stat.h>

#include <cstdio>

namespace g3 {

namespace {

constexpr std::int64_t kEpochDelta = 11644473600LL; // seconds from 1601 to 1970
constexpr std::uint64_t kTicksPerSecond = 10000000ULL;

std::uint32_t packDos(const struct tm& t) {
    return (static_cast<std::uint32_t>(t.tm_year + 1900 - 1980) << 25) |
           (static_cast<std::uint32_t>(t.tm_mon + 1) << 21) |
           (static_cast<std::uint32_t>(t.tm_mday) << 16) |
           (static_cast<std::uint32_t>(t.tm_hour) << 11) |
           (static_cast<std::uint32_t>(t.tm_min) << 5) | (static_cast<std::uint32_t>(t.tm_sec) / 2);
}

bool dosFromLocalSeconds(std::time_t secs, std::uint32_t& dos) {
    struct tm t {};
    if (!localtime_r(&secs, &t)) return false;
    int year = t.tm_year + 1900;
    if (year < 1980 || year > 2107) return false;
    dos = packDos(t);
    return true;
}

struct DosFields {
    int year, month, day, hour, minute, second;
};

DosFields unpackDos(std::uint32_t dos) {
    return {static_cast<int>(dos >> 25) + 1980, static_cast<int>((dos >> 21) & 0x0f),
            static_cast<int>((dos >> 16) & 0x1f), static_cast<int>((dos >> 11) & 0x1f),
            static_cast<int>((dos >> 5) & 0x3f),  static_cast<int>(dos & 0x1f) * 2};
}

std::string formatLocal(std::time_t secs, const char* format) {
    struct tm t {};
    if (!localtime_r(&secs, &t)) return {};
    char buf[64];
    std::size_t n = std::strftime(buf, sizeof buf, format, &t);
    return std::string(buf, n);
}

std::uint32_t dosOfLocalMidnight(int daysAhead) {
    std::time_t now = std::time(nullptr);
    struct tm t {};
    localtime_r(&now, &t);
    t.tm_hour = t.tm_min = t.tm_sec = 0;
    t.tm_mday += daysAhead;
    t.tm_isdst = -1;
    std::uint32_t dos = kDosTimeMax;
    dosFromLocalSeconds(std::mktime(&t), dos);
    return dos;
}

} // namespace

FileTime fileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds) {
    if (seconds < -kEpochDelta) return 0;
    return static_cast<std::uint64_t>(seconds + kEpochDelta) * kTicksPerSecond + nanoseconds / 100;
}

FileTime fileTimeFromTimespec(const struct timespec& ts) {
    return fileTimeFromUnix(ts.tv_sec, static_cast<std::uint32_t>(ts.tv_nsec));
}

struct timespec timespecFromFileTime(FileTime ft) {
    struct timespec ts {};
    ts.tv_sec = static_cast<std::time_t>(static_cast<std::int64_t>(ft / kTicksPerSecond) - kEpochDelta);
    ts.tv_nsec = static_cast<long>((ft % kTicksPerSecond) * 100);
    return ts;
}

bool fileTimeToDos(FileTime ft, std::uint32_t& dos) {
    return dosFromLocalSeconds(timespecFromFileTime(ft).tv_sec, dos);
}

FileTime dosToFileTime(std::uint32_t dos) {
    DosFields f = unpackDos(dos);
    struct tm t {};
    t.tm_year = f.year - 1900;
    t.tm_mon = f.month - 1;
    t.tm_mday = f.day;
    t.tm_hour = f.hour;
    t.tm_min = f.minute;
    t.tm_sec = f.second;
    t.tm_isdst = -1;
    return fileTimeFromUnix(std::mktime(&t));
}

std::int32_t dosAgeOfPath(const std::string& path) {
    struct stat st {};
    std::uint32_t dos = 0;
    if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
    if (!dosFromLocalSeconds(st.st_mtim.tv_sec, dos)) return -1;
    return static_cast<std::int32_t>(dos);
}

std::string formatDosLong(std::uint32_t dos) {
    DosFields f = unpackDos(dos);
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", f.year, f.month, f.day,
                          f.hour, f.minute, f.second);
    return std::string(buf, static_cast<std::size_t>(n));
}

std::string formatDosShort(std::uint32_t dos) {
    DosFields f = unpackDos(dos);
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%02d/%02d/%02d %02d:%02d", f.year % 100, f.month, f.day,
                          f.hour, f.minute);
    return std::string(buf, static_cast<std::size_t>(n));
}

std::string timeStampNow() { return formatLocal(std::time(nullptr), "%Y%m%d-%H%M%S_"); }

std::int64_t dosSlotOf(const struct timespec& ts) {
    // Zone offsets are whole minutes, so the local two-second slots are the universal
    // ones shifted; floor division keeps times before 1970 in order.
    std::int64_t s = ts.tv_sec;
    return s >= 0 ? s / 2 : -((1 - s) / 2);
}

std::string formatDosSlot(std::int64_t slot) {
    return formatLocal(static_cast<std::time_t>(slot * 2), "%Y/%m/%d %H:%M:%S");
}

std::string formatFileTimeLong(FileTime ft) {
    return formatLocal(timespecFromFileTime(ft).tv_sec, "%Y/%m/%d %H:%M:%S");
}

std::uint32_t dosTodayMidnight() { return dosOfLocalMidnight(0); }
std::uint32_t dosTomorrowMidnight() { return dosOfLocalMidnight(1); }

} // namespace g3
