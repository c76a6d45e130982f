#include "platform/transfer.h"

#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace g3 {

namespace {

bool fail(int code) {
    setLastError(code);
    return false;
}

bool sameId(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The target text of the link at path, read whole even when it grew since st was taken.
bool readLinkText(const std::string& path, const struct stat& st, std::string& text) {
    std::vector<char> buf(static_cast<std::size_t>(st.st_size) + 1);
    for (;;) {
        ssize_t n = readlink(path.c_str(), buf.data(), buf.size());
        if (n < 0) return false;
        if (static_cast<std::size_t>(n) < buf.size()) {
            text.assign(buf.data(), static_cast<std::size_t>(n));
            return true;
        }
        buf.resize(buf.size() * 2);
    }
}

bool copyLink(const std::string& src, const struct stat& srcSt, const std::string& dst,
              bool replace) {
    struct stat resolved {};
    bool resolves = stat(src.c_str(), &resolved) == 0;
    bool exists = false;
    if (int e = destinationRefusal(srcSt, resolves ? &resolved : nullptr, dst, replace, exists))
        return fail(e);
    std::string text;
    if (!readLinkText(src, srcSt, text)) return fail(errno);
    struct timespec times[2] = {srcSt.st_atim, srcSt.st_mtim};
    if (int e = symlinkInto(text, dst, exists, times)) return fail(e);
    return true;
}

// A later name of a file already copied in this run: linked to that copy. False (errno
// kept) when that cannot be done, and the file is then copied on its own.
bool linkToEarlierCopy(const struct stat& srcSt, const std::string& dst, const TransferOptions& o) {
    if (!o.links || srcSt.st_nlink < 2) return false;
    std::string first = o.links->copyOf(srcSt);
    if (first.empty()) return false;
    bool exists = false;
    if (destinationRefusal(srcSt, &srcSt, dst, o.replace, exists) != 0) return false;
    return linkInto(first, dst, o.replace && exists) == 0;
}

bool copyRegular(const std::string& src, const struct stat& srcSt, const std::string& dst,
                 const TransferOptions& o) {
    if (linkToEarlierCopy(srcSt, dst, o)) return true;
    if (!copyFile(src, dst, !o.replace, o.progress, o.keepOwner, o.fault)) return false;
    if (o.links && srcSt.st_nlink > 1) o.links->remember(srcSt, dst);
    return true;
}

} // namespace

EntryKind entryKindOf(const std::string& path) {
    struct stat st {};
    return entryKindOf(path, st);
}

EntryKind entryKindOf(const std::string& path, struct stat& st) {
    if (lstat(path.c_str(), &st) != 0) {
        setLastError(errno);
        return EntryKind::Missing;
    }
    if (S_ISREG(st.st_mode)) return EntryKind::File;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    if (S_ISLNK(st.st_mode)) return EntryKind::Link;
    return EntryKind::Special;
}

EntryId idOf(const struct stat& st) {
    return {st.st_dev, st.st_ino};
}

std::optional<EntryId> idOfPath(const std::string& path, bool follow) {
    struct stat st {};
    int r = follow ? stat(path.c_str(), &st) : lstat(path.c_str(), &st);
    if (r != 0) return std::nullopt;
    return idOf(st);
}

int destinationRefusal(const struct stat& srcEntry, const struct stat* srcResolved,
                       const std::string& dst, bool replace, bool& exists) {
    struct stat entry {};
    exists = lstat(dst.c_str(), &entry) == 0;
    if (!exists) return errno == ENOENT ? 0 : errno;
    // What a link at dst leads to counts as well: a write there lands in that file.
    struct stat through = entry;
    bool leads = !S_ISLNK(entry.st_mode) || stat(dst.c_str(), &through) == 0;
    for (const struct stat* d : {&entry, leads ? &through : nullptr}) {
        if (!d) continue;
        if (sameId(*d, srcEntry) || (srcResolved && sameId(*d, *srcResolved))) return EINVAL;
    }
    if (!replace) return EEXIST;
    if (leads && S_ISDIR(through.st_mode)) return EISDIR;
    // Checked here because root would pass the kernel's own check.
    if (leads && S_ISREG(through.st_mode) && !(through.st_mode & S_IWUSR)) return EACCES;
    return 0;
}

bool isSameFile(const std::string& src, const std::string& dst) {
    struct stat entry {
    }, resolved{};
    if (lstat(src.c_str(), &entry) != 0) return false;
    bool resolves = stat(src.c_str(), &resolved) == 0;
    bool exists = false;
    return destinationRefusal(entry, resolves ? &resolved : nullptr, dst, true, exists) == EINVAL;
}

std::string HardLinkMemory::copyOf(const struct stat& src) const {
    auto it = copies_.find(idOf(src));
    if (it == copies_.end() || idOfPath(it->second.path, false) != it->second.id) return {};
    return it->second.path;
}

void HardLinkMemory::remember(const struct stat& src, const std::string& dst) {
    if (auto id = idOfPath(dst, false)) copies_[idOf(src)] = {dst, *id};
}

bool copyEntry(const std::string& src, const std::string& dst, const TransferOptions& o) {
    struct stat st {};
    switch (entryKindOf(src, st)) {
    case EntryKind::Missing:
        return false;
    case EntryKind::Folder:
        return fail(EISDIR);
    case EntryKind::Special:
        return fail(ENOTSUP);
    case EntryKind::Link:
        return copyLink(src, st, dst, o.replace);
    case EntryKind::File:
        return copyRegular(src, st, dst, o);
    }
    return fail(EINVAL);
}

bool moveEntry(const std::string& src, const std::string& dst, const TransferOptions& o) {
    int e = renameWithoutReplacing(src, dst);
    if (e == 0) return true;
    if (e != EXDEV) return fail(e);
    if (entryKindOf(src) == EntryKind::Folder) return fail(EXDEV);
    TransferOptions copy = o;
    copy.replace = false;
    copy.keepOwner = true;
    if (!copyEntry(src, dst, copy)) return false;
    // The copy is taken back when the source cannot go, so a failed move leaves things
    // as they were.
    if (unlink(src.c_str()) != 0) {
        e = errno;
        unlink(dst.c_str());
        return fail(e);
    }
    return true;
}

bool makeFoldersBelow(const std::string& root, const std::string& folder) {
    const std::string top = currentFolderForm(root);
    const std::string target = currentFolderForm(folder);
    if (!isFolder(top)) return fail(pathExists(top) ? ENOTDIR : ENOENT);
    if (target == top) return true;
    if (!isSameOrInside(target, top)) return fail(EINVAL);
    std::string path = top;
    std::size_t pos = rootRule(top).size() + 1;
    while (pos <= target.size()) {
        std::size_t end = target.find('/', pos);
        if (end == std::string::npos) end = target.size();
        if (end > pos) {
            path = joinPath(path, std::string_view(target).substr(pos, end - pos));
            struct stat st {};
            if (lstat(path.c_str(), &st) != 0) {
                if (errno != ENOENT) return fail(errno);
                if (mkdir(path.c_str(), 0777) != 0 &&
                    (errno != EEXIST || lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
                    return fail(errno == EEXIST ? ENOTDIR : errno);
            } else if (!S_ISDIR(st.st_mode)) {
                return fail(ENOTDIR);
            }
        }
        pos = end + 1;
    }
    return true;
}

bool DestinationGuard::add(const std::string& folder) {
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    ids_.insert(idOf(st));
    return true;
}

bool DestinationGuard::admits(const std::string& folder) const {
    auto id = idOfPath(folder, true);
    return !id || !ids_.count(*id);
}

} // namespace g3
