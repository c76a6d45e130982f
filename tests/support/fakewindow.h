// A main window for the feature controllers' tests (and benchmarks): it records what is
// asked of it, answers the input dialog from a script, and gives each tool-bar place a
// real button.
#pragma once

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/feature.h"
#include "support/testservices.h"

#include <QAction>
#include <QToolButton>
#include <QWidget>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace g3test {

class FakeWindow : public g3::WindowContext, public g3::ToolPlaces {
public:
    QWidget owner;
    std::string curDir = "/";
    std::vector<std::string> selection;
    std::map<int, std::string> columnTexts; // of the one selected row
    g3::TPasswordDlg password{&owner};
    g3::TPasswordDlg2 password2{&owner};
    bool busy = false;
    std::vector<std::string> calls; // "pause", "resume", "refresh", "run:1", "run:0", "raise"
    std::map<g3::ToolSlot, QAction*> placed;
    std::map<g3::ToolSlot, QToolButton*> buttons;
    TestServices doubles;
    g3::Services bundle = doubles.services();
    g3::Progress progressRoutines;
    // The input dialog: each request is kept; each answer is the first of `typed` (a text
    // typed and OK), or Cancel for nullopt or when none is left.
    std::vector<g3::InputRequest> asked;
    std::deque<std::optional<std::string>> typed;

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
    void raiseWindow() override { calls.push_back("raise"); }
    bool askInput(const g3::InputRequest& req, std::string& text) override {
        asked.push_back(req);
        std::optional<std::string> answer;
        if (!typed.empty()) {
            answer = typed.front();
            typed.pop_front();
        }
        if (answer) text = *answer;
        return answer.has_value();
    }
    const g3::Services& services() const override { return bundle; }
    g3::Progress& progress() override { return progressRoutines; }
    void runStateChanged(bool running) override { calls.push_back(running ? "run:1" : "run:0"); }
    QToolButton* placeTool(g3::ToolSlot slot, QAction* action, QMenu*) override {
        placed[slot] = action;
        auto* b = new QToolButton(&owner);
        b->setDefaultAction(action);
        buttons[slot] = b;
        return b;
    }
};

} // namespace g3test
