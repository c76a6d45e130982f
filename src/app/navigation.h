// Navigation: the history combo of the folders shown, the favourite tabs, and the steps up,
// back and forward. The window says where the tree arrived; every way of going somewhere
// ends in the window's navigateTo, so the current folder has one home, the window's tree.
#pragma once

#include "app/feature.h"
#include "app/visittrail.h"

#include <QList>

#include <string>
#include <vector>

class QComboBox;
class QPoint;
class QToolButton;

namespace g3 {

class TTabStrip;

// The widgets navigation works in; the window makes and lays them out.
struct NavigationWidgets {
    QComboBox* history;    // ComboBox1
    TTabStrip* tabs;       // TabControl1
    QToolButton* addTab;   // SpeedButton1
    QToolButton* saveTabs; // SpeedButton2
};

class NavigationController final : public FeatureController {
    Q_OBJECT
public:
    static constexpr int kHistoryCap = 100;

    NavigationController(WindowContext& window, const NavigationWidgets& widgets, QObject* parent);

    // The tree arrived at path, coming from the folder shown before ("" at the first).
    void arrived(const std::string& from, const std::string& path);
    // The shown folder went away: to where it is now (nowAt, when it was renamed or
    // moved), else to the nearest folder above it that still exists.
    void followShownFolder(const std::string& nowAt);
    // The tabs of memo.ini, none selected.
    void loadFavourites();

    void ComboBox1Change(int index);
    void SpeedButton1Click();
    // Writes memo.ini; a failure goes to the general error display.
    void SpeedButton2Click();
    void TabControl1MouseMove(const QPoint& pos);
    void TabControl1MouseUp(Qt::MouseButton button, const QPoint& pos);
    // To the folder above, and back and forward through the folders visited.
    void goUp();
    void goBack();
    void goForward();

    // The actions of those three steps with their keys, for the window to put where they
    // apply.
    const QList<QAction*>& keyActions() const { return keyActions_; }
    const std::vector<std::string>& favouritePaths() const { return memo1_; }

signals:
    // Tabs came or went: the panel below may need another row.
    void favouritesChanged();

private:
    void historyAdd(const std::string& path);
    void historyForget(const std::string& vanished);
    // Goes through the visit trail one step at a time until a folder can be shown.
    void walkTrail(bool forward);

    QComboBox* combo_;
    TTabStrip* tabs_;
    std::vector<std::string> memo1_; // favourite tab paths, parallel to TabControl1
    VisitTrail trail_;
    QList<QAction*> keyActions_;
};

} // namespace g3
