#include "platform/fileio.h"

#include "platform/paths.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

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

TempFile::TempFile(const std::string& target) {
    // A short fixed name: the target's own name may already use all 255 bytes.
    std::string folder = parentFolder(target);
    path_ = joinPath(folder.empty() ? "." : folder, ".g3tmp-XXXXXX");
    fd_.reset(mkostemp(path_.data(), O_CLOEXEC));
    if (!fd_) path_.clear();
}

TempFile::~TempFile() {
    if (!path_.empty()) unlink(path_.c_str());
}

int TempFile::renameInto(const std::string& target, bool replace) {
    if (fd_.closeChecked() != 0) return errno;
    unsigned flags = replace ? 0 : RENAME_NOREPLACE;
    if (renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), flags) == 0) {
        path_.clear();
        return 0;
    }
    if (replace || (errno != EINVAL && errno != ENOSYS)) return errno;
    // No RENAME_NOREPLACE on this file system: link() refuses an existing name just as
    // atomically; the temporary name goes with this object.
    return link(path_.c_str(), target.c_str()) == 0 ? 0 : errno;
}

} // namespace g3
