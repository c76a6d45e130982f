// The mount table of this process (/proc/self/mountinfo), for the path and find rules.
#pragma once

#include <string>
#include <vector>

namespace g3 {

struct MountEntry {
    std::string mountPoint; // unescaped bytes
    std::string fsType;
};

// Reads the table now; empty when /proc is not mounted.
std::vector<MountEntry> readMountTable();

// True for the kernel's pseudo file systems (proc, sysfs, devtmpfs, cgroup, ...).
bool isPseudoFileSystemType(const std::string& fsType);

// Mount points of pseudo file systems, read once per process on first use (thread-safe).
const std::vector<std::string>& pseudoMountPoints();

} // namespace g3
