// What the file list and the folder tree share: the components they hand drags and
// context menus to, the icons of the type table, and the hourglass cursor of a fill.
#pragma once

#include "shellviews/itemidlist.h"
#include "shellviews/shellnamespace.h"

#include <QIcon>
#include <QObject>
#include <QPoint>

class QWidget;

namespace g3 {

// Shows the context menu of items of one folder. The views hold it through a QPointer,
// so a component that goes away clears their reference.
class TContextMenuEx : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // joined: count relative IDs of folder, concatenated (itemidlist.h SplitIDList).
    virtual void ShowContextMenu(QWidget* window, const ShellFolderPtr& folder,
                                 const QPoint& screenPos, int count,
                                 const ItemIDList& joined) = 0;
};

// Runs a drag of items of one folder.
class TDropSourceEx : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void StartDrag(QWidget* window, const ShellFolderPtr& folder, int count,
                           const ItemIDList& joined) = 0;
};

// The icon of a type (mimetypes.h) from the desktop's icon theme, falling back to Qt's
// standard icons; made once per type, size and state. large: 32 pixels, else 16.
QIcon typeIcon(int typeIndex, bool large, bool open = false);
// The same icon with the link overlay drawn on it (overlay 1), or the plain icon.
QIcon typeIconWithOverlay(int typeIndex, int overlay, bool large);

// The hourglass cursor for the life of the object.
class HourglassCursor {
public:
    HourglassCursor();
    ~HourglassCursor();
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;
};

} // namespace g3
