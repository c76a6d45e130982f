// Drops on the list and the tree, run by the copy and move controller, and the controllers
// of the window's commands.
#include "app/FldrDlg.h"
#include "app/OKRightDlg.h"
#include "app/archives.h"
#include "app/associations.h"
#include "app/clipboardcmds.h"
#include "app/copymove.h"
#include "app/filecommands.h"
#include "app/pathcopy.h"
#include "app/quickview.h"
#include "app/mein.h"
#include "app/navigation.h"
#include "app/shellmenu.h"
#include "app/shortcuts.h"
#include "app/search.h"
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

// --- The window's side --------------------------------------------------------------

void TForm1::createControllers() {
    navigation_ = new NavigationController(*this, {combo_, tabs_, addTab_, saveTabs_}, this);
    connect(navigation_, &NavigationController::favouritesChanged, this, [this] { updatePaneBotom(); });
    copyMove_ = new CopyMoveController(*this, *this, this);
    clipboard_ = new ClipboardController(*this, *this, this);
    fileCommands_ = new FileCommandsController(*this, *this, this);
    pathCopy_ = new PathCopyController(*this, *this, this);
    // Quick view is handed the list itself: it switches the list's hot tracking and follows
    // its changes, which no other controller needs.
    quickView_ = new QuickViewController(*this, *this, *list_, this);
    shellMenu_ = new ShellMenuController(*this, *clipboard_, this);
    shellMenu_->evictPaths = [this](const std::vector<std::string>& paths) { fileCommands_->evict(paths); };
    associations_ = new AssociationController(*this, this);
    pathCopy_->addItem(associations_->pmF04());
    shortcuts_ = new ShortcutController(*this, *this, this);
    search_ = new SearchController(*this, *this, this);
    controllers_ = {navigation_, copyMove_, clipboard_, fileCommands_, pathCopy_, associations_, shortcuts_, search_,
                    new ArchiveController(*this, *this, this), shellMenu_, quickView_};
    connect(list_, &TFileView::OnKeyDown, fileCommands_, &FileCommandsController::ShellListView1KeyDown);
    buildKeyboardHabits();
    list_->setContextMenu(shellMenu_->ContextMenuEx1());
    list_->setDropSource(shellMenu_->DropSourceEx1());
    tree_->setContextMenu(shellMenu_->ContextMenuEx1());
    tree_->setDropSource(shellMenu_->DropSourceEx1());

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
}

// While a run lasts a second request would interleave with it: the drop targets take
// nothing, and every controller turns off what must not run beside it.
void TForm1::runStateChanged(bool running) {
    for (TDropDst* d : {dropDst1_, dropDst2_})
        if (d) d->setAcceptDrop(!running);
    for (FeatureController* c : controllers_) c->onRunState(running);
}

TCopyEngine* TForm1::copyEngine() const { return copyMove_->engine(); }
TForm3* TForm1::Form3() { return copyMove_->Form3(); }
TFolderDialog* TForm1::FolderDialog1() { return copyMove_->FolderDialog1(); }

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
    copyEngine()->OpKind = okNone;
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
    copyEngine()->OpKind = chosen;
    return chosen;
}

void TForm1::DropDst1FileDrop(QObject*, const std::vector<std::string>& Files, int X, int Y) {
    if (Files.empty() || copyMove_->running() || !listTakesDropAt(X, Y)) return;
    const QPoint screen = list_->mapToGlobal(QPoint(X, Y));
    copyEngine()->OpKind = okNone;
    // A drop on a folder row goes into that folder: the list opens it first, so the
    // destination is fixed before the menu shows.
    const int row = listRowAtDrop(X, Y);
    if (row >= 0 && list_->IsFolderItem(row)) tree_->SelectChild(list_->model()->row(row).id);
    const int kind = askDropKind(screen);
    {
        MonitorOff quiet(*this);
        if (kind >= 1 && kind <= 11) copyMove_->runDrop(Files, kind);
    }
    treeRefresh();
}

void TForm1::DropDst2FileDrop(QObject*, const std::vector<std::string>& Files, int X, int Y) {
    if (copyMove_->running()) return;
    if (!treeTakesDropAt(X, Y)) return; // beside a node's icon and label, or the root: no drop
    tree_->selectNode(tree_->nodeAtIconOrLabel(QPoint(X, Y)));
    if (Files.empty()) return;
    const QPoint screen = tree_->viewport()->mapToGlobal(QPoint(X, Y));
    const int kind = askDropKind(screen);
    if (kind >= 1 && kind <= 11) copyMove_->runDrop(Files, kind);
}

std::vector<std::string> TForm1::selectedNames() const {
    std::vector<std::string> names;
    const FileListModel* m = list_->model();
    for (int row : list_->selectedRows()) names.emplace_back(m->row(row).id.firstName());
    return names;
}

} // namespace g3
