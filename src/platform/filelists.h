// File lists as the desktop's programs exchange them through the clipboard and drags: the
// format names and the writing side. Names travel as file:// URIs whose path is
// percent-encoded byte by byte, so any name's bytes arrive unchanged. The readers live with
// the drop target (fscomp/dropformats.h); both sides take the names from here.
#pragma once

#include <string>
#include <vector>

namespace g3 {

namespace fileformats {
inline constexpr const char* kUriList = "text/uri-list";
inline constexpr const char* kGnomeCopied = "x-special/gnome-copied-files";
inline constexpr const char* kMateCopied = "x-special/mate-copied-files";
inline constexpr const char* kKdeCut = "application/x-kde-cutselection";
inline constexpr const char* kKdeUris = "application/x-kde4-urilist";
inline constexpr const char* kNautilusMark = "x-special/nautilus-clipboard";
inline constexpr const char* kPlainUtf8 = "text/plain;charset=utf-8";
inline constexpr const char* kPlain = "text/plain";
} // namespace fileformats

// "file://" + the path with every byte but A-Z a-z 0-9 - . _ ~ and "/" written as %XX
// (upper-case hex).
std::string fileUri(const std::string& path);

struct FileListPayload {
    const char* format;
    std::string bytes;
};

// The payloads a list of full paths is offered in, in this order: text/uri-list (CRLF after
// every URI), x-special/gnome-copied-files and x-special/mate-copied-files ("copy" or
// "cut", then the URIs, LF-separated, no trailing LF), application/x-kde-cutselection ("0"
// or "1") and text/plain;charset=utf-8 (the paths, one a line).
std::vector<FileListPayload> fileListPayloads(const std::vector<std::string>& paths, bool cut);

} // namespace g3
