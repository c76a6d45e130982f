// Pieces shared by the writers of this folder: opening a regular file for reading and the
// temporary file that a write goes to before it is renamed into place.
#pragma once

#include "platform/uniquefd.h"

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

// A temporary file beside `target` (same folder, hidden name). It is unlinked when the
// object goes unless renameInto() put it in place.
class TempFile {
public:
    explicit TempFile(const std::string& target);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool isOpen() const { return static_cast<bool>(fd_); }
    int fd() const { return fd_.get(); }
    const std::string& path() const { return path_; }
    // Closes the file and renames it to the target: replacing it, or (replace false)
    // failing with EEXIST when the target exists. 0 or errno.
    int renameInto(const std::string& target, bool replace);

private:
    std::string path_;
    UniqueFd fd_;
};

} // namespace g3
