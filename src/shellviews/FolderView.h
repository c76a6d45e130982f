// TFolderView: the folder tree. Contract shared with the file list and the main window;
// the owner of this file may add members, not change these.
#pragma once

#include "shellviews/ShView.h"

#include <QTreeView>

#include <string>
#include <string_view>

namespace g3 {

class TFileView;

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
    void RebuildTree(const ItemIDList& absolute);
    // False when the path cannot be parsed (nothing changes then).
    bool SelectPath(std::string_view path);
    std::string GetSelectedPath() const;
    ItemIDList GetSelectedIDList() const; // null without selection
    void SelectIDList(const ItemIDList& absolute);
    bool Filling() const;

    // --- Properties -----------------------------------------------------------------
    void setFileView(TFileView* view);
    TFileView* FileView() const;
    void setContextMenu(TContextMenuEx* c);
    void setDropSource(TDropSourceEx* d);
    void setRightClickSelect(bool on);

    // --- For drops ------------------------------------------------------------------
    // The node under a point of the viewport when the point is on its icon or label;
    // an invalid index otherwise.
    QModelIndex nodeAtIconOrLabel(const QPoint& viewportPos) const;
    // Selects a node (goes through Change).
    void selectNode(const QModelIndex& node);

signals:
    // OnChange: raised for every selection change, before the list is refilled.
    void OnChange();

private:
    class Impl;
    Impl* d_;
};

} // namespace g3
