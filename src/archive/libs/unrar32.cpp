// The module unrar32.dll: thaws RAR archives (RAR 4 and 5): -x "archive" "destination/"
#include "archive/archiverapi.h"
#include "archive/libs/archivermodule.h"
#include "archive/libs/thawjob.h"

extern "C" G3_ARCHIVER_EXPORT int Unrar(void* ownerWindow, const char* commandLine, char* output,
                                        std::uint32_t outputSize) {
    static constexpr g3::ArchiverModuleSpec spec{g3::CommandStyle::DashX, g3::kFamilyRar};
    return g3::runArchiverModule(spec, ownerWindow, commandLine, output, outputSize);
}
