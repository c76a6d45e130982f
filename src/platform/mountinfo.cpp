#include "platform/mountinfo.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <string_view>

namespace g3 {

namespace {

// mountinfo escapes blank, tab, new-line and backslash as three octal digits.
std::string unescapeOctal(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    auto oct = [](char c) { return c >= '0' && c <= '7'; };
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && oct(s[i + 1]) && oct(s[i + 2]) && oct(s[i + 3])) {
            out += static_cast<char>(((s[i + 1] - '0') << 6) | ((s[i + 2] - '0') << 3) |
                                     (s[i + 3] - '0'));
            i += 3;
            continue;
        }
        out += s[i];
    }
    return out;
}

// Line layout: id parent major:minor root mount-point options [optional...] - type source ...
bool parseLine(const std::string& line, MountEntry& e) {
    std::istringstream in(line);
    std::string field;
    std::string point;
    for (int i = 0; i < 5; ++i)
        if (!(in >> field)) return false;
    point = field;
    while (in >> field && field != "-") {
    }
    std::string type;
    if (!(in >> type)) return false;
    e.mountPoint = unescapeOctal(point);
    e.fsType = type;
    return true;
}

} // namespace

std::vector<MountEntry> readMountTable() {
    std::vector<MountEntry> table;
    std::ifstream f("/proc/self/mountinfo");
    std::string line;
    MountEntry e;
    while (std::getline(f, line))
        if (parseLine(line, e)) table.push_back(e);
    return table;
}

bool isPseudoFileSystemType(const std::string& fsType) {
    static constexpr std::array<std::string_view, 21> kTypes = {
        "proc",      "sysfs",      "devtmpfs", "devpts",      "cgroup",   "cgroup2",
        "securityfs", "debugfs",   "tracefs",  "pstore",      "bpf",      "mqueue",
        "hugetlbfs", "configfs",   "fusectl",  "binfmt_misc", "autofs",   "efivarfs",
        "nsfs",      "rpc_pipefs", "selinuxfs"};
    return std::find(kTypes.begin(), kTypes.end(), fsType) != kTypes.end();
}

const std::vector<std::string>& pseudoMountPoints() {
    // Mounts of this kind come with the system and rarely change; one read per process
    // keeps listings free of a per-folder parse.
    static const std::vector<std::string> points = [] {
        std::vector<std::string> v;
        for (const auto& e : readMountTable())
            if (isPseudoFileSystemType(e.fsType)) v.push_back(e.mountPoint);
        std::sort(v.begin(), v.end());
        v.erase(std::unique(v.begin(), v.end()), v.end());
        return v;
    }();
    return points;
}

} // namespace g3
