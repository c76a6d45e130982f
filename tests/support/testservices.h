// The one double of the program's services (app/services.h) for the tests of every folder:
// message boxes recorded and answered, menus chosen by item name, openings recorded, pumps
// counted. No window of its own is ever shown.
#pragma once

#include "app/services.h"

#include <QString>

#include <string>
#include <utility>
#include <vector>

namespace g3test {

class TestServices : public g3::MessageBoxes, public g3::MenuChooser, public g3::Opener {
public:
    // Message boxes: each request is kept; every one is answered with `answer`.
    std::vector<g3::MessageRequest> seen;
    g3::MsgResult answer = g3::MsgResult::OK;

    // Menus: the action whose object name is menuItem is chosen ("" is Escape).
    QString menuItem;
    int menusShown = 0;

    // Opening: each path and working folder is kept; `opens` is the answer.
    std::vector<std::pair<std::string, std::string>> opened;
    bool opens = true;

    int pumps = 0;

    // The bundle to hand to what is tested (the progress routines headless unless told).
    g3::Services services(g3::ProgressHost* progressWindow = nullptr);

    g3::MsgResult show(const g3::MessageRequest& req, QWidget* parent) override;
    QAction* choose(QMenu& menu, const QPoint& screenPos) override;
    bool ShellExecuteItem(const std::string& path, const std::string& workDir) override;
};

} // namespace g3test
