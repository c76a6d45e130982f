// The feature controllers against a fake window: what they ask of it, in order, and the
// places of the tool bar they fill.
#include "app/clipboardcmds.h"
#include "app/copymove.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/properties.h"
#include "app/shellmenu.h"
#include "engine/copyworker.h"
#include "engine/opkind.h"
#include "platform/trash.h"
#include "shellviews/shellnamespace.h"
#include "support/fakewindow.h"
#include "support/tempdir.h"
#include "support/trashhome.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <map>

#include <sys/stat.h>
#include <unistd.h>

using namespace g3;
using namespace g3test;

namespace {

// One item of a folder as the views hand it to the context menu.
struct OneItem {
    ShellFolderPtr folder;
    ItemIDList id;
    OneItem(const std::string& dir, const std::string& name) {
        ItemIDList abs;
        if (ParseDisplayName(dir, abs)) folder = SHGetDesktopFolder()->BindToObject(abs);
        if (folder)
            folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, [&](EnumItem&& e) {
                if (e.id.firstName() == name) id = e.id;
            });
    }
    bool showMenu(ShellMenuController& c, QWidget* window) {
        return c.ContextMenuEx1()->ShowContextMenu(window, folder, QPoint(), 1, id);
    }
};

// Saves a window's picture when G3_SHOTS names a folder.
void save(QWidget& w, const char* name) {
    const QString dir = qEnvironmentVariable("G3_SHOTS");
    if (!dir.startsWith(QLatin1Char('/'))) return;
    w.grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

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

    // Send to: the menu copies the item to the clipboard, then a folder link's folder gets
    // it through the shell file operation and an application entry's program is started
    // with it (in the entry's Path folder). Delete goes to the window's eviction.
    void sendToAFolderLinkAndToAProgram() {
        TempDir t;
        setenv("XDG_CONFIG_HOME", t.mkdir("config").c_str(), 1);
        const std::string a = t.write("src/a b.txt", "A");
        const std::string recorder = t.write("recorder.sh", "#!/bin/sh\npwd > \"$0.tmp\"\n"
                                                            "printf '%s\\n' \"$@\" >> \"$0.tmp\"\nmv \"$0.tmp\" \"$0.out\"\n");
        chmod(recorder.c_str(), 0755);
        const std::string sendTo = t.mkdir("config/grottan3/SendTo");
        QCOMPARE(symlink(t.mkdir("dst").c_str(), (sendTo + "/dst").c_str()), 0);
        t.write("config/grottan3/SendTo/rec.desktop", "[Desktop Entry]\nType=Application\nName=記録係\nExec=" +
                                                          recorder + " %F\nPath=" + t.mkdir("work") + "\n");
        FakeWindow w;
        ClipboardController clipboard(w, w, nullptr);
        ShellMenuController menu(w, clipboard, nullptr);
        std::vector<std::string> evicted;
        menu.evictPaths = [&](const std::vector<std::string>& p) { evicted = p; };
        OneItem item(t.path("src"), "a b.txt");

        w.doubles.menuItem = QStringLiteral("sendto1525");
        QVERIFY(item.showMenu(menu, &w.owner));
        QCOMPARE(readFile(t.path("dst/a b.txt")), std::string("A"));
        QCOMPARE(w.calls, (std::vector<std::string>{"pause", "resume", "refresh"}));
        w.doubles.menuItem = QStringLiteral("sendto1526");
        QVERIFY(item.showMenu(menu, &w.owner));
        QTRY_VERIFY_WITH_TIMEOUT(exists(recorder + ".out"), 10000);
        QCOMPARE(readFile(recorder + ".out"), t.path("work") + "\n" + a + "\n");
        w.doubles.menuItem = QStringLiteral("delete");
        QVERIFY(item.showMenu(menu, &w.owner));
        QCOMPARE(evicted, std::vector<std::string>{a});
        QCOMPARE(readFile(a), std::string("A"));
        QVERIFY(w.doubles.seen.empty());
        unsetenv("XDG_CONFIG_HOME");
    }

    // Items come back from the trash; one whose place is taken stays there, and the user
    // is told which.
    void restoreBringsItemsBackAndNamesWhatStayed() {
        TrashHome h;
        const std::string one = h.t.write("work/one.txt", "1"), two = h.t.write("work/two.txt", "2");
        TrashEntry e1, e2;
        QCOMPARE(moveToTrash(one, &e1), 0);
        QCOMPARE(moveToTrash(two, &e2), 0);
        h.t.write("work/two.txt", "new");
        FakeWindow w;
        ClipboardController clipboard(w, w, nullptr);
        ShellMenuController menu(w, clipboard, nullptr);
        QCOMPARE(menu.restore({h.trashed(e1.name), h.trashed(e2.name)}), EEXIST);
        QCOMPARE(readFile(one), std::string("1"));
        QCOMPARE(readFile(two), std::string("new"));
        QCOMPARE(readFile(h.trashed(e2.name)), std::string("2"));
        QCOMPARE(w.calls, (std::vector<std::string>{"pause", "resume", "refresh"}));
        QCOMPARE(w.doubles.seen.size(), std::size_t(1));
        QVERIFY(w.doubles.seen[0].text.contains(QString::fromStdString(two)));
        QVERIFY(!w.doubles.seen[0].text.contains(QString::fromStdString(one)));
    }

    // The folder's size is counted while the window shows; a file has no contents row.
    void propertiesOfAFolderAndAFile() {
        TempDir t;
        const std::string cave = t.mkdir("cave");
        t.write("cave/a.txt", std::string(1000, 'a'));
        t.write("cave/sub/b.txt", std::string(24, 'b'));
        chmod(cave.c_str(), 0750);
        FakeWindow w;
        ClipboardController clipboard(w, w, nullptr);
        ShellMenuController menu(w, clipboard, nullptr);
        QCOMPARE(menu.showProperties({cave}), 0);
        QPointer<TPropertiesWindow> win = w.owner.findChild<TPropertiesWindow*>();
        QVERIFY(win);
        QTRY_VERIFY(win->counted());
        QTRY_COMPARE(win->lblSize->text(), QStringLiteral("1.00 KB (1,024 バイト)"));
        QCOMPARE(win->lblContents->text(), QStringLiteral("家 2 軒、洞窟 1 個"));
        QCOMPARE(win->lblName->text(), QStringLiteral("cave"));
        QCOMPARE(win->lblLocation->text(), QString::fromStdString(t.path()));
        QCOMPARE(win->lblPermissions->text(), QStringLiteral("rwxr-x--- (750)"));
        QVERIFY(win->lblOwner->text().contains(QStringLiteral("(%1)").arg(getuid())));
        QVERIFY(win->lblModified->isVisible());
        save(*win, "properties_folder");
        win->close();
        QTRY_VERIFY(!win);

        QCOMPARE(menu.showProperties({t.path("cave/a.txt"), t.path("cave/sub")}), 0);
        win = w.owner.findChild<TPropertiesWindow*>();
        QTRY_COMPARE(win->lblSize->text(), QStringLiteral("1.00 KB (1,024 バイト)"));
        QCOMPARE(win->lblName->text(), QStringLiteral("2 個の家や洞窟"));
        QCOMPARE(win->lblType->text(), QStringLiteral("いろいろな種類"));
        QVERIFY(!win->lblModified->isVisible());
        delete win;
    }

    void sizeAndPermissionTexts() {
        const std::pair<std::uint64_t, const char*> sizes[] = {
            {0, "0 バイト"}, {1023, "1,023 バイト"}, {1024, "1.00 KB (1,024 バイト)"},
            {1536000, "1.46 MB (1,536,000 バイト)"}, {150ull << 30, "150 GB (161,061,273,600 バイト)"},
        };
        for (const auto& [bytes, text] : sizes) QCOMPARE(sizeText(bytes), QString::fromUtf8(text));
        const std::pair<unsigned, const char*> modes[] = {
            {0640, "rw-r----- (640)"}, {04755, "rwsr-xr-x (4755)"}, {02740, "rwxr-S--- (2740)"},
            {01777, "rwxrwxrwt (1777)"}, {01776, "rwxrwxrwT (1776)"},
        };
        for (const auto& [mode, text] : modes) QCOMPARE(permissionText(mode), QString::fromUtf8(text));
    }
};

QTEST_MAIN(ControllersTest)
#include "controllers_qtest.moc"
