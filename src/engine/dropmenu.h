// PopupMenu3: the drop menu that chooses the operation kind of a drop. Each action carries
// its kind code as data() and its item name as objectName().
#pragma once

#include <QPoint>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace g3 {

// The menu with its items, separators and the "同名確認" submenu, owned by parent.
QMenu* buildPopupMenu3(QWidget* parent = nullptr);

// Tests answer the menu here instead of it being shown: given the built menu, return the
// chosen action (nullptr for Escape or a click outside). Returns the previous answerer.
using DropMenuAnswerer = std::function<QAction*(QMenu& menu)>;
DropMenuAnswerer setDropMenuAnswerer(DropMenuAnswerer answerer);

// Shows the menu at the screen point and waits until it closes; the chosen kind code, or
// 0 (okNone) for キャンセル, Escape and a click outside.
int PopupMenu3(const QPoint& screenPos, QWidget* parent = nullptr);

} // namespace g3
