// File times and local DOS date-times.
//
// FileTime: 100-nanosecond ticks since 1601-01-01 00:00 UTC (the FILETIME layout), 0 meaning
// unknown. DOS date-time: a 32-bit local date and time, date in the high 16 bits (bits 9-15
// year - 1980, 5-8 month, 0-4 day), time in the low 16 (11-15 hours, 5-10 minutes, 0-4
// seconds / 2).
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace g3 {

using FileTime = std::uint64_t;

inline constexpr std::uint32_t kDosTimeMin = 0x00210000u; // 1980-01-01 00:00:00
inline constexpr std::uint32_t kDosTimeMax = 0xEF9FBF7Du; // 2099-12-31 23:59:58

FileTime fileTimeFromTimespec(const struct timespec& ts);
struct timespec timespecFromFileTime(FileTime ft);
FileTime fileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds = 0);

// Local DOS date-time of a file time; false when the local time lies before 1980 or after
// 2107 (the DOS format cannot hold it).
bool fileTimeToDos(FileTime ft, std::uint32_t& dos);
// File time of a local DOS date-time (fields out of range are normalised as mktime does).
FileTime dosToFileTime(std::uint32_t dos);

// The last-write time of path as a local DOS date-time, as a signed 32-bit value; -1 for a
// missing path, a folder, or a time the DOS format cannot hold. Follows symbolic links.
std::int32_t dosAgeOfPath(const std::string& path);

// The two-second slot of a time, as a local DOS date-time would hold it but over every
// date: what "newer" compares. Later times never get smaller slots, before 1980 and after
// 2107 alike.
std::int64_t dosSlotOf(const struct timespec& ts);
// "yyyy/mm/dd hh:nn:ss" of the start of a two-second slot (the seconds even, as a DOS
// date-time shows them).
std::string formatDosSlot(std::int64_t slot);

// "yyyy/mm/dd hh:nn:ss" of a local DOS date-time.
std::string formatDosLong(std::uint32_t dos);
// "yy/mm/dd hh:nn" of a local DOS date-time.
std::string formatDosShort(std::uint32_t dos);
// "yyyyMMdd-HHmmss_" of the current local time (16 characters).
std::string timeStampNow();
// Local date-time text "yyyy/mm/dd hh:nn:ss" of a file time (no DOS rounding).
std::string formatFileTimeLong(FileTime ft);

// Local midnight of today and of tomorrow as DOS date-times.
std::uint32_t dosTodayMidnight();
std::uint32_t dosTomorrowMidnight();

} // namespace g3
