// The module UNLHA32.DLL: thaws LZH archives: x "archive" "destination/"
#include "archive/archiverapi.h"
#include "archive/libs/archivermodule.h"
#include "archive/libs/thawjob.h"

extern "C" G3_ARCHIVER_EXPORT int Unlha(void* ownerWindow, const char* commandLine, char* output,
                                        std::uint32_t outputSize) {
    static constexpr g3::ArchiverModuleSpec spec{g3::CommandStyle::Lha, g3::kFamilyLha};
    return g3::runArchiverModule(spec, ownerWindow, commandLine, output, outputSize);
}
