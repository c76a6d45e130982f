// TFileView: the file list. Contract shared with the folder tree and the main window; the
// owner of this file may add members, not change these.
#pragma once

#include "shellviews/ShView.h"
#include "shellviews/filelistmodel.h"

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

class QAbstractItemView;
class QMenu;

namespace g3 {

class MessageBoxes;
class Opener;

class TFolderView;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

class TFileView : public QWidget {
    Q_OBJECT
public:
    explicit TFileView(QWidget* parent = nullptr);
    ~TFileView() override;

    // --- Part of the link with the tree (called by TFolderView only) -----------------
    void ShowFolder(const ItemIDList& absolute);
    void setLinkedTree(TFolderView* tree);
    TFolderView* LinkedTree() const;

    // --- Operations -----------------------------------------------------------------
    // Refills the rows from the folder shown. The selection, the current row and the
    // scroll position stay where their rows are still listed (ShowFolder of another
    // folder starts at the top with nothing selected).
    void FillList();
    // Files whose contents or attributes changed (full paths): the rows of those directly
    // in the folder shown take their size and time anew, nothing else changes; with the
    // list sorted by size or date those rows move to their place. Other paths are ignored.
    void updateFiles(const std::vector<std::string>& paths);
    void SortByColumn(int column);
    std::string GetSelectedPath() const;
    std::string GetItemPath(int row) const;
    bool IsFolderItem(int row) const;
    void SetExecDirectory(const std::string& dir);

    // --- Properties -----------------------------------------------------------------
    void setMyPopupMenu(QMenu* menu);
    int MyColBan() const;
    void setMyColBan(int n);
    bool FileExecute() const;
    void setFileExecute(bool on);
    const std::vector<std::string>& Mask() const;
    void setMask(const std::vector<std::string>& mask);
    void setContextMenu(TContextMenuEx* c);
    void setDropSource(TDropSourceEx* d);
    TViewStyle ViewStyle() const;
    void setViewStyle(TViewStyle s);
    void setGridLines(bool on);
    void setHideSelection(bool on);
    void setRowSelect(bool on);
    // HotTrack with the hover time of 1 ms: hovering a row selects it (quick view).
    void setHotTrack(bool on);
    void setReadOnly(bool on);
    // Where its questions and its handlers' exceptions are shown (none: a double click
    // runs nothing, and an exception goes on to the application's error display).
    void setMessageBoxes(MessageBoxes* boxes);
    // Who opens and runs the items it is asked to (none: nothing is opened).
    void setOpener(Opener* opener);
    // The sort state this list shares with its owner (none: the list's own, which starts
    // as every list does: by name, ascending).
    void setSortState(FileViewSortState* state);

    // --- For the window's commands and drops -----------------------------------------
    FileListModel* model() const;
    // The item view that shows the rows in the current style.
    QAbstractItemView* itemView() const;
    // Selected rows in row order.
    std::vector<int> selectedRows() const;
    // The row under a point of itemView()'s viewport, -1 for none; with iconOrLabelOnly
    // only when the point is on the row's icon or caption.
    int rowAt(const QPoint& viewportPos, bool iconOrLabelOnly) const;
    void selectAll();
    // True while a row's name editor is open (the rename has not ended yet).
    bool isEditingName() const;
    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);
    const ShellFolderPtr& FolderObject() const;
    const ItemIDList& FolderIDList() const;

signals:
    void OnChange();
    void OnDblClick();
    void OnMouseMove(const QPoint& viewportPos);
    void OnKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // A name editor closed, whether the rename was made or not; raised from the event
    // loop after the view has let the editor go.
    void nameEditorClosed();

private:
    class Impl;
    Impl* d_;
};

} // namespace g3
