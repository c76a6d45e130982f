// Find enumeration: find-first / find-next over "folder/mask", as the program's walks use it.
#pragma once

#include "platform/dostime.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace g3 {

// Attribute bits of a find record (the values the program's filters use).
enum FileAttribute : std::uint32_t {
    faReadOnly = 0x01,  // owner write bit clear
    faHidden = 0x02,    // name begins with "."
    faSystem = 0x04,    // mount point of a pseudo file system (/proc, /sys, /dev ...)
    faDirectory = 0x10, // a folder (also a symbolic link to one: then faLink is set too)
    faArchive = 0x20,   // a regular file
    faLink = 0x400,     // a symbolic link; walks never descend into a linked folder
};

// One directory entry. Metadata describes the entry itself (a link, not its target), except
// that a link to a folder also carries faDirectory.
struct FindData {
    std::uint32_t attributes = 0;
    FileTime creationTime = 0; // birth time when the file system knows it, else 0
    FileTime lastAccessTime = 0;
    FileTime lastWriteTime = 0;
    std::uint64_t size = 0;
    std::string name; // exact bytes

    std::uint32_t sizeLow() const { return static_cast<std::uint32_t>(size); }
    std::uint32_t sizeHigh() const { return static_cast<std::uint32_t>(size >> 32); }
    bool isDirectory() const { return attributes & faDirectory; }
    bool isDotOrDotDot() const { return name == "." || name == ".."; }
};

// Wildcard match: case-insensitive (ASCII), "*" and "?"; "*.*" and "*" match every name;
// a mask ending in "." matches names without extension ("*." matches "README").
bool matchesMask(std::string_view name, std::string_view mask);

// What a listing reads of each entry.
enum class FindDetail {
    Full,       // every field of the record (one statx per matching entry)
    NameAndType // name and the attributes the directory entry gives (directory, link,
                // hidden, and system for folders); sizes and times stay 0
};

// An open listing (RAII: the directory stream is closed with the handle).
//
//   FindHandle h;
//   FindData d;
//   for (bool ok = h.first("/a/*.txt", d); ok; ok = h.next(d)) { ... }
//   h.error() == 0 after a listing that ran to its end.
class FindHandle {
public:
    FindHandle();
    ~FindHandle();
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    FindHandle(FindHandle&&) noexcept;
    FindHandle& operator=(FindHandle&&) noexcept;

    // Opens the folder part of pattern ("folder/mask"; "/*.*" lists the root) and reads
    // the first entry matching the mask, "." and ".." included. False when nothing
    // matches or the folder cannot be listed; error() then holds 0 (no match) or errno.
    bool first(std::string_view pattern, FindData& out, FindDetail detail = FindDetail::Full);
    // Next matching entry; false at the end (error() 0) or on a read error (errno).
    bool next(FindData& out);
    void close();
    bool isOpen() const;
    int error() const;
    // The folder being listed, as given in the pattern.
    const std::string& folder() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// Reads the record of one path (the entry itself, not a link's target, as in a listing).
// False when it does not exist; lastError() holds errno.
bool findDataOfPath(const std::string& path, FindData& out);

// True when path is the mount point of a pseudo file system (proc, sysfs, devtmpfs, ...).
bool isPseudoFileSystemMount(const std::string& path);

} // namespace g3
