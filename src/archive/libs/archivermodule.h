// What every archiver module does behind its entry point; each module's own file only
// says which command lines and formats it takes.
#pragma once

#include "archive/libs/cmdline.h"

#include <cstdint>

namespace g3 {

struct ArchiverModuleSpec {
    CommandStyle style;
    unsigned families; // ArchiveFamily bits it reads
};

// Reads the command line and runs it (see archiverapi.h for the contract). Relative paths
// of the line are taken from the process's current folder at the call.
int runArchiverModule(const ArchiverModuleSpec& spec, void* ownerWindow, const char* commandLine,
                      char* output, std::uint32_t outputSize);

} // namespace g3
