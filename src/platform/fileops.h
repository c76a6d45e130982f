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

// Called before each piece of a copy is written with the number of bytes written so far;
// a non-zero errno makes that write fail with it (tests simulate failures and kills).
using CopyFault = std::function<int(std::uint64_t written)>;

// Copies contents (holes kept), mode and last-write time of a regular file. Replaces an
// existing destination file unless failIfExists. Fails, leaving both files unchanged,
// when source and destination are the same file (by identity, also through links and hard
// links), when the destination is read-only (also for root), when the source is not a
// regular file (a FIFO or device is never opened), and on any I/O error. The copy is
// written unnamed or under a temporary name and takes the destination's name only when
// complete, so neither a failure nor a kill leaves a partial file that looks current.
// keepOwner (a move): the source's owner, and with it the set-user and set-group bits,
// are kept where the process may give them.
bool copyFile(const std::string& src, const std::string& dst, bool failIfExists = false,
              const CopyProgress& progress = {}, bool keepOwner = false,
              const CopyFault& fault = {});

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
// True when a and b are the same existing folder (through links), by device and inode.
bool isSameFolder(const std::string& a, const std::string& b);
// The absolute path with every link, "." and ".." resolved (realpath); empty when it does
// not exist.
std::string resolvedPath(const std::string& path);
// True when anything exists at path (a dangling link counts).
bool pathExists(const std::string& path);
// 64-bit size of the entry at path (a link gives its target's size, a dangling link its
// own); -1 when there is none.
std::int64_t fileSizeOf(const std::string& path);

} // namespace g3
