#include "shellviews/FolderView.h"

#include "platform/codepage.h"
#include "shellviews/FileView.h"

#include <QAbstractItemModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

namespace g3 {

// One node of the tree (internal to this file).
struct FolderTreeNode {
    FolderTreeNode* parent = nullptr;
    int row = 0;
    ItemIDList id;        // relative to the parent's folder; the root: the empty list
    QString text;
    int typeIndex = 0;    // closed and open icon
    bool hasChildren = false;
    bool childrenMade = false;
    std::vector<std::unique_ptr<FolderTreeNode>> children;

    int level() const {
        int n = -1;
        for (const FolderTreeNode* p = parent; p; p = p->parent) ++n;
        return n;
    }
};
using Node = FolderTreeNode;

// The nodes of the tree under an invisible top that holds the desktop root. The
// expand button comes from hasChildren (the node's flag), so no placeholder rows exist;
// the children are asked for through fetchMore when the view expands a node.
class FolderNodeModel final : public QAbstractItemModel {
public:
    explicit FolderNodeModel(TFolderView* tree) : QAbstractItemModel(tree), tree_(tree) {}

    Node* nodeOf(const QModelIndex& i) const {
        return i.isValid() ? static_cast<Node*>(i.internalPointer()) : nullptr;
    }
    QModelIndex indexOf(const Node* n) const {
        return n && n != &top_ ? createIndex(n->row, 0, const_cast<Node*>(n)) : QModelIndex();
    }
    Node* root() const { return top_.children.empty() ? nullptr : top_.children[0].get(); }

    void clear() {
        beginResetModel();
        top_.children.clear();
        selected_ = nullptr;
        endResetModel();
    }
    void setRoot(std::unique_ptr<Node> n) {
        beginInsertRows({}, 0, 0);
        n->parent = &top_;
        n->row = 0;
        top_.children.push_back(std::move(n));
        endInsertRows();
    }
    // Adds the children in the given order, in one insertion.
    void addChildren(Node* parent, std::vector<std::unique_ptr<Node>> kids) {
        parent->childrenMade = true;
        if (kids.empty()) return;
        int first = static_cast<int>(parent->children.size());
        beginInsertRows(indexOf(parent), first, first + static_cast<int>(kids.size()) - 1);
        for (auto& k : kids) {
            k->parent = parent;
            k->row = static_cast<int>(parent->children.size());
            parent->children.push_back(std::move(k));
        }
        endInsertRows();
    }
    void nodeChanged(Node* n) {
        if (!n) return;
        QModelIndex i = indexOf(n);
        emit dataChanged(i, i);
    }
    // The selected node draws the open icon.
    void setSelected(Node* n) {
        Node* old = selected_;
        selected_ = n;
        if (old != n) {
            nodeChanged(old);
            nodeChanged(n);
        }
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override {
        const Node* p = parent.isValid() ? nodeOf(parent) : &top_;
        if (column != 0 || row < 0 || row >= static_cast<int>(p->children.size())) return {};
        return createIndex(row, 0, p->children[static_cast<std::size_t>(row)].get());
    }
    QModelIndex parent(const QModelIndex& child) const override {
        Node* n = nodeOf(child);
        return n ? indexOf(n->parent) : QModelIndex();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        if (parent.column() > 0) return 0;
        const Node* p = parent.isValid() ? nodeOf(parent) : &top_;
        return static_cast<int>(p->children.size());
    }
    int columnCount(const QModelIndex& = {}) const override { return 1; }
    bool hasChildren(const QModelIndex& parent = {}) const override {
        const Node* p = parent.isValid() ? nodeOf(parent) : &top_;
        return !p->children.empty() || (p != &top_ && p->hasChildren && !p->childrenMade);
    }
    bool canFetchMore(const QModelIndex& parent) const override {
        const Node* n = nodeOf(parent);
        return n && n->hasChildren && !n->childrenMade;
    }
    // Only an expansion makes children: a walker asking every index (a model tester)
    // would otherwise list the whole file system.
    void fetchMore(const QModelIndex& parent) override {
        if (tree_->isExpanded(parent)) tree_->CanExpand(parent);
    }

    QVariant data(const QModelIndex& i, int role) const override {
        const Node* n = nodeOf(i);
        if (!n) return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return n->text;
        case Qt::DecorationRole: return typeIcon(n->typeIndex, false, n == selected_);
        default: return {};
        }
    }
    Qt::ItemFlags flags(const QModelIndex& i) const override {
        const Node* n = nodeOf(i);
        if (!n) return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        // The root cannot be renamed: the editor never opens on it.
        if (n->parent != &top_ && !tree_->ReadOnly()) f |= Qt::ItemIsEditable;
        return f;
    }
    bool setData(const QModelIndex& i, const QVariant& v, int role) override {
        if (role != Qt::EditRole || !nodeOf(i)) return false;
        tree_->Edit(i, v.toString());
        return true;
    }

private:
    TFolderView* tree_;
    Node top_;
    Node* selected_ = nullptr;
};

class TFolderView::Impl {
public:
    explicit Impl(TFolderView* t) : model(new FolderNodeModel(t)) {}

    FolderNodeModel* model;
    QPointer<TFileView> fileView;
    QPointer<TContextMenuEx> contextMenu;
    QPointer<TDropSourceEx> dropSource;
    bool filling = false;
    bool holdLinkedViews = false; // a rebuild shows the list its outcome once, at the end
};

// Where the user is in the tree, by the nodes' absolute lists, so a rebuild can come
// back to it.
struct TreePlace {
    std::vector<ItemIDList> expanded; // parents before their children
    ItemIDList top;                   // the first node in sight
    QPoint scroll;
};

namespace {

// The folder object of a node's list: the desktop for the root, else the folder bound
// anew (null for a null list or a folder that is gone).
ShellFolderPtr folderOfList(const ItemIDList& absolute) {
    if (absolute.isNull()) return {};
    if (absolute.idCount() == 0) return SHGetDesktopFolder();
    return SHGetDesktopFolder()->BindToObject(absolute);
}

// Puts the tree's updates on hold for the life of the object (nesting allowed).
class UpdateBracket {
public:
    explicit UpdateBracket(QWidget* w) : w_(w), was_(w->updatesEnabled()) {
        if (was_) w_->setUpdatesEnabled(false);
    }
    ~UpdateBracket() {
        if (was_) w_->setUpdatesEnabled(true);
    }
    UpdateBracket(const UpdateBracket&) = delete;
    UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
    QWidget* w_;
    bool was_;
};

} // namespace

TFolderView::TFolderView(QWidget* parent) : QTreeView(parent), d_(new Impl(this)) {
    resize(200, 200);
    setModel(d_->model);
    setHeaderHidden(true);
    setRootIsDecorated(false); // ShowRoot False: the desktop root has no button of its own
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    setIndentation(19);
    // Context menus come from the mouse handling below, not from Qt's menu event.
    setContextMenuPolicy(Qt::PreventContextMenu);
    // Queued: the view has let the editor go by the time the signal arrives.
    connect(itemDelegate(), &QAbstractItemDelegate::closeEditor, this, &TFolderView::nameEditorClosed,
            Qt::QueuedConnection);
    // An expansion the view handles without asking the model (its layout was pending).
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& i) { CanExpand(i); });
}

TFolderView::~TFolderView() {
    if (TFileView* v = d_->fileView; v && v->LinkedTree() == this) v->setLinkedTree(nullptr);
    delete d_;
}

// ---- nodes ------------------------------------------------------------------------------

QModelIndex TFolderView::rootNode() const { return d_->model->indexOf(d_->model->root()); }

ItemIDList TFolderView::nodeID(const QModelIndex& node) const {
    const Node* n = d_->model->nodeOf(node);
    return n ? n->id : ItemIDList();
}

bool TFolderView::nodeHasChildren(const QModelIndex& node) const {
    const Node* n = d_->model->nodeOf(node);
    return n && (n->hasChildren || !n->children.empty());
}

ItemIDList TFolderView::GetNodeIDList(const QModelIndex& node) const {
    std::vector<const Node*> chain;
    for (const Node* n = d_->model->nodeOf(node); n && n->parent; n = n->parent) chain.push_back(n);
    if (chain.empty()) return {};
    ItemIDList out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) out = ConcatIDList(out, (*it)->id);
    return out;
}

ShellFolderPtr TFolderView::parentFolderOf(const QModelIndex& node) const {
    const Node* n = d_->model->nodeOf(node);
    if (!n || n->level() < 1) return {};
    if (n->level() == 1) return SHGetDesktopFolder();
    return SHGetDesktopFolder()->BindToObject(GetNodeIDList(node.parent()));
}

bool TFolderView::Filling() const { return d_->filling; }

void TFolderView::setReadOnly(bool on) { readOnly_ = on; }

// ---- building ---------------------------------------------------------------------------

void TFolderView::BuildTree() {
    if (d_->filling) return;
    ShellFolderPtr desktop = SHGetDesktopFolder();
    ItemIDList root = desktopIDList();
    std::string name;
    if (!desktop || root.isNull() || !desktop->GetDisplayNameOf(root, SHGDN_INFOLDER, name))
        return;
    UpdateBracket bracket(this);
    d_->filling = true;
    d_->model->clear();
    d_->filling = false;
    auto n = std::make_unique<Node>();
    n->id = root;
    n->text = QString::fromStdString(name);
    n->typeIndex = GetIconIndex(root, 0);
    n->hasChildren = true;
    d_->model->setRoot(std::move(n));
    QModelIndex r = rootNode();
    // After the reset nothing is selected, so this selection always reaches Change and
    // shows the desktop in the linked list: no second notification is needed.
    selectNode(r);
    FillChildren(r);
    expand(r);
}

void TFolderView::RebuildTree(const ItemIDList& absolute) {
    if (d_->filling) return;
    HourglassCursor hourglass;
    UpdateBracket bracket(this);
    // Copied first: the caller's list may be one taken from the nodes about to go.
    ItemIDList target = absolute;
    const TreePlace was = place();
    {
        // The desktop the rebuild passes through is no folder to show: the list would
        // lose the user's place in its rows.
        const QScopedValueRollback hold(d_->holdLinkedViews, true);
        BuildTree();
        if (!rootNode().isValid()) return;
        for (const ItemIDList& node : was.expanded)
            if (QModelIndex i = nodeOfList(node, false); i.isValid()) expandNode(i);
        ShellFolderPtr desktop = SHGetDesktopFolder();
        if (CompareIDLists(desktop.get(), target, desktopIDList()) != 0) selectNode(FindIDList(target));
    }
    returnTo(was);
    tracker_.clear();
    // Without the folder, the list shows the desktop, as when it followed every step.
    NotifyLinkedViews(currentIndex().isValid() ? currentIndex() : rootNode());
}

TreePlace TFolderView::place() const {
    TreePlace p;
    std::vector<const Node*> todo{d_->model->root()};
    while (!todo.empty()) {
        const Node* n = todo.back();
        todo.pop_back();
        if (!n) continue;
        // Below a collapsed node too: Qt shows such a node expanded again when its
        // parent opens.
        if (n->level() > 0 && isExpanded(d_->model->indexOf(n)))
            p.expanded.push_back(GetNodeIDList(d_->model->indexOf(n)));
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) todo.push_back(it->get());
    }
    if (QModelIndex top = indexAt(QPoint(1, 1)); top.isValid()) p.top = GetNodeIDList(top);
    p.scroll = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    return p;
}

void TFolderView::returnTo(const TreePlace& p) {
    executeDelayedItemsLayout();
    const QModelIndex top = p.top.isNull() ? QModelIndex() : nodeOfList(p.top, false);
    if (top.isValid() && isVisibleNode(top))
        scrollTo(top, PositionAtTop);
    else
        verticalScrollBar()->setValue(p.scroll.y());
    horizontalScrollBar()->setValue(p.scroll.x());
}

bool TFolderView::isVisibleNode(const QModelIndex& node) const {
    for (QModelIndex i = node.parent(); i.isValid(); i = i.parent())
        if (!isExpanded(i)) return false;
    return true;
}

void TFolderView::FillChildren(const QModelIndex& node) {
    Node* n = d_->model->nodeOf(node);
    if (d_->filling || !n || n->id.isNull()) return;
    ItemIDList abs = GetNodeIDList(node);
    ShellFolderPtr folder = folderOfList(abs);
    std::vector<EnumItem> items;
    bool listed = folder && folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN,
                                                [&](EnumItem&& it) { items.push_back(std::move(it)); });
    if (!listed) {
        // The node keeps its children state (it is tried again at the next expansion);
        // the selection goes back to the last node reported.
        selectNode(current_);
        QTimer::singleShot(0, this, [this, p = QPersistentModelIndex(node)] {
            if (p.isValid()) collapse(p);
        });
        return;
    }
    HourglassCursor hourglass;
    UpdateBracket bracket(this);
    d_->filling = true;
    std::vector<std::unique_ptr<Node>> kids;
    kids.reserve(items.size());
    for (auto& it : items) {
        auto k = std::make_unique<Node>();
        std::string text;
        GetDisplayName(folder.get(), it.id, SHGDN_INFOLDER, text);
        k->text = QString::fromStdString(text);
        k->typeIndex = GetIconIndex(ConcatIDList(abs, it.id), 0);
        k->hasChildren = folder->GetAttributesOf(it.id, SFGAO_HASSUBFOLDER) != 0;
        k->id = std::move(it.id);
        kids.push_back(std::move(k));
    }
    const ShellFolder* f = folder.get();
    std::stable_sort(kids.begin(), kids.end(), [f](const auto& a, const auto& b) {
        return CompareIDLists(f, a->id, b->id) < 0;
    });
    bool none = kids.empty();
    d_->model->addChildren(n, std::move(kids));
    if (none) {
        // No subfolder after all: the expand button goes.
        n->hasChildren = false;
        d_->model->nodeChanged(n);
        scheduleDelayedItemsLayout();
    }
    d_->filling = false;
}

void TFolderView::CanExpand(const QModelIndex& node) {
    const Node* n = d_->model->nodeOf(node);
    if (n && n->hasChildren && !n->childrenMade) FillChildren(node);
}

void TFolderView::expandNode(const QModelIndex& node) {
    CanExpand(node);
    expand(node);
}

QModelIndex TFolderView::FindChild(const QModelIndex& node, const ItemIDList& relative) {
    return childOf(node, relative, true);
}

QModelIndex TFolderView::FindIDList(const ItemIDList& absolute) { return nodeOfList(absolute, true); }

QModelIndex TFolderView::childOf(const QModelIndex& node, const ItemIDList& relative, bool open) {
    const Node* n = d_->model->nodeOf(node);
    if (!n || n->id.isNull() || relative.isNull()) return {};
    ShellFolderPtr folder = folderOfList(GetNodeIDList(node));
    if (open)
        expandNode(node);
    else
        CanExpand(node);
    if (!folder) return {};
    for (const auto& k : n->children)
        if (CompareIDLists(folder.get(), k->id, relative) == 0) return d_->model->indexOf(k.get());
    return {};
}

QModelIndex TFolderView::nodeOfList(const ItemIDList& absolute, bool open) {
    QModelIndex node = rootNode();
    if (!node.isValid()) return {};
    if (open) expandNode(node);
    for (std::size_t i = 0, count = absolute.idCount(); i < count && node.isValid(); ++i)
        node = childOf(node, ItemIDList::makeID(absolute.flagsAt(i), absolute.nameAt(i)), open);
    return node;
}

// ---- selection --------------------------------------------------------------------------

void TFolderView::selectNode(const QModelIndex& node) {
    QItemSelectionModel* sm = selectionModel();
    if (node.isValid()) {
        sm->setCurrentIndex(node, QItemSelectionModel::ClearAndSelect);
    } else {
        sm->clearSelection();
        sm->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
    }
}

void TFolderView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    Change(current);
}

void TFolderView::Change(const QModelIndex& node) {
    d_->model->setSelected(d_->model->nodeOf(node));
    emit OnChange();
    previous_ = current_;
    current_ = node;
    NotifyLinkedViews(node);
}

void TFolderView::NotifyLinkedViews(const QModelIndex& node) {
    if (!node.isValid() || d_->filling || d_->holdLinkedViews || !d_->fileView) return;
    d_->fileView->ShowFolder(GetNodeIDList(node));
}

void TFolderView::selectPreviousNode() {
    // At most once per user action: when the previous folder fails in turn, its own
    // request to go back arrives while this one runs and is dropped.
    if (goingBack_) return;
    goingBack_ = true;
    selectNode(previous_);
    goingBack_ = false;
}

bool TFolderView::SelectPath(std::string_view path) {
    ItemIDList abs;
    if (!ParseDisplayName(path, abs)) return false;
    SelectIDList(abs);
    return true;
}

void TFolderView::SelectIDList(const ItemIDList& absolute) {
    UpdateBracket bracket(this);
    selectNode(FindIDList(absolute));
}

void TFolderView::SelectChild(const ItemIDList& relative) {
    UpdateBracket bracket(this);
    selectNode(FindChild(currentIndex(), relative));
}

std::string TFolderView::GetSelectedPath() const {
    QModelIndex sel = currentIndex();
    if (!sel.isValid()) return {};
    std::string out;
    SHGetDesktopFolder()->GetDisplayNameOf(GetNodeIDList(sel), SHGDN_FORPARSING, out);
    return out;
}

ItemIDList TFolderView::GetSelectedIDList() const {
    return GetNodeIDList(currentIndex());
}

// ---- renaming ---------------------------------------------------------------------------

void TFolderView::Edit(const QModelIndex& node, const QString& text) {
    Node* n = d_->model->nodeOf(node);
    ShellFolderPtr folder = parentFolderOf(node);
    if (!n || !folder) return;
    std::string oldText;
    GetDisplayName(folder.get(), n->id, SHGDN_NORMAL, oldText);
    // A name with bytes that are not UTF-8 shows them as U+FFFD: they are kept wherever
    // the text was not edited, and an unchanged text is no rename.
    const std::string newName = nameAfterEdit(n->id.firstName(), text.toStdString());
    if (newName == n->id.firstName()) return;
    ItemIDList newId;
    std::string shown = oldText;
    bool selectionMoved = false;
    if (folder->SetNameOf(n->id, newName, newId)) {
        n->id = std::move(newId);
        GetDisplayName(folder.get(), n->id, SHGDN_NORMAL, shown);
        // The list may show this folder or one below it: show it under the new name.
        for (QModelIndex i = current_; i.isValid(); i = i.parent())
            if (i == node) {
                NotifyLinkedViews(current_);
                selectionMoved = true;
                break;
            }
    } else {
        reportRenameFailure(boxes_, this, n->id.firstName(), newName, errno);
    }
    n->text = QString::fromStdString(shown);
    d_->model->nodeChanged(n);
    if (selectionMoved) emit OnChange(); // the selected folder has a new path
}

void TFolderView::RenameChild(const ItemIDList& oldRelative, const ItemIDList& newRelative) {
    // Only children already made can carry the old name; the others are made from the
    // folder as it is now.
    Node* parent = d_->model->nodeOf(currentIndex());
    if (!parent || oldRelative.isNull() || newRelative.isNull()) return;
    ShellFolderPtr folder = folderOfList(GetNodeIDList(currentIndex()));
    if (!folder) return;
    for (auto& k : parent->children) {
        if (CompareIDLists(folder.get(), k->id, oldRelative) != 0) continue;
        std::string text;
        GetDisplayName(folder.get(), newRelative, SHGDN_NORMAL, text);
        k->text = QString::fromStdString(text);
        k->id = newRelative;
        d_->model->nodeChanged(k.get());
        return;
    }
}

// ---- properties -------------------------------------------------------------------------

void TFolderView::setFileView(TFileView* view) {
    TFileView* old = d_->fileView;
    if (old == view) return;
    d_->fileView = view;
    if (old && old->LinkedTree() == this) old->setLinkedTree(nullptr);
    if (view) view->setLinkedTree(this);
}

TFileView* TFolderView::FileView() const { return d_->fileView; }

void TFolderView::setContextMenu(TContextMenuEx* c) {
    d_->contextMenu = c;
    if (c) rightClickSelect_ = true;
}

void TFolderView::setDropSource(TDropSourceEx* d) {
    d_->dropSource = d;
    if (d) rightClickSelect_ = true;
}

void TFolderView::setRightClickSelect(bool on) { rightClickSelect_ = on; }

// ---- keyboard and mouse ----------------------------------------------------------------

QModelIndex TFolderView::nodeAtIconOrLabel(const QPoint& viewportPos) const {
    QModelIndex i = indexAt(viewportPos);
    if (!i.isValid()) return {};
    QRect r = visualRect(i);
    QStyleOptionViewItem opt;
    initViewItemOption(&opt);
    opt.rect = r;
    int w = itemDelegateForIndex(i)->sizeHint(opt, i).width();
    r.setWidth(std::min(r.width(), w));
    return r.contains(viewportPos) ? i : QModelIndex();
}

void TFolderView::keyPressEvent(QKeyEvent* e) {
    // "*" would expand every folder below the node, which below "/" means listing the
    // whole file system on the user-interface thread.
    if (e->key() == Qt::Key_Asterisk) {
        e->ignore();
        return;
    }
    if (isContextMenuKey(*e)) {
        const QModelIndex sel = currentIndex();
        scrollTo(sel);
        const QRect r = visualRect(sel);
        showNodeMenu(QPoint(r.left() + std::min(r.width() / 2, 24), r.center().y()));
        return;
    }
    QTreeView::keyPressEvent(e);
}

void TFolderView::mousePressEvent(QMouseEvent* e) {
    QPoint p = e->position().toPoint();
    if (e->button() == Qt::RightButton) {
        // The node under the pointer becomes the selection; empty space selects nothing.
        if (QModelIndex i = nodeAtIconOrLabel(p); i.isValid() && i != currentIndex()) {
            UpdateBracket bracket(this);
            selectNode(i);
        }
        setFocus(Qt::MouseFocusReason);
    } else {
        QTreeView::mousePressEvent(e);
    }
    tracker_.press(p.x(), p.y(), e->button() == Qt::RightButton);
}

void TFolderView::mouseMoveEvent(QMouseEvent* e) {
    // While a press is tracked the pressed node stays the selection: Qt's drag-selection
    // would move it to the node under the pointer before the drag starts.
    if (!tracker_.tracking()) {
        QTreeView::mouseMoveEvent(e);
        return;
    }
    QPoint p = e->position().toPoint();
    bool down = e->buttons() & (Qt::LeftButton | Qt::RightButton);
    runMouseAction(tracker_.move(p.x(), p.y(), down), p);
}

void TFolderView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::RightButton) QTreeView::mouseReleaseEvent(e);
    QPoint p = e->position().toPoint();
    runMouseAction(tracker_.release(p.x(), p.y()), p);
}

void TFolderView::showNodeMenu(const QPoint& viewportPos) {
    const QModelIndex sel = currentIndex();
    const Node* n = d_->model->nodeOf(sel);
    if (!n || n->level() < 1) return; // the root has no menu
    ShellFolderPtr folder = parentFolderOf(sel);
    if (d_->contextMenu && folder)
        d_->contextMenu->ShowContextMenu(this, folder, viewport()->mapToGlobal(viewportPos), 1, n->id);
}

void TFolderView::runMouseAction(MouseTracker::Action a, const QPoint& viewportPos) {
    if (a == MouseTracker::Action::None) return;
    QModelIndex sel = currentIndex();
    const Node* n = d_->model->nodeOf(sel);
    bool item = n && n->level() >= 1; // the root is never dragged and has no menu
    if (a == MouseTracker::Action::ContextMenu) {
        tracker_.clear();
        showNodeMenu(viewportPos);
        return;
    }
    ShellFolderPtr folder = item && d_->dropSource ? parentFolderOf(sel) : nullptr;
    if (!folder) return; // tracking stays on
    tracker_.clear();
    d_->dropSource->StartDrag(this, folder, 1, n->id);
}

} // namespace g3
