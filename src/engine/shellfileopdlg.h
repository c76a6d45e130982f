// The modal progress window of the shell file operation: it runs the job on its worker
// thread, shows the title, the files and bytes done and the speed, asks the replace
// question for each existing file and shows the job's errors, while the event loop keeps
// every window painting. Its cancel button (and its close box, and Escape) stops the job
// at the next piece of a file.
#pragma once

#include "engine/shellfileop.h"
#include "ui/msgbox.h"
#include "ui/workprogress.h"

#include <QElapsedTimer>

class QLabel;

namespace g3 {

class TShellFileOpDlg : public TWorkProgressDlg {
    Q_OBJECT
public:
    // The questions and errors go to boxes.
    TShellFileOpDlg(ShellFileOperation& op, MessageBoxes& boxes, QWidget* parent = nullptr);

    QLabel* lblFrom;    // the item being processed (hidden with FOF_SIMPLEPROGRESS)
    QLabel* lblTo;      // its destination folder (hidden with FOF_SIMPLEPROGRESS)
    QLabel* lblCount;   // files done of the total
    QLabel* lblBytes;   // bytes done of the total
    QLabel* lblSpeed;   // bytes a second since the start
    // bar: bytes done, or files done when there are no bytes to copy

    // Starts the job on its worker thread, shows the window modally until the job has
    // ended, and returns the job's result.
    int execute();
    void refresh() override;

    // The replace question and the error report, in the window's voice through the
    // boxes. Called on the user-interface thread.
    ReplaceAnswer askReplace(const ReplaceInfo& info);
    bool reportError(const FileOpError& error);

protected:
    bool workFinished() const override { return op_.finished(); }
    void cancelWork() override { op_.cancel(); }

private:
    ShellFileOperation& op_;
    MessageBoxes& boxes_;
    QElapsedTimer clock_;
};

// The window's default title for an operation: "家をコピーしています", "家を移動しています",
// "家を削除しています" or, for a delete with undo, "家をごみ箱へ送っています".
QString defaultFileOpTitle(unsigned func, unsigned flags = 0);
// The question before a delete: one item named, or the count; and its caption.
QString deleteQuestionText(const ShellFileOpRequest& request);
QString deleteQuestionCaption(const ShellFileOpRequest& request);
// The one report after a delete with undo of the items that stayed where they were.
QString trashFailuresText(const std::vector<FileOpError>& errors);
// The replace question's text for one existing file.
QString replaceQuestionText(const ReplaceInfo& info);
// The error text for one failure.
QString fileOpErrorText(const FileOpError& error);

// The one call the program makes to run a shell file operation: behind TShellFileOpDlg,
// owned by parent (the active window when none). A delete asks first unless
// FOF_NOCONFIRMATION (kErrorCancelled when the answer is no). Returns the job's result.
int runShellFileOperation(ShellFileOperation& op, MessageBoxes& boxes, QWidget* parent = nullptr);

} // namespace g3
