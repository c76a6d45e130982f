// The module 7-zip32.dll: thaws ZIP and 7z archives: x "archive" -o"destination"; and makes 7z
// archives: a "archive.7z" "file" ...
#include "archive/archiverapi.h"
#include "archive/libs/archivermodule.h"
#include "archive/libs/thawjob.h"

extern "C" G3_ARCHIVER_EXPORT int SevenZip(void* ownerWindow, const char* commandLine, char* output,
                                           std::uint32_t outputSize) {
    static constexpr g3::ArchiverModuleSpec spec{g3::CommandStyle::SevenZip,
                                                 g3::kFamilyZip | g3::kFamily7z};
    return g3::runArchiverModule(spec, ownerWindow, commandLine, output, outputSize);
}
