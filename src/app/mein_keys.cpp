// The keys every file manager of the desktop understands, each running the command of its
// button (and only while that button is enabled). The name editor and the dialogs keep
// their own editing keys: a line edit claims them before any of these.
#include "app/mein.h"

#include "app/navigation.h"

#include "shellviews/FileView.h"

#include <QAction>
#include <QToolButton>

namespace g3 {

void TForm1::buildKeyboardHabits() {
    auto key = [this](QWidget* scope, const QKeySequence& keys, std::function<void()> run) {
        auto* a = new QAction(scope);
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, [this, run = std::move(run)] { services_.boxes.runGuarded(run); });
        scope->addAction(a);
    };
    auto button = [this](ToolSlot slot) {
        return [this, slot] {
            QAction* a = buttonOf(slot)->defaultAction();
            if (a && a->isEnabled()) a->trigger();
        };
    };
    // On the list: its selection.
    key(list_, QKeySequence::Delete, button(ToolSlot::Tatinok));
    key(list_, QKeySequence::Copy, button(ToolSlot::Copy));
    key(list_, QKeySequence::SelectAll, button(ToolSlot::ZenSentak));
    // Anywhere in the tree, the list and the history: the current cave.
    key(area_, QKeySequence::Paste, button(ToolSlot::Past));
    key(area_, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), button(ToolSlot::Horu));
    key(area_, QKeySequence(Qt::Key_F5), [this] { treeRefresh(); });
    for (QAction* step : navigation_->keyActions()) {
        step->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        area_->addAction(step);
    }
}

} // namespace g3
