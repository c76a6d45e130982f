// Pieces shared by the writers of this folder: opening a regular file for reading and the
// temporary file that a write goes to before it is renamed into place.
#pragma once

#include "platform/handles.h"

#include <sys/stat.h>

#include <string>
#include <string_view>

namespace g3 {

// Opens path for reading only when it is a regular file (links followed); a FIFO or
// device is never opened. Invalid descriptor and errno (EISDIR, ENOTSUP, ...) otherwise;
// st receives the open file's status.
UniqueFd openRegularFile(const std::string& path, struct stat& st);

// Writes every byte, retrying short writes; false with errno on failure.
bool writeAll(int fd, std::string_view bytes);
// The same at a given offset (pwrite), leaving the file offset alone.
bool pwriteAll(int fd, std::string_view bytes, off_t at);

// A file being written beside `target` (same folder) that takes the target's name only
// when renameInto() is called, so nothing incomplete ever stands under that name. Where
// the file system allows it the file has no name at all until then (O_TMPFILE), and a
// process killed meanwhile leaves nothing behind; elsewhere it has a short hidden
// temporary name, removed when the object goes unless renameInto() put it in place.
class TempFile {
public:
    explicit TempFile(const std::string& target);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool isOpen() const { return static_cast<bool>(fd_); }
    int fd() const { return fd_.get(); }
    // True while the file has no name (O_TMPFILE).
    bool unnamed() const { return isOpen() && path_.empty(); }
    // Closes the file and gives it the target's name: replacing an existing target, or
    // (replace false) failing with EEXIST when one exists. 0 or errno; after a failure
    // the target is as it was, and an unnamed file stays open for another try.
    int renameInto(const std::string& target, bool replace);

private:
    void nameTemporarily(const std::string& folder);

    std::string path_; // the temporary name; empty while unnamed
    UniqueFd fd_;
};

// Gives the existing file `existing` the further name `target` (a hard link) without
// ever leaving a partial state under target: replacing it, or (replace false) failing
// with EEXIST. 0 or errno.
int linkInto(const std::string& existing, const std::string& target, bool replace);

// Makes a symbolic link with the given target text at target, its times set (times:
// access and modification, may be null) before it appears; replacing an existing target,
// or (replace false) failing with EEXIST. 0 or errno.
int symlinkInto(const std::string& text, const std::string& target, bool replace,
                const struct timespec* times);

// Renames src to dst only when dst does not exist (EEXIST otherwise), on every file
// system: where RENAME_NOREPLACE is missing, link() refuses an existing name just as
// atomically; only a folder there falls back to a check before the rename. 0 or errno.
int renameWithoutReplacing(const std::string& src, const std::string& dst);

} // namespace g3
