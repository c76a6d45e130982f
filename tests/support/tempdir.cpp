#include "support/tempdir.h"

#include "platform/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
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

std::string TempDir::operator/(std::string_view name) const {
    return g3::joinPath(path_, name);
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

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

} // namespace g3test
