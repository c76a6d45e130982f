// File operations with the semantics the copy and move runs rely on. Every failing call
// leaves its reason in lastError() (errors.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace g3 {

// Called between pieces of a copy (each piece takes a bounded time, a few milliseconds) so
// the caller can pump events; return false to cancel the copy (it then fails with ECANCELED
// and leaves the destination as it was).
using CopyProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Copies contents, mode and last-write time of a regular file. Replaces an existing
// destination file unless failIfExists. Fails, leaving both files unchanged, when source and
// destination are the same file (also through a hard link), when the destination is
// read-only (also for root), when the source is not a regular file (a FIFO or device is
// never opened), and on any I/O error. An overwrite writes a temporary file beside the
// destination and renames it over the old one, so a failed copy never destroys it.
bool copyFile(const std::string& src, const std::string& dst, bool failIfExists = false,
              const CopyProgress& progress = {});

// Moves a file or folder without replacing (fails with EEXIST when dst exists). Across file
// systems a regular file is copied, then the source deleted only after the copy succeeded.
bool moveFile(const std::string& src, const std::string& dst, const CopyProgress& progress = {});

// Deletes a file (not a folder); refused (EACCES) for a read-only file.
bool deleteFile(const std::string& path);
// Deletes an empty folder.
bool removeDirectory(const std::string& path);

// Creates one folder; false when it exists already or the parent is missing.
bool createDirectory(const std::string& path);
// Creates a folder and every missing parent; true when the folder exists afterwards.
bool forceDirectories(const std::string& path);

// True when path names an existing folder (a link to a folder counts). "/" is a folder.
bool isFolder(const std::string& path);
// True when the folder inner is the folder outer itself or lies anywhere below it, however
// either is reached: through links, or through another mount of the same folder. Decided
// by the folders' identities, not by the text of the paths. False when either is missing.
bool isSameFolderOrInside(const std::string& inner, const std::string& outer);
// True when anything exists at path (a dangling link counts).
bool pathExists(const std::string& path);
// 64-bit size of the entry at path (a link gives its target's size, a dangling link its
// own); -1 when there is none.
std::int64_t fileSizeOf(const std::string& path);

// Copies a symbolic link as a link (its target text unchanged); fails when dst exists.
bool copySymlink(const std::string& src, const std::string& dst);

// Test seam: when set, called before each piece of a copy is written with the number of
// bytes written so far; returning a non-zero errno makes that write fail with it.
void setCopyFaultInjection(std::function<int(std::uint64_t written)> hook);

} // namespace g3
