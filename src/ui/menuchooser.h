// Who chooses from a popup menu the program opens: the user on the screen
// (ScreenMenuChooser), or a test's double that answers without a window.
#pragma once

#include <QPoint>

class QAction;
class QMenu;

namespace g3 {

class MenuChooser {
public:
    virtual ~MenuChooser() = default;
    // The chosen action of the built menu opened at the screen point (nullptr for Escape or
    // a click outside); returns when the menu has closed.
    virtual QAction* choose(QMenu& menu, const QPoint& screenPos) = 0;
};

class ScreenMenuChooser final : public MenuChooser {
public:
    QAction* choose(QMenu& menu, const QPoint& screenPos) override;
};

} // namespace g3
