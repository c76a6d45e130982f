// Shortcut files: Windows shell links (.lnk, the MS-SHLLINK format), written so that other
// readers of the format accept them, and read by a parser that checks every length and
// offset against the bytes it was given.
//
// A link written here holds the target's attributes, times and size in its header, a
// LinkInfo with the target as the local base path (the path's bytes as the ANSI form, and
// a Unicode form as well when the path is not ASCII), the relative path from the link's
// folder and the working folder as Unicode strings, and the terminal block. Paths are this
// machine's own ("/home/u/report.doc"); bytes that are not UTF-8 travel through the
// Unicode strings as lone surrogates (see bytesToUtf16) and come back exactly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace g3 {

// What a shell link says, as bytes.
struct ShellLink {
    std::uint32_t flags = 0;
    std::uint32_t attributes = 0;
    std::string localBasePath;    // LinkInfo: the Unicode form where there is one
    std::string commonPathSuffix; // LinkInfo: appended to the base path
    std::string name;             // the StringData strings that are present
    std::string relativePath;
    std::string workingDir;
    std::string arguments;
    std::string iconLocation;

    // The LinkInfo's path: base path and suffix.
    std::string localPath() const { return localBasePath + commonPathSuffix; }
};

// The link's bytes: to target (with the attributes, times and size of what is there now),
// working folder workDir (none when empty), recorded for a link file at linkPath. Empty
// with ENAMETOOLONG when a string is longer than the format allows.
std::string shellLinkBytes(const std::string& linkPath, const std::string& target,
                           const std::string& workDir);

// Writes the link to linkPath under a temporary name and renames it into place, replacing a
// file there. 0 or errno.
int writeShellLink(const std::string& linkPath, const std::string& target,
                   const std::string& workDir);

// The link in bytes; nothing when they are not a whole, well-formed shell link (a bad
// header, a length or offset past the end, a string without its end, no terminal block).
std::optional<ShellLink> parseShellLink(std::string_view bytes);

// True for a name that ends in ".lnk", in any case.
bool isShortcutName(std::string_view name);

// Where a shortcut file leads: the absolute path it names and its working folder.
struct ShortcutTarget {
    std::string path;
    std::string workingDir;
};

// Reads the shortcut file at linkPath (a regular file of at most 1 MiB whose name ends in
// ".lnk"): the LinkInfo's local path when it is absolute, else the relative path taken
// from the link's folder. Nothing when the file is no readable link or names no path of
// this machine.
std::optional<ShortcutTarget> readShortcut(const std::string& linkPath);

} // namespace g3
