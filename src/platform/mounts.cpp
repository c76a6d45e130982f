#include "platform/mounts.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

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

// Line layout: id parent major:minor root mount-point options [optional...] - type source
// super-options. Fields are separated by single blanks (blanks inside are escaped).
bool parseLine(std::string_view line, MountEntry& e) {
    std::vector<std::string_view> f;
    for (std::size_t i = 0; i <= line.size();) {
        std::size_t j = line.find(' ', i);
        if (j == std::string_view::npos) j = line.size();
        f.push_back(line.substr(i, j - i));
        i = j + 1;
    }
    auto dash = std::find(f.begin(), f.end(), std::string_view("-"));
    if (f.size() < 5 || dash == f.end() || dash - f.begin() < 6 || f.end() - dash < 3) return false;
    e.mountPoint = unescapeOctal(f[4]);
    e.fsType = std::string(*(dash + 1));
    e.source = unescapeOctal(*(dash + 2));
    return true;
}

} // namespace

std::vector<MountEntry> parseMountTable(std::string_view text) {
    std::vector<MountEntry> table;
    MountEntry e;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t j = text.find('\n', i);
        if (j == std::string_view::npos) j = text.size();
        if (parseLine(text.substr(i, j - i), e)) table.push_back(e);
        i = j + 1;
    }
    return table;
}

std::vector<MountEntry> readMountTable(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream text;
    text << f.rdbuf();
    return parseMountTable(text.str());
}

std::vector<std::string> volumeMountPoints(const std::vector<MountEntry>& table) {
    auto isVolumePlace = [](const std::string& point) {
        for (std::string_view base : {"/media/", "/mnt/", "/run/media/"})
            if (point.size() > base.size() && point.compare(0, base.size(), base) == 0) return true;
        return false;
    };
    std::vector<std::string> out;
    for (const auto& e : table)
        if (e.source.rfind("/dev/", 0) == 0 && isVolumePlace(e.mountPoint)) out.push_back(e.mountPoint);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
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
