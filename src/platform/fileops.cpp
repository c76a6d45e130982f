#include "platform/fileops.h"

#include "platform/errors.h"
#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace g3 {

namespace {

bool fail(int code) {
    setLastError(code);
    return false;
}

bool succeededOrFail(int result) { return result == 0 || fail(errno); }

// Where the file system has no RENAME_NOREPLACE: link() refuses an existing name
// atomically; a folder (or a file system without hard links) falls back to a check
// before the rename, which is the best such a file system allows.
bool renameWithoutReplacingFallback(const std::string& src, const std::string& dst) {
    struct stat st {};
    if (lstat(src.c_str(), &st) != 0) return fail(errno);
    if (!S_ISDIR(st.st_mode)) {
        if (link(src.c_str(), dst.c_str()) == 0) return succeededOrFail(unlink(src.c_str()));
        if (errno == EEXIST) return fail(EEXIST);
    }
    if (lstat(dst.c_str(), &st) == 0) return fail(EEXIST);
    return succeededOrFail(rename(src.c_str(), dst.c_str()));
}

// Across file systems: copy, then remove the source. If the source cannot be removed the
// copy is taken back, so a failed move leaves things as they were.
bool moveByCopy(const std::string& src, const std::string& dst, const CopyProgress& progress) {
    struct stat st {};
    if (lstat(src.c_str(), &st) != 0) return fail(errno);
    if (S_ISDIR(st.st_mode)) return fail(EXDEV); // folder trees are moved by the callers' walks
    bool copied = S_ISLNK(st.st_mode) ? copySymlink(src, dst) : copyFile(src, dst, true, progress);
    if (!copied) return false;
    if (unlink(src.c_str()) != 0) {
        int e = errno;
        unlink(dst.c_str());
        return fail(e);
    }
    return true;
}

} // namespace

bool moveFile(const std::string& src, const std::string& dst, const CopyProgress& progress) {
    if (renameat2(AT_FDCWD, src.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE) == 0) return true;
    int e = errno;
    if (e == EINVAL || e == ENOSYS) {
        // EINVAL is also the answer for a folder moved into itself.
        if (isSameOrInside(dst, src)) return fail(EINVAL);
        return renameWithoutReplacingFallback(src, dst);
    }
    if (e == EXDEV) return moveByCopy(src, dst, progress);
    return fail(e);
}

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

bool isSameFolderOrInside(const std::string& inner, const std::string& outer) {
    struct stat target {};
    if (stat(outer.c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) return false;
    char* resolved = realpath(inner.c_str(), nullptr);
    if (!resolved) return false;
    std::string p(resolved);
    free(resolved);
    // From the folder itself up to "/", each ancestor compared by device and inode.
    for (;;) {
        struct stat st {};
        if (stat(p.c_str(), &st) == 0 && st.st_dev == target.st_dev && st.st_ino == target.st_ino)
            return true;
        if (p == "/" || p.empty()) return false;
        p = parentFolder(p);
    }
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

bool copySymlink(const std::string& src, const std::string& dst) {
    struct stat st {};
    if (lstat(src.c_str(), &st) != 0) return fail(errno);
    if (!S_ISLNK(st.st_mode)) return fail(EINVAL);
    std::vector<char> target(static_cast<std::size_t>(st.st_size) + 1);
    for (;;) {
        ssize_t n = readlink(src.c_str(), target.data(), target.size());
        if (n < 0) return fail(errno);
        if (static_cast<std::size_t>(n) < target.size()) {
            target.resize(static_cast<std::size_t>(n));
            break;
        }
        target.resize(target.size() * 2); // the link grew since the lstat
    }
    target.push_back('\0');
    if (symlink(target.data(), dst.c_str()) != 0) return fail(errno);
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    utimensat(AT_FDCWD, dst.c_str(), times, AT_SYMLINK_NOFOLLOW); // best effort
    return true;
}

} // namespace g3
