#include "tempfs.h"

#include "support/tempdir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace g3test {

TempTree::TempTree(const std::string& base) {
    std::string tmpl = base + "/g3engine-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp " + tmpl);
    root_ = buf.data();
}

// Through descriptors: read-only folders and paths longer than PATH_MAX go too.
TempTree::~TempTree() { removeTree(root_); }

std::string TempTree::path(const std::string& rel) const { return root_ + "/" + rel; }

std::string TempTree::write(const std::string& rel, const std::string& contents) {
    std::string p = path(rel);
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    std::ofstream f(p, std::ios::binary);
    f << contents;
    return p;
}

std::string TempTree::mkdir(const std::string& rel) {
    std::string p = path(rel);
    std::filesystem::create_directories(p);
    return p;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string readAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void setMtime(const std::string& path, std::int64_t seconds) {
    struct timespec ts[2];
    ts[0].tv_sec = ts[1].tv_sec = static_cast<time_t>(seconds);
    ts[0].tv_nsec = ts[1].tv_nsec = 0;
    ::utimensat(AT_FDCWD, path.c_str(), ts, AT_SYMLINK_NOFOLLOW);
}

std::int64_t localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

} // namespace g3test
