// Files on the clipboard: the formats the desktop's file managers write and read, as
// QMimeData. Names travel as their exact bytes, percent-encoded in file:// URIs; the
// readers (readClipFiles, pathOfFileUri) live in fscomp/dropformats.h.
#pragma once

#include "fscomp/dropformats.h"

#include <QMimeData>

#include <string>
#include <vector>

namespace g3 {

// Writes text/uri-list (CRLF after every URI), x-special/gnome-copied-files and
// x-special/mate-copied-files ("copy" or "cut", then the URIs, LF-separated, no trailing
// LF), application/x-kde-cutselection ("0" or "1") and text/plain;charset=utf-8 (the
// paths, one a line).
void writeClipFiles(QMimeData& data, const std::vector<std::string>& paths, bool cut = false);

} // namespace g3
