// The one entry point every archiver module exports, shared by the program that calls the
// modules (archivebridge) and the modules themselves (libs/).
//
// A module is a shared library in the folder "DLL/" beside the executable, loaded for one
// command and unloaded after it. Its entry point takes the owner window (a QWidget* of the
// caller, or null), a NUL-terminated command line, an output buffer and that buffer's size
// in bytes. It runs the whole command before it returns: with a QApplication on the
// calling thread it shows its own modal progress window over a worker thread, its
// questions and its error report; without one it works on the calling thread and asks
// nothing. The buffer receives the module's report as UTF-8 text (cut to fit, always
// NUL-terminated when the size is not 0).
#pragma once

#include <cstdint>

namespace g3 {

using ArchiverEntryPoint = int (*)(void* ownerWindow, const char* commandLine, char* output,
                                   std::uint32_t outputSize);

// What the entry point returns.
enum ArchiverResult : int {
    kArchiverOk = 0,
    kArchiverEntriesFailed = 1, // the command ran; some entries or files were not written
    kArchiverCancelled = 2,     // the user stopped it (what was done before stays)
    kArchiverCannotRead = 3,    // the archive could not be opened or read at all
    kArchiverCannotWrite = 4,   // no archive was made, or the destination could not be made
    kArchiverBadCommand = 5,    // the command line is not one the module understands
};

} // namespace g3

#if defined(__GNUC__)
#define G3_ARCHIVER_EXPORT __attribute__((visibility("default")))
#else
#define G3_ARCHIVER_EXPORT
#endif
