// Compression: the listed files into a new 7z archive (LZMA2), each under its name as
// listed (a relative path), read from below a base folder.
//
// The archive is written unnamed (or under a hidden temporary name) beside its real name
// and takes that name only when it is complete, so a cancelled or failed run leaves no
// half archive behind. An existing archive of that name is replaced only when the replace
// question says so. Only regular files and links are stored; a FIFO or device is never
// opened. A file that is gone or cannot be read is left out and reported.
#pragma once

#include "archive/libs/archiverjob.h"

#include <string>
#include <vector>

struct archive;

namespace g3 {

class FreezeJob : public ArchiverJob {
public:
    // archive: the full path of the archive to make; base: the folder the names are
    // relative to.
    FreezeJob(std::string archive, std::string base, std::vector<std::string> names);

protected:
    int work() override;

private:
    // Writes one file; false when the archive itself can no longer be written.
    bool freezeOne(struct archive* out, const std::string& name);

    std::string base_;
    std::vector<std::string> names_;
};

} // namespace g3
