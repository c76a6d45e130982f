// Small probes and link helpers shared by the copy worker and the shell file operation.
#pragma once

#include <cstdint>
#include <string>

struct stat;

namespace g3 {

// What a path names, without following a symbolic link.
enum class EntryKind { Missing, File, Folder, Link, Special };

// Missing leaves the reason in lastError().
EntryKind entryKindOf(const std::string& path);
// The same, keeping the status of the entry itself (lstat) in st.
EntryKind entryKindOf(const std::string& path, struct stat& st);
// True when both paths name the same existing entry (also through a hard link).
bool sameEntry(const std::string& a, const std::string& b);
// Number of entries that are not folders in the tree at path (1 for a file or link).
std::uint64_t countFiles(const std::string& path);

// Makes dst a copy of the link src: a new link is written beside dst and renamed over it,
// so an existing dst stays as it was when this fails.
bool replaceWithLink(const std::string& src, const std::string& dst);
// Moves the link src to the new name dst (which must not exist), also across file systems.
bool moveLink(const std::string& src, const std::string& dst);

} // namespace g3
