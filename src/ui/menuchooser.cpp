#include "ui/menuchooser.h"

#include <QMenu>

namespace g3 {

QAction* ScreenMenuChooser::choose(QMenu& menu, const QPoint& screenPos) { return menu.exec(screenPos); }

} // namespace g3
