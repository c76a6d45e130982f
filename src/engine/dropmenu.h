// PopupMenu3: the drop menu that chooses the operation kind of a drop. Each action carries
// its kind code as data() and its item name as objectName().
#pragma once

#include "ui/menuchooser.h"

#include <QPoint>

class QAction;
class QMenu;
class QWidget;

namespace g3 {

// The menu with its items, separators and the "同名確認" submenu, owned by parent.
QMenu* buildPopupMenu3(QWidget* parent = nullptr);

// Opens the menu at the screen point for chooser and waits until it closes; the chosen
// kind code, or 0 (okNone) for キャンセル, Escape and a click outside.
int PopupMenu3(MenuChooser& chooser, const QPoint& screenPos, QWidget* parent = nullptr);

} // namespace g3
