#include "support/tempdir.h"

#include "platform/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace g3test {

namespace {
void removeEntriesAt(int dirFd) {
    DIR* d = fdopendir(dirFd);
    if (!d) {
        ::close(dirFd);
        return;
    }
    while (struct dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (fstatat(dirfd(d), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            fchmodat(dirfd(d), name.c_str(), 0700, 0);
            int sub = openat(dirfd(d), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
            if (sub >= 0) removeEntriesAt(sub);
            unlinkat(dirfd(d), name.c_str(), AT_REMOVEDIR);
        } else {
            unlinkat(dirfd(d), name.c_str(), 0);
        }
    }
    closedir(d);
}
} // namespace

TempDir::TempDir(const std::string& base) {
    std::string templ = base + "/g3test.XXXXXX";
    if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed under " + base);
    path_ = templ;
}

TempDir::~TempDir() { removeTree(path_); }

std::string TempDir::path(std::string_view rel) const { return g3::joinPath(path_, rel); }

std::string TempDir::write(std::string_view rel, std::string_view contents) {
    std::string p = path(rel);
    makeFolders(g3::parentFolder(p));
    writeFile(p, contents);
    return p;
}

std::string TempDir::mkdir(std::string_view rel) {
    std::string p = path(rel);
    makeFolders(p);
    return p;
}

void removeTree(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd >= 0) removeEntriesAt(fd);
    rmdir(path.c_str());
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool makeFolders(const std::string& path) {
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        struct stat st {};
        if (::stat(part.c_str(), &st) == 0) continue;
        if (::mkdir(part.c_str(), 0755) != 0) return false;
    }
    return true;
}

std::string makeDeepFolder(const std::string& base, std::size_t minBytes) {
    std::string path = base;
    int dir = open(base.c_str(), O_PATH | O_DIRECTORY);
    for (int i = 0; dir >= 0 && path.size() <= minBytes; ++i) {
        std::string name = std::string(200, 'd') + std::to_string(i);
        mkdirat(dir, name.c_str(), 0755);
        int next = openat(dir, name.c_str(), O_PATH | O_DIRECTORY);
        close(dir);
        dir = next;
        path += "/" + name;
    }
    if (dir < 0) throw std::runtime_error("cannot make a deep folder");
    close(dir);
    return path;
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

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

} // namespace g3test
