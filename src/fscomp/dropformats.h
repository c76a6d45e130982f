// File lists of the desktop's clipboard and drag formats, read into exact path bytes.
// Names travel percent-encoded byte by byte in file:// URIs; the drop target and the
// clipboard paste both read them through here.
#pragma once

#include <QByteArray>
#include <QMimeData>

#include <string>
#include <vector>

namespace g3 {

// The formats file lists travel in between the desktop's programs (read here, written by
// the clipboard copy).
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

struct ClipFiles {
    std::vector<std::string> paths; // full paths, exact bytes, in order
    bool cut = false;               // the writer meant a move
};

// "file://" + the path percent-encoded byte by byte ("/" kept).
QByteArray fileUriOf(const std::string& path);
// The path of a file:// URI ("file:///p" or "file://localhost/p"); false for another
// scheme or host.
bool pathOfFileUri(const QByteArray& uri, std::string& path);

// Reads the files of another program: gnome or mate copied-files first, then text/uri-list
// with the kde cut mark, application/x-kde4-urilist, and the old nautilus text form.
// False when none of them names a file.
bool readClipFiles(const QMimeData& data, ClipFiles& out);

// The files of a drop: what readClipFiles reads, else plain text whose every non-blank
// line is an absolute path or a file:// URI. Empty when the data names no file.
std::vector<std::string> readDroppedFiles(const QMimeData& data);

} // namespace g3
