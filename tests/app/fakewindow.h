// A main window for the feature controllers' tests: it records what is asked of it, answers
// boxes through its TestServices (or the boxes handed in), and keeps the actions placed on
// its tool bar.
#pragma once

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/feature.h"
#include "support/testservices.h"

#include <QAction>
#include <QWidget>

#include <map>
#include <string>
#include <vector>

namespace g3test {

class FakeWindow : public g3::WindowContext, public g3::ToolPlaces {
public:
    // boxes: shown instead of the doubles' (a test that takes pictures of real ones).
    explicit FakeWindow(g3::MessageBoxes* boxes = nullptr)
        : bundle{boxes ? *boxes : doubles, doubles, doubles, nullptr, [this] { ++doubles.pumps; }} {}

    QWidget owner;
    std::string curDir = "/";
    std::vector<std::string> selection;
    std::map<int, std::string> columnTexts; // of the one selected row
    std::vector<std::string> calls; // "pause", "resume", "refresh", "run:1", "run:0"
    std::map<g3::ToolSlot, QAction*> placed;
    TestServices doubles;
    g3::Services bundle;
    g3::Progress progressRoutines;
    g3::TPasswordDlg password{&owner};
    g3::TPasswordDlg2 password2{&owner};
    bool busy = false;

    const std::string& CurDir() const override { return curDir; }
    std::vector<std::string> selectedNames() const override { return selection; }
    std::string selectedItemText(int column) const override {
        auto it = columnTexts.find(column);
        return selection.size() == 1 && it != columnTexts.end() ? it->second : std::string();
    }
    g3::TPasswordDlg& PasswordDlg() override { return password; }
    g3::TPasswordDlg2& PasswordDlg2() override { return password2; }
    bool busyBelow(const std::string&) const override { return busy; }
    void pauseMonitor() override { calls.push_back("pause"); }
    void resumeMonitor() override { calls.push_back("resume"); }
    void treeRefresh(const std::string&) override { calls.push_back("refresh"); }
    bool navigateTo(const std::string& p) override {
        curDir = p;
        return true;
    }
    QWidget* dialogOwner() override { return &owner; }
    const g3::Services& services() const override { return bundle; }
    g3::Progress& progress() override { return progressRoutines; }
    void runStateChanged(bool running) override { calls.push_back(running ? "run:1" : "run:0"); }
    QToolButton* placeTool(g3::ToolSlot slot, QAction* action, QMenu*) override {
        placed[slot] = action;
        return nullptr;
    }
};

} // namespace g3test
