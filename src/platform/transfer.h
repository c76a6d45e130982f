// The transfer core: the per-entry work of every copy and move of the program (copy one
// file, copy one link, make one folder, move one entry) with the rules that keep files
// safe. Both copy machines take their work from here and differ only in policy: which
// entries, which question, which text.
//
// Every decision about sameness is made on identities (device and inode), never on the
// text of paths. Failing calls return false and leave an errno in lastError():
//   EINVAL  the destination is the source itself (also through a hard link, and for a
//           link the entry it resolves to), or a folder would go into itself
//   EEXIST  the destination exists and was not to be replaced
//   EISDIR  a folder stands where a file or link would go, or the source is a folder
//   EACCES  the destination file is read-only (also for root, and for a link source)
//   ENOTSUP the source is a FIFO, device or socket (never opened)
//   ENOTDIR a destination folder on the way is a link or not a folder
//   ENOENT  the destination root does not exist (it is never created)
// or the errno of the failed system call.
#pragma once

#include "platform/fileops.h"

#include <sys/types.h>

#include <map>
#include <optional>
#include <set>
#include <string>

struct stat;

namespace g3 {

// What a path names, without following a symbolic link.
enum class EntryKind { Missing, File, Folder, Link, Special };

// Missing leaves the reason in lastError().
EntryKind entryKindOf(const std::string& path);
// The same, keeping the status of the entry itself (lstat) in st.
EntryKind entryKindOf(const std::string& path, struct stat& st);

// The identity of a file-system entry.
struct EntryId {
    dev_t dev = 0;
    ino_t ino = 0;
    auto operator<=>(const EntryId&) const = default;
};
EntryId idOf(const struct stat& st);
// The identity of what path names (follow: through a final link); none when missing.
std::optional<EntryId> idOfPath(const std::string& path, bool follow);

// True when dst is the entry src, or what src resolves to when src is a link, or dst is a
// link that resolves to one of those: replacing dst by a copy of src would destroy the
// source.
bool isSameFile(const std::string& src, const std::string& dst);

// Why an existing dst must not be replaced by a copy of the source whose entry status is
// srcEntry (lstat) and, for a link, whose resolved status is srcResolved (null for a
// dangling link); 0 when it may (or dst does not exist: exists then false).
int destinationRefusal(const struct stat& srcEntry, const struct stat* srcResolved,
                       const std::string& dst, bool replace, bool& exists);

// A file with several names met during one run arrives as one file with several names:
// the first copy is remembered, and each later name becomes a link to it.
class HardLinkMemory {
public:
    // The destination already made for a source with this identity, or empty.
    std::string copyOf(const struct stat& src) const;
    void remember(const struct stat& src, const std::string& dst);

private:
    struct Copy {
        std::string path;
        EntryId id; // the copy's own identity, to notice a copy replaced since
    };
    std::map<EntryId, Copy> copies_;
};

struct TransferOptions {
    bool replace = false;            // an existing destination is replaced (else EEXIST)
    bool keepOwner = false;          // a move: owner and set-id bits kept where the process may
    CopyProgress progress;           // between the pieces of a large file
    HardLinkMemory* links = nullptr; // keeps hard links of one run together
    CopyFault fault;                 // tests: failures and kills in the middle of a copy
};

// Copies the regular file or symbolic link src (a link as a link, its target text
// unchanged) to dst. An existing dst is refused, nothing touched, when it is the source
// itself, a folder, read-only, or not to be replaced. A file appears under dst only when
// complete, with its mode and last-write time.
bool copyEntry(const std::string& src, const std::string& dst, const TransferOptions& options);

// Moves src (a file or link; a folder only where a rename can take it whole) to dst, which
// must not exist (EEXIST). Across file systems a file or link is copied, owner kept where
// the process may, and the source removed only after the copy is complete; a folder then
// fails with EXDEV for the caller's walk.
bool moveEntry(const std::string& src, const std::string& dst, const TransferOptions& options);

// Makes folder and every missing folder between root and it. The root must exist and is
// never made; a link or non-folder on the way is refused (ENOTDIR), so nothing is ever
// written through a link below the root.
bool makeFoldersBelow(const std::string& root, const std::string& folder);

// The folders a run writes into, by identity: a walk of the sources must not enter any of
// them, whatever path leads there (a link, a bind mount), or it would meet its own copies.
class DestinationGuard {
public:
    // Adds the folder at path (links followed); false when it is not a folder.
    bool add(const std::string& folder);
    // False when folder is one of the added folders. A folder that cannot be looked at is
    // admitted: its listing then reports why.
    bool admits(const std::string& folder) const;
    void clear() { ids_.clear(); }

private:
    std::set<EntryId> ids_;
};

} // namespace g3
