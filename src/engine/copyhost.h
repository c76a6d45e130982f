// What the copy and move worker asks of the window it works for. The main window implements
// it (forwarding to the progress dialog, the error list, the same-name dialog, the
// directory monitor and the folder tree); tests script it. Every call is made on the
// user-interface thread, from inside a run.
#pragma once

#include "engine/shellfileop.h"

#include <cstdint>
#include <string>
#include <vector>

namespace g3 {

class CopyHost {
public:
    virtual ~CopyHost() = default;

    // The progress dialog. Each call processes pending events. updateProgress answers
    // false when the dialog is gone or was cancelled.
    virtual bool openProgress(bool showCancel, const std::string& caption, int max, int min) = 0;
    virtual bool updateProgress(bool step, const std::string& line1, const std::string& line2,
                                const std::string& line3) = 0;
    virtual void closeProgress() = 0;

    // The error list of the run: cleared at its start, one entry per failed file.
    virtual void clearErrors() = 0;
    virtual void addErrorMessage(const std::string& first, const std::string& second,
                                 int code) = 0;
    virtual int errorCount() = 0;
    // The end-of-run report: the count and the offer to show the list (only called when
    // errorCount() > 0).
    virtual void offerErrorReport() = 0;

    // The same-name dialog: selects its first answer before a run (prepareSameName), and
    // asks about one existing file; the answer is 0-5 for the chosen item, 6 for abort or
    // close.
    virtual void prepareSameName() = 0;
    virtual int askSameName(const std::string& label, const std::string& dst,
                            std::int64_t srcSize, std::int64_t dstSize,
                            const std::string& srcTime, const std::string& dstTime) = 0;

    // The directory monitor of the shown folder, and the tree refresh after a run.
    virtual void setMonitorActive(bool active) = 0;
    virtual void refreshTree() = 0;

    // A run starts (true) or ends (false): the window disables its copy and move buttons
    // and its drop targets stay quiet meanwhile.
    virtual void runStateChanged(bool running) = 0;

    // A request the worker refuses, in the system's words (a message box).
    virtual void showRefusal(const std::string& text) = 0;

    // The folder dialog FolderDialog1 with the given title; true and the chosen folder
    // when the user confirmed one.
    virtual bool chooseFolder(const std::string& title, std::string& folder) = 0;

    // The shell file operation with its modal progress window; returns its result.
    virtual int runShellOperation(ShellFileOperation& op) = 0;
};

} // namespace g3
