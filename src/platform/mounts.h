// The mount table of this process (/proc/self/mountinfo): the one reader of it, for the
// path and find rules and for the volumes the desktop shows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace g3 {

struct MountEntry {
    std::string mountPoint; // unescaped bytes
    std::string fsType;
    std::string source; // the device or server, unescaped
};

inline constexpr const char* kProcessMountTable = "/proc/self/mountinfo";

// The entries of a table's text, in its order; malformed lines are left out.
std::vector<MountEntry> parseMountTable(std::string_view text);
// Reads a table now (this process's unless told); empty when it cannot be read.
std::vector<MountEntry> readMountTable(const std::string& path = kProcessMountTable);

// True for the kernel's pseudo file systems (proc, sysfs, devtmpfs, cgroup, ...).
bool isPseudoFileSystemType(const std::string& fsType);

// Mount points of pseudo file systems, read once per process on first use (thread-safe).
const std::vector<std::string>& pseudoMountPoints();

// The volumes a user plugs in: block-device file systems mounted below /media, /mnt and
// /run/media, sorted, each once.
std::vector<std::string> volumeMountPoints(const std::vector<MountEntry>& table);

} // namespace g3
