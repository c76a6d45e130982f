// The feature controllers against a fake window: what they ask of it, in order, and the
// places of the tool bar they fill.
#include "app/clipboardcmds.h"
#include "app/copymove.h"
#include "engine/copyworker.h"
#include "engine/opkind.h"
#include "support/fakewindow.h"
#include "support/tempdir.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QToolButton>

using namespace g3;
using namespace g3test;

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
