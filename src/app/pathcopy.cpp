#include "app/pathcopy.h"

#include "platform/paths.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include <cstring>

namespace g3 {

namespace {

std::string replaced(std::string s, const char* from, char to) {
    for (char& c : s)
        if (std::strchr(from, c) && c != '\0') c = to;
    return s;
}

} // namespace

PathCopyController::PathCopyController(WindowContext& window, ToolPlaces& places, QObject* parent)
    : FeatureController(window, parent) {
    popPasCopy_ = new QMenu(window.dialogOwner());
    popPasCopy_->setObjectName(QStringLiteral("popPasCopy"));
    struct Item {
        const char* name;
        const char* caption;
        void (PathCopyController::*handler)();
    };
    const Item items[] = {
        {"pmF01", "洞窟...家の表札をコピー(&C)", &PathCopyController::pmF01Click},
        {"pmF05", "洞窟...家の表札の/を_に変えてコピー(&B)", &PathCopyController::pmF05Click},
        {"pmF02", "洞窟...家の表札の:を_に変えてコピー(&E)", &PathCopyController::pmF02Click},
        {"pmF03", "家の大きさと改築日時をコピー(&S)", &PathCopyController::pmF03Click},
    };
    for (const Item& item : items) {
        QAction* a = popPasCopy_->addAction(QString::fromUtf8(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        connect(a, &QAction::triggered, this, [this, h = item.handler] {
            window_.services().boxes.runGuarded([&] { (this->*h)(); });
        });
    }
    connect(popPasCopy_, &QMenu::aboutToShow, this, &PathCopyController::popPasCopyPopup);
    makeTool(places, ToolSlot::PasCopy, [this] { popPasCopyPopup(); }, popPasCopy_);
}

void PathCopyController::addItem(QAction* item) { popPasCopy_->addAction(item); }

void PathCopyController::popPasCopyPopup() {
    const bool one = window_.selectedNames().size() == 1;
    for (QAction* a : popPasCopy_->actions()) a->setEnabled(one);
}

std::string PathCopyController::flatPath(const std::string& path) { return replaced(path, "/:", '_'); }
std::string PathCopyController::slashPath(const std::string& path) { return replaced(path, ":", '_'); }

std::string PathCopyController::selectedPath() const {
    const std::vector<std::string> names = window_.selectedNames();
    return names.size() == 1 ? joinPath(window_.CurDir(), names[0]) : std::string();
}

// Plain UTF-8 text, as every desktop program reads it.
void PathCopyController::toClipboard(const std::string& text) {
    if (text.empty()) return;
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
}

void PathCopyController::pmF01Click() { toClipboard(selectedPath()); }
void PathCopyController::pmF05Click() { toClipboard(flatPath(selectedPath())); }
void PathCopyController::pmF02Click() { toClipboard(slashPath(selectedPath())); }

void PathCopyController::pmF03Click() {
    if (window_.selectedNames().size() != 1) return;
    toClipboard(window_.selectedItemText(1) + "バイト(" + window_.selectedItemText(3) + ")");
}

} // namespace g3
