// TFolderView: the folder tree. Contract shared with the file list and the main window;
// the owner of this file may add members, not change these.
//
// The tree starts at the desktop root (level 0) and shows folders only, hidden ones
// included. Each node holds its relative ID (the root: the desktop's empty list); a node's
// children are made when it is first expanded, driven by its has-children flag. Every
// selection change goes through Change: OnChange first, then CurrentNode/PreviousNode,
// then the linked file list is shown the node's folder. User-interface thread only.
#pragma once

#include "shellviews/ShView.h"
#include "shellviews/mousetrack.h"

#include <QPersistentModelIndex>
#include <QTreeView>

#include <string>
#include <string_view>

namespace g3 {

class TFileView;
class FolderNodeModel;
struct TreePlace;

class TFolderView : public QTreeView {
    Q_OBJECT
public:
    explicit TFolderView(QWidget* parent = nullptr);
    ~TFolderView() override;

    // --- Part of the link with the list (called by TFileView) -------------------------
    void SelectChild(const ItemIDList& relative);
    void RenameChild(const ItemIDList& oldRelative, const ItemIDList& newRelative);
    // Selects PreviousNode (the list could not show the folder of CurrentNode).
    void selectPreviousNode();

    // --- Operations -----------------------------------------------------------------
    void BuildTree();
    // Makes the nodes anew and selects the folder of absolute again (nothing when it is
    // the desktop or gone). The nodes that were expanded and the scroll position stay
    // where their folders still exist. The selection changes go through Change as they
    // happen (the desktop first), but the linked list is shown the outcome only, once.
    void RebuildTree(const ItemIDList& absolute);
    // False when the path cannot be parsed (nothing changes then).
    bool SelectPath(std::string_view path);
    std::string GetSelectedPath() const;
    ItemIDList GetSelectedIDList() const; // null without selection
    void SelectIDList(const ItemIDList& absolute);
    bool Filling() const;
    // True while a node's name editor is open.
    bool isEditingName() const { return state() == EditingState; }

    // --- Properties -----------------------------------------------------------------
    void setFileView(TFileView* view);
    TFileView* FileView() const;
    void setContextMenu(TContextMenuEx* c);
    void setDropSource(TDropSourceEx* d);
    void setRightClickSelect(bool on);
    // Where a refused rename of a node is reported; none: not reported.
    void setMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes; }

    // --- For drops ------------------------------------------------------------------
    // The node under a point of the viewport when the point is on its icon or label;
    // an invalid index otherwise.
    QModelIndex nodeAtIconOrLabel(const QPoint& viewportPos) const;
    // Selects a node (goes through Change).
    void selectNode(const QModelIndex& node);

    // --- Nodes (additions of this file's owner) -------------------------------------
    QModelIndex rootNode() const;
    // The last two nodes Change reported (invalid when none, or deleted since).
    QModelIndex CurrentNode() const { return current_; }
    QModelIndex PreviousNode() const { return previous_; }
    // Absolute ID list of a node: the IDs of its ancestors and its own, root first.
    ItemIDList GetNodeIDList(const QModelIndex& node) const;
    // Relative ID of a node (the root: the desktop's empty list).
    ItemIDList nodeID(const QModelIndex& node) const;
    // The node's has-children flag (what the expand button shows).
    bool nodeHasChildren(const QModelIndex& node) const;
    // Makes the children of a node from its folder (no-op while Filling).
    void FillChildren(const QModelIndex& node);
    // Makes the children when the flag promises some and none were made yet.
    void CanExpand(const QModelIndex& node);
    // The child of node whose ID the node's folder calls equal to relative (expands node).
    QModelIndex FindChild(const QModelIndex& node, const ItemIDList& relative);
    QModelIndex FindIDList(const ItemIDList& absolute);
    // The folder object that holds a node (the desktop for level 1); null for the root.
    ShellFolderPtr parentFolderOf(const QModelIndex& node) const;
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool on);
    bool RightClickSelect() const { return rightClickSelect_; }

signals:
    // OnChange: raised for every selection change, before the list is refilled, and after
    // a rename in place of the selected folder or of one above it (its path changed).
    void OnChange();
    // A name editor closed, whether the rename was made or not; raised from the event
    // loop after the view has let the editor go.
    void nameEditorClosed();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    class Impl;
    friend class FolderNodeModel;
    void Change(const QModelIndex& node);
    void NotifyLinkedViews(const QModelIndex& node);
    void Edit(const QModelIndex& node, const QString& text);
    void expandNode(const QModelIndex& node);
    void runMouseAction(MouseTracker::Action a, const QPoint& viewportPos);
    // The context menu of the selected node (none for the root) at a viewport point.
    void showNodeMenu(const QPoint& viewportPos);
    // The child of node matching relative, or the node of an absolute list; the nodes on
    // the way get their children, and with open they are expanded too.
    QModelIndex childOf(const QModelIndex& node, const ItemIDList& relative, bool open);
    QModelIndex nodeOfList(const ItemIDList& absolute, bool open);
    TreePlace place() const;
    void returnTo(const TreePlace& p);
    bool isVisibleNode(const QModelIndex& node) const;

    Impl* d_;
    QPersistentModelIndex current_, previous_;
    MouseTracker tracker_;
    bool readOnly_ = false;
    bool rightClickSelect_ = false;
    MessageBoxes* boxes_ = nullptr;
    bool goingBack_ = false;
};

} // namespace g3
