// File lists of the desktop's clipboard and drag formats (platform/filelists.h), read into
// exact path bytes. Names travel percent-encoded byte by byte in file:// URIs; the drop
// target and the clipboard paste both read them through here.
#pragma once

#include "platform/filelists.h"

#include <QByteArray>
#include <QMimeData>

#include <string>
#include <vector>

namespace g3 {

struct ClipFiles {
    std::vector<std::string> paths; // full paths, exact bytes, in order
    bool cut = false;               // the writer meant a move
};

// fileUri (platform/filelists.h) as a QByteArray.
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
