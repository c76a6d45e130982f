// The archiver module's own windows: the modal progress window that runs a job on its
// worker thread (archive, entry, bytes, a cancel button) while the event loop keeps every
// window painting, the replace question and the error report at the end. All of them are
// shown over the owner window the caller handed in.
//
// The module is unloaded after each command: these windows are plain QDialog objects
// without meta-object code of their own, connected to lambdas, and every one of them is
// gone before the entry point returns.
#pragma once

#include "archive/libs/archiverjob.h"

#include "ui/msgbox.h"
#include "ui/workprogress.h"

class QLabel;

namespace g3 {

class TArchiverProgressDlg : public TWorkProgressDlg {
public:
    // The question and the report go to boxes.
    TArchiverProgressDlg(ArchiverJob& job, MessageBoxes& boxes, QWidget* owner);

    QLabel* lblArchive; // the archive's name
    QLabel* lblEntry;   // the entry (thaw) or file (freeze) being handled
    QLabel* lblBytes;   // bytes done of the total
    QLabel* lblCount;   // houses done

    // Starts the job on its worker thread, shows the window modally until the job has
    // ended, and returns the job's result. The replace question is asked over this window.
    int execute();
    void refresh() override;

protected:
    bool workFinished() const override { return job_.finished(); }
    void cancelWork() override { job_.cancel(); }

private:
    ArchiverJob& job_;
    MessageBoxes& boxes_;
};

// The window's title: "冷凍団地を解凍しています" or "冷凍団地に凍結しています".
QString archiverTitle(const ArchiverJob& job);
// The replace question for one existing house (or, freezing, the existing estate).
QString archiverReplaceText(const ArchiverJob& job, const ReplaceInfo& info);
// はい replaces, すべてはい replaces this and every later one, いいえ skips, キャンセル stops.
ReplaceAnswer askArchiverReplace(QWidget* parent, MessageBoxes& boxes, const ArchiverJob& job,
                                 const ReplaceInfo& info);
// The error report of an ended job (nothing when it has none).
void showArchiverReport(QWidget* parent, MessageBoxes& boxes, const ArchiverJob& job);

} // namespace g3
