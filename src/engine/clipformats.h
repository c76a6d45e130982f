// Files on the clipboard: the formats the desktop's file managers write and read, as
// QMimeData. Names travel as their exact bytes, percent-encoded in file:// URIs.
#pragma once

#include <QByteArray>
#include <QMimeData>

#include <string>
#include <vector>

namespace g3 {

struct ClipFiles {
    std::vector<std::string> paths; // full paths, exact bytes, in order
    bool cut = false;               // the writer meant a move
};

// "file://" + the path percent-encoded byte by byte ("/" kept).
QByteArray fileUriOf(const std::string& path);
// The path of a file:// URI ("file:///p" or "file://localhost/p"); false for another
// scheme or host.
bool pathOfFileUri(const QByteArray& uri, std::string& path);

// Writes text/uri-list (CRLF after every URI), x-special/gnome-copied-files and
// x-special/mate-copied-files ("copy" or "cut", then the URIs, LF-separated, no trailing
// LF), application/x-kde-cutselection ("0" or "1") and text/plain;charset=utf-8 (the
// paths, one a line).
void writeClipFiles(QMimeData& data, const std::vector<std::string>& paths, bool cut = false);

// Reads the files of another program: gnome or mate copied-files first, then text/uri-list
// with the kde cut mark, application/x-kde4-urilist, and the old nautilus text form.
// False when none of them names a file.
bool readClipFiles(const QMimeData& data, ClipFiles& out);

} // namespace g3
