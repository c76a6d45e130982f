#include "platform/findfile.h"

#include "platform/errors.h"
#include "platform/handles.h"
#include "platform/mounts.h"
#include "platform/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace g3 {

namespace {

FileTime fileTimeOf(const struct statx_timestamp& t) {
    return fileTimeFromUnix(t.tv_sec, t.tv_nsec);
}

bool isHiddenName(std::string_view name) {
    // "." and ".." are the folder and its parent, not hidden entries.
    return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

// A link carries faDirectory when its target is a folder: the only entries that cost a
// stat of their target.
bool linkTargetIsFolder(int dirFd, const char* name) {
    struct stat st {};
    return fstatat(dirFd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

std::uint32_t typeAttributes(mode_t mode, int dirFd, const char* name) {
    if (S_ISDIR(mode)) return faDirectory;
    if (S_ISREG(mode)) return faArchive;
    if (S_ISLNK(mode)) return faLink | (linkTargetIsFolder(dirFd, name) ? faDirectory : 0u);
    return 0;
}

// Fills every field from one statx of the entry itself. False when the entry vanished
// since the directory was read (it is then skipped).
bool fillFull(int dirFd, const char* name, FindData& out) {
    struct statx sx {};
    if (statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
              STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return false;
    out.attributes = typeAttributes(sx.stx_mode, dirFd, name);
    if (!(sx.stx_mode & S_IWUSR)) out.attributes |= faReadOnly;
    out.size = sx.stx_size;
    out.lastWriteTime = fileTimeOf(sx.stx_mtime);
    out.lastAccessTime = fileTimeOf(sx.stx_atime);
    out.creationTime = (sx.stx_mask & STATX_BTIME) ? fileTimeOf(sx.stx_btime) : 0;
    return true;
}

// Name and type from the directory entry alone; only links and file systems that do
// not fill d_type cost a stat.
bool fillNameAndType(int dirFd, const struct dirent* e, FindData& out) {
    out.size = 0;
    out.lastWriteTime = out.lastAccessTime = out.creationTime = 0;
    switch (e->d_type) {
    case DT_DIR: out.attributes = faDirectory; return true;
    case DT_REG: out.attributes = faArchive; return true;
    case DT_LNK:
        out.attributes = faLink | (linkTargetIsFolder(dirFd, e->d_name) ? faDirectory : 0u);
        return true;
    case DT_UNKNOWN: {
        struct stat st {};
        if (fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
        out.attributes = typeAttributes(st.st_mode, dirFd, e->d_name);
        return true;
    }
    default: out.attributes = 0; return true;
    }
}

// Names in `folder` that are mount points of pseudo file systems. The folder is taken
// lexically: a folder reached through a link to /sys or / shows no system entries.
std::vector<std::string> pseudoMountNamesIn(std::string_view folder) {
    std::vector<std::string> names;
    std::string f = currentFolderForm(folder);
    if (f.empty() || f[0] != '/') return names;
    for (const auto& p : pseudoMountPoints())
        if (p != "/" && parentFolder(p) == f) names.push_back(namePart(p));
    return names;
}

} // namespace

struct FindHandle::Impl {
    DirHandle dir;
    std::string folder;
    std::string mask;
    bool matchAll = true;
    FindDetail detail = FindDetail::Full;
    int error = 0;
    std::vector<std::string> systemNames;

    bool isSystemFolder(const char* name) const {
        return !systemNames.empty() &&
               std::find(systemNames.begin(), systemNames.end(), name) != systemNames.end();
    }
    bool readNext(FindData& out);
};

bool FindHandle::Impl::readNext(FindData& out) {
    if (!dir) return false;
    int fd = dirfd(dir.get());
    for (;;) {
        errno = 0;
        struct dirent* e = readdir(dir.get());
        if (!e) {
            error = errno;
            if (error) setLastError(error);
            return false;
        }
        if (!matchAll && !matchesMask(e->d_name, mask)) continue;
        bool ok = detail == FindDetail::Full ? fillFull(fd, e->d_name, out)
                                             : fillNameAndType(fd, e, out);
        if (!ok) continue;
        if (isHiddenName(e->d_name)) out.attributes |= faHidden;
        if ((out.attributes & (faDirectory | faLink)) == faDirectory && isSystemFolder(e->d_name))
            out.attributes |= faSystem;
        out.name.assign(e->d_name);
        return true;
    }
}

FindHandle::FindHandle() : d_(std::make_unique<Impl>()) {}
FindHandle::~FindHandle() = default;
FindHandle::FindHandle(FindHandle&&) noexcept = default;
FindHandle& FindHandle::operator=(FindHandle&&) noexcept = default;

bool FindHandle::first(std::string_view pattern, FindData& out, FindDetail detail) {
    if (!d_) d_ = std::make_unique<Impl>();
    close();
    std::size_t slash = pattern.rfind('/');
    std::string folder = slash == std::string_view::npos ? std::string()
                         : slash == 0                    ? std::string("/")
                                                         : std::string(pattern.substr(0, slash));
    d_->mask.assign(slash == std::string_view::npos ? pattern : pattern.substr(slash + 1));
    d_->matchAll = d_->mask == "*" || d_->mask == "*.*";
    d_->detail = detail;
    d_->folder = folder;
    d_->dir.reset(opendir(folder.empty() ? "." : folder.c_str()));
    if (!d_->dir) {
        d_->error = errno;
        setLastError(d_->error);
        return false;
    }
    d_->systemNames = pseudoMountNamesIn(folder);
    return d_->readNext(out);
}

bool FindHandle::next(FindData& out) { return d_ && d_->readNext(out); }

void FindHandle::close() {
    if (!d_) return;
    d_->dir.reset();
    d_->error = 0;
}

bool FindHandle::isOpen() const { return d_ && d_->dir; }
int FindHandle::error() const { return d_ ? d_->error : 0; }

const std::string& FindHandle::folder() const {
    static const std::string empty;
    return d_ ? d_->folder : empty;
}

bool findDataOfPath(const std::string& path, FindData& out) {
    std::string p = currentFolderForm(path);
    if (p.empty()) {
        setLastError(ENOENT);
        return false;
    }
    if (!fillFull(AT_FDCWD, p.c_str(), out)) {
        setLastError(errno);
        return false;
    }
    out.name = namePart(p);
    if (isHiddenName(out.name)) out.attributes |= faHidden;
    if ((out.attributes & (faDirectory | faLink)) == faDirectory && isPseudoFileSystemMount(p))
        out.attributes |= faSystem;
    return true;
}

bool isPseudoFileSystemMount(const std::string& path) {
    std::string p = currentFolderForm(path);
    const auto& points = pseudoMountPoints();
    return std::binary_search(points.begin(), points.end(), p);
}

} // namespace g3
