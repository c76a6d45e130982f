// Drops on the list and the tree, the copy and move buttons, the clipboard buttons, and the
// host through which the worker reaches the window.
#include "app/FldrDlg.h"
#include "app/OKRightDlg.h"
#include "app/maincopyhost.h"
#include "app/mein.h"
#include "ui/msgbox.h"
#include "engine/Unit3.h"
#include "engine/clipboard_ui.h"
#include "engine/copyworker.h"
#include "engine/dropmenu.h"
#include "engine/errorlist.h"
#include "engine/progress.h"
#include "engine/shellfileopdlg.h"
#include "fscomp/DROPDST.h"
#include "fscomp/DirMontr.h"
#include "shellviews/FileView.h"
#include "shellviews/FolderView.h"

#include <QAbstractItemView>
#include <QToolButton>

namespace g3 {

// --- The host ---------------------------------------------------------------------

bool MainCopyHost::openProgress(bool showCancel, const std::string& caption, int max, int min) {
    return form_.progress().OpenProgress(showCancel, caption, max, min);
}
bool MainCopyHost::updateProgress(bool step, const std::string& line1, const std::string& line2,
                                  const std::string& line3) {
    return form_.progress().UpdateProgress(step, line1, line2, line3);
}
void MainCopyHost::closeProgress() { form_.progress().CloseProgress(); }

// The list lives in the error-list window; without one (a window alone, in a test) the
// host keeps it and the report asks nothing.
ErrorList& MainCopyHost::errors() {
    return form_.OKRightDlg() ? form_.OKRightDlg()->errorList() : ownErrors_;
}
void MainCopyHost::clearErrors() { errors().clear(); }
void MainCopyHost::addErrorMessage(const std::string& first, const std::string& second, int code) {
    errors().AddErrorMessage(first, second, code);
}
int MainCopyHost::errorCount() { return errors().ErrorCount(); }
void MainCopyHost::offerErrorReport() {
    if (TOKRightDlg* dlg = form_.OKRightDlg()) dlg->reportErrors();
}
void MainCopyHost::prepareSameName() { form_.Form3()->prepareRun(); }

int MainCopyHost::askSameName(const std::string& label, const std::string& dst, std::int64_t srcSize,
                              std::int64_t dstSize, const std::string& srcTime,
                              const std::string& dstTime) {
    return form_.Form3()->domeiKakunin(label, dst, srcSize, dstSize, srcTime, dstTime);
}

void MainCopyHost::setMonitorActive(bool active) {
    if (active)
        form_.resumeMonitor();
    else
        form_.pauseMonitor();
}
void MainCopyHost::refreshTree() { form_.treeRefresh(); }

void MainCopyHost::runStateChanged(bool running) {
    // While a run lasts a second request would interleave with it: both buttons are off
    // and the drop targets take nothing.
    for (const char* name : {"tbtnTatemas", "tbtnHikos", "tbtnPast"})
        if (QToolButton* b = form_.toolButton(QString::fromLatin1(name))) b->setEnabled(!running);
    for (TDropDst* d : {form_.dropDst1_, form_.dropDst2_})
        if (d) d->setAcceptDrop(!running);
}

void MainCopyHost::showRefusal(const std::string& text) {
    form_.services().boxes.messageDlg(QString::fromStdString(text), MsgKind::Warning, mbOK);
}

bool MainCopyHost::chooseFolder(const std::string& title, std::string& folder) {
    TFolderDialog* dlg = form_.FolderDialog1();
    dlg->Title = title;
    if (!dlg->Execute()) return false;
    folder = dlg->Folder;
    return true;
}

int MainCopyHost::runShellOperation(ShellFileOperation& op) {
    return runShellFileOperation(op, form_.services().boxes, &form_);
}

// --- The window's side --------------------------------------------------------------

void TForm1::createCopyMachinery() {
    copyHost_ = std::make_unique<MainCopyHost>(*this);
    engine_ = std::make_unique<TCopyEngine>(*copyHost_, services_.pump);

    dropDst1_ = new TDropDst(this);
    dropDst1_->setObjectName(QStringLiteral("DropDst1"));
    dropDst1_->setControl(list_);
    dropDst1_->OnFileDrop = [this](QObject* s, const std::vector<std::string>& f, int x, int y) {
        DropDst1FileDrop(s, f, x, y);
    };
    dropDst1_->OnDragOver = [this](QObject*, int x, int y) { return listTakesDropAt(x, y); };
    dropDst1_->ErrorDisplay = &services_.boxes;
    dropDst2_ = new TDropDst(this);
    dropDst2_->setObjectName(QStringLiteral("DropDst2"));
    dropDst2_->setControl(tree_);
    dropDst2_->OnFileDrop = [this](QObject* s, const std::vector<std::string>& f, int x, int y) {
        DropDst2FileDrop(s, f, x, y);
    };
    dropDst2_->OnDragOver = [this](QObject*, int x, int y) { return treeTakesDropAt(x, y); };
    dropDst2_->ErrorDisplay = &services_.boxes;

    auto wire = [this](const char* name, void (TForm1::*handler)()) {
        QToolButton* b = toolButton(QString::fromLatin1(name));
        b->setEnabled(true);
        connect(b, &QToolButton::clicked, this, [this, handler] { services_.boxes.runGuarded([this, handler] { (this->*handler)(); }); });
    };
    wire("tbtnTatemas", &TForm1::tbtnTatemasClick);
    wire("tbtnHikos", &TForm1::tbtnHikosClick);
    wire("tbtnCopy", &TForm1::tbtnCopyClick);
    wire("tbtnPast", &TForm1::tbtnPastClick);
}

TForm3* TForm1::Form3() {
    if (!form3_) {
        form3_ = new TForm3(this);
        form3_->setObjectName(QStringLiteral("Form3"));
        form3_->bindAnswerState(engine_->SameNameAnswer, engine_->SameNameForAll);
    }
    return form3_;
}

TFolderDialog* TForm1::FolderDialog1() {
    if (!folderDialog1_) {
        folderDialog1_ = new TFolderDialog(this);
        folderDialog1_->setObjectName(QStringLiteral("FolderDialog1"));
    }
    return folderDialog1_;
}

// The list's drop target reports the point in the list's own coordinates; its rows stand in
// the viewport of the view that shows them, below the header and inside the frame.
int TForm1::listRowAtDrop(int X, int Y) const {
    return list_->rowAt(list_->itemView()->viewport()->mapFrom(list_, QPoint(X, Y)), true);
}

bool TForm1::fileIcoLabHit(int X, int Y) const { return listRowAtDrop(X, Y) >= 0; }

bool TForm1::foldaIcoLabHit(int X, int Y) const { return tree_->nodeAtIconOrLabel(QPoint(X, Y)).isValid(); }

// The desktop root shows home, "/" and the volumes but is no folder of its own: a drop has
// a destination there only on one of those rows, and anywhere else is refused as a drop on
// nothing. On the tree the root's node is refused like the space beside a node.
bool TForm1::listTakesDropAt(int X, int Y) const {
    if (list_->FolderIDList().idCount() > 0) return true;
    const int row = listRowAtDrop(X, Y);
    return row >= 0 && list_->IsFolderItem(row);
}

bool TForm1::treeTakesDropAt(int X, int Y) const {
    const QModelIndex node = tree_->nodeAtIconOrLabel(QPoint(X, Y));
    return node.isValid() && node != tree_->rootNode();
}

int TForm1::askDropKind(const QPoint& screenPos) {
    engine_->OpKind = okNone;
    Progress& p = progress();
    p.OpenProgress(false, "Grottan3 ファイル処理", 1, 0);
    p.UpdateProgress(false, "家の処理", "", "");
    p.CloseProgress();
    const int chosen = PopupMenu3(services_.menus, screenPos, this);
    // The dialog flashes once more after the menu; a drop whose dialog has gone meanwhile
    // is abandoned.
    p.OpenProgress(false, "洞窟や家の処理", 1, 0);
    if (!p.UpdateProgress(false, "洞窟や家の処理", "", "")) return okNone;
    p.CloseProgress();
    engine_->OpKind = chosen;
    return chosen;
}

void TForm1::DropDst1FileDrop(QObject*, const std::vector<std::string>& Files, int X, int Y) {
    if (Files.empty() || engine_->running() || !listTakesDropAt(X, Y)) return;
    const QPoint screen = list_->mapToGlobal(QPoint(X, Y));
    engine_->OpKind = okNone;
    // A drop on a folder row goes into that folder: the list opens it first, so the
    // destination is fixed before the menu shows.
    const int row = listRowAtDrop(X, Y);
    if (row >= 0 && list_->IsFolderItem(row)) tree_->SelectChild(list_->model()->row(row).id);
    const int kind = askDropKind(screen);
    pauseMonitor();
    if (kind >= 1 && kind <= 11) engine_->copinew(Files, CurDir());
    resumeMonitor();
    treeRefresh();
}

void TForm1::DropDst2FileDrop(QObject*, const std::vector<std::string>& Files, int X, int Y) {
    if (engine_->running()) return;
    if (!treeTakesDropAt(X, Y)) return; // beside a node's icon and label, or the root: no drop
    tree_->selectNode(tree_->nodeAtIconOrLabel(QPoint(X, Y)));
    if (Files.empty()) return;
    const QPoint screen = tree_->viewport()->mapToGlobal(QPoint(X, Y));
    const int kind = askDropKind(screen);
    if (kind >= 1 && kind <= 11) engine_->copinew(Files, CurDir());
}

std::vector<std::string> TForm1::selectedNames() const {
    std::vector<std::string> names;
    const FileListModel* m = list_->model();
    for (int row : list_->selectedRows()) names.emplace_back(m->row(row).id.firstName());
    return names;
}

void TForm1::tbtnTatemasClick() { engine_->copimuv2(opCopy, selectedNames(), CurDir()); }
void TForm1::tbtnHikosClick() { engine_->copimuv2(opMove, selectedNames(), CurDir()); }
void TForm1::tbtnCopyClick() { CopyFilesToClipboard(CurDir(), selectedNames()); }

void TForm1::tbtnPastClick() {
    pauseMonitor();
    PasteFiles(CurDir(), services_.boxes, this);
    resumeMonitor();
    treeRefresh();
}

} // namespace g3
