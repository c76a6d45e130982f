// The only code of the main window that talks to the folder tree and the file list.
#include "app/mein.h"

#include "app/copymove.h"
#include "app/navigation.h"
#include "ui/msgbox.h"
#include "engine/copyworker.h"
#include "fscomp/DROPDST.h"
#include "fscomp/DirMontr.h"
#include "platform/fileops.h"
#include "platform/paths.h"
#include "shellviews/FileView.h"
#include "shellviews/FolderView.h"

#include <QLayout>
#include <QMenu>
#include <QScopedValueRollback>

#include <utility>

namespace g3 {

namespace {

// data.ini's list style code and the view styles it stands for.
TViewStyle styleOfCode(int code) {
    switch (code) {
    case 1: return vsIcon;
    case 2: return vsSmallIcon;
    case 3: return vsList;
    default: return vsReport; // 4, and any value the file does not know
    }
}

} // namespace

TForm1::~TForm1() {
    // FormDestroy: the tree and the list go first, while the rest of the window exists.
    delete dropDst1_;
    dropDst1_ = nullptr;
    delete dropDst2_;
    dropDst2_ = nullptr;
    if (tree_) tree_->setFileView(nullptr);
    delete tree_;
    tree_ = nullptr;
    delete list_;
    list_ = nullptr;
    monitor_.reset();
}

void TForm1::createViews() {
    list_ = new TFileView(paneList_);
    list_->setMessageBoxes(&services_.boxes);
    list_->setOpener(&services_.opener);
    list_->setSortState(&listSort_);
    list_->setObjectName(QStringLiteral("ShellListView1"));
    list_->setMyPopupMenu(pmenuSort_);
    list_->setGridLines(true);
    list_->setHideSelection(false);
    list_->setRowSelect(true);
    list_->setViewStyle(vsReport);
    paneList_->layout()->addWidget(list_);

    tree_ = new TFolderView(paneFolder_);
    tree_->setObjectName(QStringLiteral("ShellTreeView1"));
    tree_->setRightClickSelect(true);
    tree_->setMessageBoxes(&services_.boxes);
    tree_->setIndentation(19);
    paneFolder_->layout()->addWidget(tree_);
    tree_->setFileView(list_);
    tree_->BuildTree(); // shows the desktop until FormCreate goes to "/"
    connect(tree_, &TFolderView::OnChange, this, [this] { services_.boxes.runGuarded([this] { ShellTreeView1Change(); }); });
    const auto editorClosed = [this] { services_.boxes.runGuarded([this] { takeWaitingRefresh(); }); };
    connect(tree_, &TFolderView::nameEditorClosed, this, editorClosed);
    connect(list_, &TFileView::nameEditorClosed, this, editorClosed);
}

void TForm1::ShellTreeView1Change() {
    if (inRebuild_) return;
    const std::string path = currentFolderForm(treeSelectedPath());
    if (path.empty()) return; // no selected node: the views keep what they show
    const std::string from = std::exchange(curDir_, path);
    list_->SetExecDirectory(path);
    const QString shown = QString::fromUtf8(path);
    setWindowTitle(shown);
    setApplicationTitle(shown);
    navigation_->arrived(from, path);
    if (!monitor_) return; // the tree's first selection, while the window is being made
    monitor_->setDirectory(path);
    keepRefreshOn();
}

bool TForm1::treeSelectPath(const std::string& path) {
    if (!tree_ || !isFolder(path)) return false;
    if (!tree_->SelectPath(path)) return false;
    if (!tree_->GetSelectedIDList().isNull()) return true;
    // The folder exists but a node on its way was made before it appeared: the tree is
    // made anew, which lists every level again.
    ItemIDList target;
    if (!ParseDisplayName(path, target)) return false;
    rebuildTreeQuietly(target);
    return !tree_->GetSelectedIDList().isNull();
}

std::string TForm1::treeSelectedPath() const { return tree_ ? tree_->GetSelectedPath() : std::string(); }

void TForm1::treeRebuild(const std::string& path) {
    if (!tree_) return;
    ItemIDList target;
    if (path.empty() || !ParseDisplayName(path, target)) target = tree_->GetSelectedIDList();
    rebuildTreeQuietly(target.isNull() ? desktopIDList() : target);
}

// A rebuild selects the desktop before it selects the folder again. That passing stop is
// no navigation: it would put the desktop into the history and send the monitor to it
// and back. The window takes the rebuild's outcome once.
void TForm1::rebuildTreeQuietly(const ItemIDList& target) {
    {
        const QScopedValueRollback quiet(inRebuild_, true); // however the rebuild ends
        tree_->RebuildTree(target);
    }
    ShellTreeView1Change();
}

void TForm1::setListViewStyle(int code) {
    if (list_) list_->setViewStyle(styleOfCode(code));
}

int TForm1::listStyleCode() const { return list_ ? static_cast<int>(list_->ViewStyle()) + 1 : 4; }

void TForm1::setListColumnWidth(int column, int width) {
    if (list_) list_->setColumnWidth(column, width);
}

int TForm1::listColumnWidth(int column) const { return list_ ? list_->columnWidth(column) : 0; }

void TForm1::listSetMyColBan(int n) {
    if (list_) list_->setMyColBan(n);
}

int TForm1::myColBan() const { return list_ ? list_->MyColBan() : 0; }

void TForm1::listFillList() {
    if (list_) list_->FillList();
}

void TForm1::listSortByColumn(int n) {
    if (list_) list_->SortByColumn(n);
}

void TForm1::listSelectAll() {
    if (list_) list_->selectAll();
}

void TForm1::listUpdateFiles(const std::vector<std::string>& paths) {
    if (list_) list_->updateFiles(paths);
}

bool TForm1::viewsEditingName() const {
    return (tree_ && tree_->isEditingName()) || (list_ && list_->isEditingName());
}

std::vector<std::string> TForm1::listRowNames() const {
    std::vector<std::string> out;
    if (!list_) return out;
    const FileListModel* m = list_->model();
    for (int i = 0; i < m->rowCount(); ++i) out.emplace_back(m->row(i).id.firstName());
    return out;
}

} // namespace g3
