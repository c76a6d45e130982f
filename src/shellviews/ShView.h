// What the file list and the folder tree share: the components they hand drags and
// context menus to (DRPCOMEX.h; the views hold them through a QPointer, so a component that
// goes away clears their reference), the icons of the type table, and the hourglass cursor
// of a fill.
#pragma once

#include "shellviews/DRPCOMEX.h"

#include <QIcon>

#include <string_view>

class QKeyEvent;
class QWidget;

namespace g3 {

class MessageBoxes;

// The icon of a type (mimetypes.h) from the desktop's icon theme, falling back to Qt's
// standard icons; made once per type, size and state. large: 32 pixels, else 16.
QIcon typeIcon(int typeIndex, bool large, bool open = false);
// The same icon with the link overlay drawn on it (overlay 1), or the plain icon.
QIcon typeIconWithOverlay(int typeIndex, int overlay, bool large);

// The keys that open the context menu of the selection: the menu key and Shift+F10.
bool isContextMenuKey(const QKeyEvent& e);

// A rename in place that the file system refused: once the name editor has closed, a box
// on owner names the item, the name typed and the system's reason. Nothing without boxes.
void reportRenameFailure(MessageBoxes* boxes, QWidget* owner, std::string_view oldName,
                         std::string_view newName, int error);

// The hourglass cursor for the life of the object.
class HourglassCursor {
public:
    HourglassCursor();
    ~HourglassCursor();
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;
};

} // namespace g3
