// The feature controllers against a fake window: what they ask of it, in order, and the
// places of the tool bar they fill.
#include "app/clipboardcmds.h"
#include "app/copymove.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "engine/copyworker.h"
#include "engine/opkind.h"
#include "support/tempdir.h"
#include "support/testservices.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <map>

using namespace g3;
using namespace g3test;

namespace {

// A window that records what is asked of it.
class FakeWindow : public WindowContext, public ToolPlaces {
public:
    QWidget owner;
    std::string curDir = "/";
    std::vector<std::string> selection;
    std::vector<std::string> calls; // "pause", "resume", "refresh", "run:1", "run:0"
    std::map<ToolSlot, QAction*> placed;
    TestServices doubles;
    Services bundle = doubles.services();
    Progress progressRoutines;

    const std::string& CurDir() const override { return curDir; }
    std::vector<std::string> selectedNames() const override { return selection; }
    std::map<int, std::string> columnTexts; // of the one selected row
    std::string selectedItemText(int column) const override {
        auto it = columnTexts.find(column);
        return selection.size() == 1 && it != columnTexts.end() ? it->second : std::string();
    }
    TPasswordDlg password{&owner};
    TPasswordDlg2 password2{&owner};
    TPasswordDlg& PasswordDlg() override { return password; }
    TPasswordDlg2& PasswordDlg2() override { return password2; }
    bool busy = false;
    bool busyBelow(const std::string&) const override { return busy; }
    void pauseMonitor() override { calls.push_back("pause"); }
    void resumeMonitor() override { calls.push_back("resume"); }
    void treeRefresh(const std::string&) override { calls.push_back("refresh"); }
    bool navigateTo(const std::string& p) override {
        curDir = p;
        return true;
    }
    QWidget* dialogOwner() override { return &owner; }
    const Services& services() const override { return bundle; }
    Progress& progress() override { return progressRoutines; }
    void runStateChanged(bool running) override { calls.push_back(running ? "run:1" : "run:0"); }
    QToolButton* placeTool(ToolSlot slot, QAction* action, QMenu*) override {
        placed[slot] = action;
        return nullptr;
    }
};

} // namespace

class ControllersTest : public QObject {
    Q_OBJECT
private slots:
    void eachFillsItsPlacesWithTheFormsNames() {
        FakeWindow w;
        CopyMoveController copyMove(w, w, nullptr);
        ClipboardController clipboard(w, w, nullptr);
        QCOMPARE(w.placed.size(), std::size_t(4));
        QCOMPARE(w.placed[ToolSlot::Tatemas]->objectName(), QStringLiteral("tbtnTatemas"));
        QCOMPARE(w.placed[ToolSlot::Hikos]->toolTip(), QStringLiteral("引っ越す"));
        QCOMPARE(w.placed[ToolSlot::Past]->objectName(), QStringLiteral("tbtnPast"));
        QVERIFY(!w.placed[ToolSlot::Copy]->icon().isNull());
        // A run closes what must not run beside it.
        copyMove.onRunState(true);
        clipboard.onRunState(true);
        QVERIFY(!w.placed[ToolSlot::Tatemas]->isEnabled());
        QVERIFY(!w.placed[ToolSlot::Past]->isEnabled());
        QVERIFY(w.placed[ToolSlot::Copy]->isEnabled());
    }

    // A dropped file into the window's folder: the run is announced, the monitor held off
    // for it and the failures kept without an error window.
    void aDropRunsIntoTheCurrentFolder() {
        TempDir t;
        const std::string a = t.write("src/a.txt", "A");
        FakeWindow w;
        w.curDir = t.mkdir("dst");
        CopyMoveController copyMove(w, w, nullptr);
        QVERIFY(copyMove.runDrop({a, t.path("src/missing")}, okCopyNewer));
        QCOMPARE(readFile(t.path("dst/a.txt")), std::string("A"));
        QCOMPARE(w.calls, (std::vector<std::string>{"run:1", "pause", "resume", "refresh", "run:0"}));
        QCOMPARE(copyMove.errors().ErrorCount(), 1);
        QVERIFY(w.doubles.seen.empty()); // no error window: nothing is asked
    }

    // Paste: the monitor is off while the files arrive, one refresh shows them.
    void pasteHoldsTheMonitorOffAndRefreshesOnce() {
        TempDir t;
        const std::string a = t.write("src/a.txt", "A");
        FakeWindow w;
        w.curDir = t.mkdir("dst");
        w.selection = {"a.txt"};
        ClipboardController clipboard(w, w, nullptr);
        w.curDir = t.path("src");
        w.placed[ToolSlot::Copy]->trigger();
        w.curDir = t.path("dst");
        w.placed[ToolSlot::Past]->trigger();
        QCOMPARE(readFile(t.path("dst/a.txt")), std::string("A"));
        QCOMPARE(w.calls, (std::vector<std::string>{"pause", "resume", "refresh"}));
    }
};

QTEST_MAIN(ControllersTest)
#include "controllers_qtest.moc"
