#include "platform/fileio.h"

#include "platform/paths.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace g3 {

UniqueFd openRegularFile(const std::string& path, struct stat& st) {
    // The stat comes first so that nothing but a regular file is opened; O_NONBLOCK
    // covers a file swapped for a FIFO in between, and the fstat of the open descriptor
    // is what counts.
    if (stat(path.c_str(), &st) != 0) return UniqueFd();
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : ENOTSUP;
        return UniqueFd();
    }
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd) return fd;
    if (fstat(fd.get(), &st) != 0) return UniqueFd();
    if (!S_ISREG(st.st_mode)) {
        errno = ENOTSUP;
        return UniqueFd();
    }
    return fd;
}

bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t n = bytes.size();
    while (n > 0) {
        ssize_t w = write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

namespace {

// Where linkat() can name an unnamed file: through its /proc entry, which needs no
// privilege. Without /proc mounted the unnamed way is not taken at all.
bool procFdUsable() {
    static const bool usable = access("/proc/self/fd", X_OK) == 0;
    return usable;
}

// Gives the unnamed file fd the name `name` (refusing an existing one). AT_EMPTY_PATH
// names the descriptor itself but needs a privilege; its /proc entry works for everyone,
// at the price of a path walk.
int nameUnnamed(int fd, const std::string& name) {
    static std::atomic<bool> emptyPathRefused{false};
    const bool tryEmptyPath = !emptyPathRefused.load(std::memory_order_relaxed);
    if (tryEmptyPath) {
        if (linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
        if (errno != ENOENT && errno != EPERM) return -1;
    }
    std::string proc = "/proc/self/fd/" + std::to_string(fd);
    int r = linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
    // ENOENT above meant the missing privilege, not a missing folder, when this worked.
    if (r == 0 && tryEmptyPath) emptyPathRefused.store(true, std::memory_order_relaxed);
    return r;
}

// A hidden temporary name in folder, as a template for mkostemp. Short: the target's own
// name may already use all 255 bytes.
std::string temporaryTemplate(const std::string& folder) {
    return joinPath(folder.empty() ? "." : folder, ".g3tmp-XXXXXX");
}

std::string randomTemporaryName(const std::string& folder) {
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uint32_t r = arc4random();
    std::string name = ".g3tmp-";
    for (int i = 0; i < 6; ++i, r /= 36)
        name += digits[r % 36];
    return joinPath(folder.empty() ? "." : folder, name);
}

// Calls make(name) with fresh temporary names until one is free; 0 or errno.
template <typename Make>
int underFreshName(const std::string& folder, std::string& name, Make make) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = randomTemporaryName(folder);
        if (make(name) == 0) return 0;
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

// Makes an entry at target with make(name), which refuses an existing name: directly when
// target is not to be replaced, else under a fresh temporary name that is then renamed
// over target, so target is never missing and never half made. 0 or errno.
template <typename Make> int placeAt(const std::string& target, bool replace, Make make) {
    if (!replace) return make(target) == 0 ? 0 : errno;
    std::string name;
    if (int e = underFreshName(parentFolder(target), name, make)) return e;
    if (rename(name.c_str(), target.c_str()) == 0) return 0;
    int e = errno;
    unlink(name.c_str());
    return e;
}

} // namespace

bool pwriteAll(int fd, std::string_view bytes, off_t at) {
    const char* p = bytes.data();
    std::size_t n = bytes.size();
    while (n > 0) {
        ssize_t w = pwrite(fd, p, n, at);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        at += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

TempFile::TempFile(const std::string& target) {
    std::string folder = parentFolder(target);
    if (folder.empty()) folder = ".";
    if (procFdUsable()) {
        fd_.reset(open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
        if (fd_) return;
        // Not every file system has unnamed files (FAT, NTFS, network file systems).
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) return;
    }
    nameTemporarily(folder);
}

void TempFile::nameTemporarily(const std::string& folder) {
    path_ = temporaryTemplate(folder);
    fd_.reset(mkostemp(path_.data(), O_CLOEXEC));
    if (!fd_) path_.clear();
}

TempFile::~TempFile() {
    if (!path_.empty()) unlink(path_.c_str());
}

int TempFile::renameInto(const std::string& target, bool replace) {
    if (unnamed()) {
        // The name is what must not come early, and it comes only now.
        int e = placeAt(target, replace,
                        [&](const std::string& n) { return nameUnnamed(fd_.get(), n); });
        // On failure the file stays open and unnamed, ready for another try.
        if (!e && fd_.closeChecked() != 0) e = errno;
        return e;
    }
    if (fd_.closeChecked() != 0) return errno;
    int e = replace ? (rename(path_.c_str(), target.c_str()) == 0 ? 0 : errno)
                    : renameWithoutReplacing(path_, target);
    if (e == 0) path_.clear();
    return e;
}

int linkInto(const std::string& existing, const std::string& target, bool replace) {
    return placeAt(target, replace,
                   [&](const std::string& n) { return link(existing.c_str(), n.c_str()); });
}

int symlinkInto(const std::string& text, const std::string& target, bool replace,
                const struct timespec* times) {
    return placeAt(target, replace, [&](const std::string& n) {
        int r = symlink(text.c_str(), n.c_str());
        if (r == 0 && times) utimensat(AT_FDCWD, n.c_str(), times, AT_SYMLINK_NOFOLLOW);
        return r;
    });
}

int renameWithoutReplacing(const std::string& src, const std::string& dst) {
    if (renameat2(AT_FDCWD, src.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // EINVAL is also the kernel's answer for a folder moved into itself.
    if (isSameOrInside(dst, src)) return EINVAL;
    struct stat st {};
    if (lstat(src.c_str(), &st) != 0) return errno;
    if (!S_ISDIR(st.st_mode)) {
        if (link(src.c_str(), dst.c_str()) == 0) return unlink(src.c_str()) == 0 ? 0 : errno;
        if (errno == EEXIST) return EEXIST;
    }
    if (lstat(dst.c_str(), &st) == 0) return EEXIST;
    return rename(src.c_str(), dst.c_str()) == 0 ? 0 : errno;
}

} // namespace g3
