// Files on the clipboard: the formats the desktop's file managers write and read, as
// QMimeData. Names travel as their exact bytes, percent-encoded in file:// URIs; the
// readers (readClipFiles, pathOfFileUri) live in fscomp/dropformats.h.
#pragma once

#include "fscomp/dropformats.h"

#include <QMimeData>

#include <string>
#include <vector>

namespace g3 {

// Writes every payload of fileListPayloads (platform/filelists.h) under its format.
void writeClipFiles(QMimeData& data, const std::vector<std::string>& paths, bool cut = false);

} // namespace g3
