#include "support/testservices.h"

#include <QAction>
#include <QMenu>

namespace g3test {

g3::Services TestServices::services(g3::ProgressHost* progressWindow) {
    return {*this, *this, *this, progressWindow, [this] { ++pumps; }};
}

g3::MsgResult TestServices::show(const g3::MessageRequest& req, QWidget*) {
    seen.push_back(req);
    return answer;
}

QAction* TestServices::choose(QMenu& menu, const QPoint&) {
    ++menusShown;
    if (menuItem.isEmpty()) return nullptr;
    for (QAction* a : menu.findChildren<QAction*>())
        if (a->objectName() == menuItem) return a;
    return nullptr;
}

bool TestServices::ShellExecuteItem(const std::string& path, const std::string& workDir) {
    opened.emplace_back(path, workDir);
    return opens;
}

} // namespace g3test
