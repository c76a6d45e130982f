#include "platform/fileops.h"

#include "platform/errors.h"
#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

namespace g3 {

namespace {

bool fail(int code) {
    setLastError(code);
    return false;
}

bool succeededOrFail(int result) { return result == 0 || fail(errno); }

} // namespace

bool deleteFile(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return fail(errno);
    if (S_ISDIR(st.st_mode)) return fail(EISDIR);
    if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR)) return fail(EACCES);
    return succeededOrFail(unlink(path.c_str()));
}

bool removeDirectory(const std::string& path) { return succeededOrFail(rmdir(path.c_str())); }

bool createDirectory(const std::string& path) { return succeededOrFail(mkdir(path.c_str(), 0777)); }

bool forceDirectories(const std::string& path) {
    std::string p = currentFolderForm(path);
    if (p.empty()) return fail(ENOENT);
    if (isFolder(p)) return true;
    std::string parent = parentFolder(p);
    if (!parent.empty() && parent != p && !forceDirectories(parent)) return false;
    if (mkdir(p.c_str(), 0777) == 0 || (errno == EEXIST && isFolder(p))) return true;
    return fail(errno);
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isSameFolder(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && S_ISDIR(sa.st_mode) &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool isSameFolderOrInside(const std::string& inner, const std::string& outer) {
    struct stat target {};
    if (stat(outer.c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) return false;
    std::string p = resolvedPath(inner);
    if (p.empty()) return false;
    // From the folder itself up to "/", each ancestor compared by device and inode.
    for (;;) {
        struct stat st {};
        if (stat(p.c_str(), &st) == 0 && st.st_dev == target.st_dev && st.st_ino == target.st_ino)
            return true;
        if (p == "/" || p.empty()) return false;
        p = parentFolder(p);
    }
}

std::string resolvedPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

bool pathExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

std::int64_t fileSizeOf(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 && lstat(path.c_str(), &st) != 0) {
        setLastError(errno);
        return -1;
    }
    return static_cast<std::int64_t>(st.st_size);
}

} // namespace g3
