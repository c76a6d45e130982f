#include "engine/fileprobe.h"

#include "platform/errors.h"
#include "platform/fileops.h"
#include "platform/findfile.h"
#include "platform/paths.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string_view>

namespace g3 {

EntryKind entryKindOf(const std::string& path) {
    struct stat st {};
    return entryKindOf(path, st);
}

EntryKind entryKindOf(const std::string& path, struct stat& st) {
    if (::lstat(path.c_str(), &st) != 0) {
        setLastError(errno);
        return EntryKind::Missing;
    }
    if (S_ISREG(st.st_mode)) return EntryKind::File;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    if (S_ISLNK(st.st_mode)) return EntryKind::Link;
    return EntryKind::Special;
}

bool sameEntry(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    if (::lstat(a.c_str(), &sa) != 0 || ::lstat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::uint64_t countFiles(const std::string& path) {
    if (entryKindOf(path) != EntryKind::Folder) return 1;
    std::uint64_t n = 0;
    FindHandle h;
    FindData d;
    for (bool ok = h.first(joinPath(path, "*"), d, FindDetail::NameAndType); ok; ok = h.next(d)) {
        if (d.isDotOrDotDot()) continue;
        bool folder = d.isDirectory() && !(d.attributes & faLink);
        n += folder ? countFiles(joinPath(path, d.name)) : 1;
    }
    return n;
}

bool replaceWithLink(const std::string& src, const std::string& dst) {
    if (!pathExists(dst)) return copySymlink(src, dst);
    std::string tmp = joinPath(parentFolder(dst), "." + namePart(dst) + ".g3link");
    if (!copySymlink(src, tmp)) return false;
    if (std::rename(tmp.c_str(), dst.c_str()) != 0) {
        int e = errno;
        deleteFile(tmp);
        setLastError(e);
        return false;
    }
    return true;
}

bool moveLink(const std::string& src, const std::string& dst) {
    if (moveFile(src, dst)) return true;
    if (lastError() != EXDEV) return false;
    if (!copySymlink(src, dst)) return false;
    deleteFile(src);
    return true;
}

} // namespace g3
