// Navigation and arrangement of the main window: current folder, history, favourite tabs,
// the layout switch and the splitter, the menus and the automatic refresh.
#include "app/mein.h"
#include "ui/msgbox.h"
#include "app/splitter.h"
#include "app/tabstrip.h"
#include "fscomp/DirMontr.h"
#include "mein_fixture.h"
#include "platform/fileops.h"
#include "shellviews/FileView.h"
#include "shellviews/FolderView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QMenu>
#include <QToolButton>

#include <algorithm>
#include <filesystem>

using namespace g3;
using g3test::Boxes;
using g3test::Folders;

namespace {

std::string makeFolder(const Folders& f, const std::string& name) {
    const std::string p = f.scratch(name);
    std::filesystem::create_directories(p);
    return p;
}

QPoint centreOfTab(TForm1& form, int i) { return form.TabControl1()->tabRect(i).center(); }

// A cave with a folder and ten houses "h00" .. "h09", shown in a window on the screen.
struct ShownCave {
    Folders f;
    TForm1 form{g3test::quietServices().services()};
    TFileView* list = form.ShellListView1();
    ShownCave() {
        makeFolder(f, "cave/sub");
        f.write(at("sub/deep"), "x");
        for (int i = 0; i < 10; ++i) f.write(at("h0" + std::to_string(i)), "x");
        form.resize(800, 400);
        form.show();
        form.navigateTo(f.scratch("cave"));
        QTRY_VERIFY(!form.DirMonitor1()->settingUp());
    }
    std::string at(const std::string& name) const { return g3::joinPath(f.scratch("cave"), name); }
    bool lists(const std::string& name) const {
        const std::vector<std::string> names = form.listRowNames();
        return std::find(names.begin(), names.end(), name) != names.end();
    }
    QLineEdit* editor(QWidget* view) const {
        for (QLineEdit* e : view->findChildren<QLineEdit*>())
            if (e->isVisible()) return e;
        return nullptr;
    }
};

} // namespace

class MeinNavigationTest : public QObject {
    Q_OBJECT
private slots:
    void treeChangeSetsCurrentFolderEverywhere() {
        Folders f;
        const std::string dir = makeFolder(f, "cave");
        TForm1 form(g3test::quietServices().services());
        QVERIFY(form.navigateTo(dir + "/")); // a trailing "/" is dropped
        QCOMPARE(form.CurDir(), dir);
        QCOMPARE(form.windowTitle(), QString::fromStdString(dir));
        QCOMPARE(applicationTitle(), QString::fromStdString(dir));
        // Qt would append a display name to the title of every window, boxes included.
        QCOMPARE(QApplication::applicationDisplayName(), QApplication::applicationName());
        QCOMPARE(form.DirMonitor1()->Directory(), dir);
        QVERIFY(form.DirMonitor1()->Active());
        QCOMPARE(form.ComboBox1()->count(), 2); // "/" and the cave
        QCOMPARE(form.ComboBox1()->currentIndex(), -1);
        QVERIFY(!form.navigateTo(f.scratch("missing")));
        QCOMPARE(form.CurDir(), dir);
    }

    void historyKeepsTheLatestHundred() {
        Folders f;
        TForm1 form(g3test::quietServices().services());
        for (int i = 0; i < 101; ++i) QVERIFY(form.navigateTo(makeFolder(f, "d" + std::to_string(i))));
        QComboBox* c = form.ComboBox1();
        QCOMPARE(c->count(), 100); // "/" and d0 went out, oldest first
        QCOMPARE(c->itemData(0).toByteArray().toStdString(), f.scratch("d1"));
        QCOMPARE(c->itemData(99).toByteArray().toStdString(), f.scratch("d100"));
        form.navigateTo(f.scratch("d50"));
        QCOMPARE(c->count(), 100);
        QCOMPARE(c->currentIndex(), -1);
        // Picking an entry navigates; an entry whose folder is gone changes nothing.
        form.ComboBox1Change(0);
        QCOMPARE(form.CurDir(), f.scratch("d1"));
        std::filesystem::remove(f.scratch("d2"));
        form.ComboBox1Change(1);
        QCOMPARE(form.CurDir(), f.scratch("d1"));
    }

    void tabRowsSizeTheBottomPanel() {
        Folders f;
        Boxes boxes;
        boxes.answer = MsgResult::Yes;
        TForm1 form(boxes.services()); // 320 wide: 275 pixels of strip hold three tabs a row
        form.show();
        QCOMPARE(form.PaneBotom()->height(), 23);
        for (int i = 0; i < 7; ++i) form.SpeedButton1Click();
        QCOMPARE(form.TabControl1()->rowCount(), 3);
        QCOMPARE(form.PaneBotom()->height(), 69);
        while (form.TabControl1()->count() > 0)
            form.TabControl1MouseUp(Qt::RightButton, centreOfTab(form, 0));
        QCOMPARE(form.PaneBotom()->height(), 23);
        QVERIFY(form.favouritePaths().empty());
        QCOMPARE(boxes.seen.size(), size_t(7));
        QCOMPARE(boxes.seen[0].text, QStringLiteral("/\r\nを取り外します"));
        QCOMPARE(boxes.seen[0].buttons, MsgButtons(mbYes | mbCancel));
    }

    void cancelKeepsTheTab() {
        Folders f;
        Boxes boxes;
        boxes.answer = MsgResult::Cancel; // also what closing the box answers
        TForm1 form(boxes.services());
        form.show();
        form.SpeedButton1Click();
        form.TabControl1MouseUp(Qt::RightButton, centreOfTab(form, 0));
        QCOMPARE(form.TabControl1()->count(), 1);
        form.TabControl1MouseUp(Qt::MiddleButton, centreOfTab(form, 0));
        form.TabControl1MouseUp(Qt::RightButton, QPoint(1000, 1000)); // on no tab
        QCOMPARE(boxes.seen.size(), size_t(1));
    }

    void leftClickOpensOrExplains() {
        Folders f;
        Boxes boxes;
        const std::string dir = makeFolder(f, "photos");
        TForm1 form(boxes.services());
        form.show();
        form.navigateTo(dir);
        form.SpeedButton1Click();
        QCOMPARE(form.TabControl1()->tabText(0), QStringLiteral("photos"));
        form.navigateTo("/");
        form.TabControl1MouseMove(centreOfTab(form, 0));
        QCOMPARE(form.TabControl1()->toolTip(), QString::fromStdString(dir));
        form.TabControl1MouseMove(QPoint(1000, 1000));
        QCOMPARE(form.TabControl1()->toolTip(), QString());
        form.TabControl1MouseUp(Qt::LeftButton, centreOfTab(form, 0));
        QCOMPARE(form.CurDir(), dir);
        QVERIFY(boxes.seen.empty());
        std::filesystem::remove(dir);
        form.TabControl1MouseUp(Qt::LeftButton, centreOfTab(form, 0));
        QCOMPARE(boxes.seen.size(), size_t(1));
        QCOMPARE(boxes.seen[0].text,
                 QString::fromStdString("洞窟 " + dir +
                                        "\n\rの表示に失敗しました\n\rこの洞窟は名前が変わったり埋められたかもしれません"));
        QCOMPARE(boxes.seen[0].buttons, MsgButtons(mbOK));
        QCOMPARE(form.TabControl1()->count(), 1);
    }

    void layoutSwitchRemembersEachSize() {
        Folders f;
        TForm1 form(g3test::quietServices().services());
        form.resize(600, 400);
        form.show();
        // Thirds of the whole inside of the window, tool bar included.
        QCOMPARE(form.paneTree()->width(), form.width() / 3);
        emit form.dfsSplitter1()->sizeRequested(150); // as a drag of the bar does
        QCOMPARE(form.paneTree()->width(), 150);
        QCOMPARE(form.dfsSplitter1()->x(), 150);
        QCOMPARE(form.dfsSplitter1()->width(), 5);
        form.tbtnTateYokoClick();
        QCOMPARE(form.layoutMode(), 1);
        QCOMPARE(form.dfsSplitter1()->height(), 5);
        const int stacked = form.paneTree()->height();
        QCOMPARE(stacked, form.height() / 3);
        emit form.dfsSplitter1()->sizeRequested(stacked + 20);
        form.tbtnTateYokoClick();
        QCOMPARE(form.paneTree()->width(), 150);
        form.tbtnTateYokoClick();
        QCOMPARE(form.paneTree()->height(), stacked + 20);
    }

    void splitterButtonCollapsesAndRestores() {
        Folders f;
        TForm1 form(g3test::quietServices().services());
        form.resize(600, 400);
        form.show();
        TdfsSplitter* bar = form.dfsSplitter1();
        const int before = form.paneTree()->width();
        const QPoint button = bar->buttonRect().center();
        QTest::mouseClick(bar, Qt::LeftButton, {}, button);
        QCOMPARE(form.paneTree()->width(), TdfsSplitter::kMinSize);
        QVERIFY(bar->isCollapsed());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->buttonRect().center());
        QCOMPARE(form.paneTree()->width(), before);
        // Off the button a click does nothing; on it, a drag of more than 5 pixels sizes.
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(form.paneTree()->width(), before);
        QVERIFY(!bar->isCollapsed());
    }

    void styleAndSortMenus() {
        Folders f;
        const std::string dir = makeFolder(f, "list");
        for (const char* n : {"b", "a", "c"}) f.write(g3::joinPath(dir, n), n);
        TForm1 form(g3test::quietServices().services());
        form.navigateTo(dir);
        form.popStylePopup();
        QVERIFY(form.popStyle()->actions()[0]->isChecked()); // large icons at a first start
        form.popStyle()->actions()[3]->trigger();
        QCOMPARE(form.listStyleCode(), 4);
        QCOMPARE(form.popStyle()->actions()[3]->text(), QStringLiteral("詳細(&D)"));
        const QList<QAction*> sort = form.pmenuSort()->actions();
        // A fill sorts ascending by name; each choice of an item flips its direction.
        QCOMPARE(form.listRowNames(), (std::vector<std::string>{"a", "b", "c"}));
        sort[0]->trigger();
        QCOMPARE(form.listRowNames(), (std::vector<std::string>{"c", "b", "a"}));
        sort[0]->trigger();
        QCOMPARE(form.listRowNames(), (std::vector<std::string>{"a", "b", "c"}));
        sort[2]->trigger();
        QCOMPARE(form.myColBan(), 2);
        for (int i = 0; i < 4; ++i) QCOMPARE(sort[i]->isChecked(), i == 2);
        QCOMPARE(sort[1]->text(), QStringLiteral("大きさでソート"));
    }

    void refreshButtonSwitchesTheMonitor() {
        Folders f;
        TForm1 form(g3test::quietServices().services());
        QToolButton* saisin = form.toolButton(QStringLiteral("tbtnSaisin"));
        QVERIFY(saisin->isCheckable());
        QVERIFY(form.DirMonitor1()->Active());
        saisin->click();
        QVERIFY(!form.DirMonitor1()->Active());
        saisin->click();
        QVERIFY(form.DirMonitor1()->Active());
        QCOMPARE(form.DirMonitor1()->Interval(), 3000);
        QVERIFY(form.DirMonitor1()->IncludeSubDir());
    }

    void goneFolderRefreshesAndWatchesOn() {
        Folders f;
        const std::string dir = makeFolder(f, "shown");
        TForm1 form(g3test::quietServices().services());
        form.navigateTo(dir);
        f.write(g3::joinPath(dir, "new"), "x");
        TDirMonitor::PollMonitors();
        QVERIFY(form.DirMonitor1()->Active());
        // The placeholder tree keeps a vanished folder selected; the refresh must still
        // leave the monitor watching whatever folder is shown.
        std::filesystem::remove_all(dir);
        TDirMonitor::PollMonitors();
        TDirMonitor::PollMonitors(); // no longer signalling
        QVERIFY(form.navigateTo("/"));
        QVERIFY(form.DirMonitor1()->Active());
        QCOMPARE(form.DirMonitor1()->Directory(), std::string("/"));
    }

    // The folder shown, or one above it, renamed or deleted behind the window's back: the
    // window follows it, or goes to the nearest folder that is still there; the current
    // folder, the caption, the monitor and the history all follow.
    void shownFolderFollowedWhenRenamedOrDeleted() {
        namespace fs = std::filesystem;
        // Each case renames `from` to `to`, or removes `from` (no `to`).
        struct Case {
            const char* what;
            const char* from;
            const char* to;
            const char* then; // the folder shown afterwards
        };
        const Case cases[] = {
            {"renamed", "a/b/c", "a/b/c2", "a/b/c2"},
            {"ancestor renamed", "a", "A", "A/b/c"},
            {"deleted", "a/b/c", nullptr, "a/b"},
            {"deleted with two above", "a", nullptr, ""},
            {"moved out of sight", "a/b/c", "x/c", "a/b"},
        };
        for (const Case& c : cases) {
            Folders f;
            const std::string shown = makeFolder(f, "a/b/c");
            makeFolder(f, "a/b/c/inner");
            makeFolder(f, "x");
            TForm1 form(g3test::quietServices().services());
            QVERIFY(form.navigateTo(shown + "/inner"));
            QVERIFY(form.navigateTo(f.scratch("x")));
            QVERIFY(form.navigateTo(shown));
            if (c.to)
                fs::rename(f.scratch(c.from), f.scratch(c.to));
            else
                fs::remove_all(f.scratch(c.from));
            TDirMonitor::PollMonitors();
            const std::string now = currentFolderForm(f.scratch(c.then));
            QVERIFY2(form.CurDir() == now, (std::string(c.what) + ": " + form.CurDir()).c_str());
            QCOMPARE(form.windowTitle(), QString::fromStdString(now));
            QCOMPARE(form.DirMonitor1()->Directory(), now);
            QVERIFY(form.DirMonitor1()->Active());
            QCOMPARE(form.ShellListView1()->FolderIDList(),
                     form.ShellTreeView1()->GetSelectedIDList());
            // Entries of folders that vanished are gone; the others stay, the new one is last.
            QStringList history;
            for (int i = 0; i < form.ComboBox1()->count(); ++i)
                history << form.ComboBox1()->itemText(i);
            QCOMPARE(history.last(), QString::fromStdString(now));
            QVERIFY(history.contains(QString::fromStdString(f.scratch("x"))));
            for (const QString& h : history)
                QVERIFY2(g3::isFolder(h.toStdString()), qPrintable(h));
        }
    }

    // Renaming the folder shown, or one above it, in the tree moves the window with it.
    void renameInTheTreeMovesTheCurrentFolder() {
        Folders f;
        const std::string shown = makeFolder(f, "p/q");
        TForm1 form(g3test::quietServices().services());
        QVERIFY(form.navigateTo(shown));
        TFolderView* tree = form.ShellTreeView1();
        const QModelIndex p = tree->CurrentNode().parent();
        QVERIFY(tree->model()->setData(p, QStringLiteral("P"), Qt::EditRole));
        QCOMPARE(form.CurDir(), f.scratch("P/q"));
        QCOMPARE(form.windowTitle(), QString::fromStdString(f.scratch("P/q")));
        QCOMPARE(form.DirMonitor1()->Directory(), f.scratch("P/q"));
        QCOMPARE(form.ComboBox1()->findData(QByteArray::fromStdString(shown)), -1);
    }

    // A monitor left closed (a folder that could not be watched) opens again on the next
    // folder shown while the refresh button is up, and stays closed while it is down.
    void closedMonitorReopensOnTheNextFolderUnlessSwitchedOff() {
        Folders f;
        const std::string a = makeFolder(f, "a");
        const std::string b = makeFolder(f, "b");
        TForm1 form(g3test::quietServices().services());
        QVERIFY(form.navigateTo(a));
        form.DirMonitor1()->setActive(false);
        QVERIFY(form.navigateTo(b));
        QVERIFY(form.DirMonitor1()->Active());
        QCOMPARE(form.DirMonitor1()->Directory(), b);
        form.toolButton(QStringLiteral("tbtnSaisin"))->click();
        QVERIFY(!form.DirMonitor1()->Active());
        QVERIFY(form.navigateTo(a));
        QVERIFY(!form.DirMonitor1()->Active());
    }

    // A change of a house's contents alone takes its size into its row, which moves to its
    // place when sorted by size; the tree is not made anew, the list not filled anew; a
    // house in a folder below changes no row.
    void contentsChangeUpdatesTheRowOnly() {
        ShownCave c;
        c.form.sortMenuClick(1); // largest first
        QSignalSpy fills(c.list->model(), &QAbstractItemModel::modelReset);
        QSignalSpy rebuilds(c.form.ShellTreeView1()->model(), &QAbstractItemModel::modelReset);
        QSignalSpy rows(c.list->model(), &QAbstractItemModel::dataChanged);
        c.f.write(c.at("sub/deep"), "longer");
        c.f.write(c.at("h07"), "12345");
        TDirMonitor::PollMonitors();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(c.form.listRowNames().front(), std::string("h07"));
        QCOMPARE(c.list->model()->index(0, 1).data().toString(), QStringLiteral("5"));
        QCOMPARE(fills.size(), 0);
        QCOMPARE(rebuilds.size(), 0);
    }

    // A name being edited in either view when the monitor reports a new house: the editor
    // stays open with what was typed; the refresh comes once it closes.
    void refreshWaitsForTheNameEditor_data() {
        QTest::addColumn<bool>("inTree");
        QTest::newRow("list") << false;
        QTest::newRow("tree") << true;
    }
    void refreshWaitsForTheNameEditor() {
        QFETCH(bool, inTree);
        ShownCave c;
        QAbstractItemView* view = inTree ? static_cast<QAbstractItemView*>(c.form.ShellTreeView1()) : c.list->itemView();
        if (!inTree) view->setCurrentIndex(view->model()->index(3, 0));
        QTest::keyClick(view, Qt::Key_F2);
        QLineEdit* editor = c.editor(view);
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("typed"));
        c.f.write(c.at("a-new-house"), "x");
        TDirMonitor::PollMonitors();
        QCOMPARE(c.editor(view), editor);
        QCOMPARE(editor->text(), QStringLiteral("typed"));
        QVERIFY(!c.lists("a-new-house")); // not yet
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_VERIFY(c.lists("a-new-house"));
    }

    void toolBarHasItsButtonsInOrder() {
        Folders f;
        TForm1 form(g3test::quietServices().services());
        const char* names[] = {"tbtnHoru", "tbtnUmeru", "tbtnSaisin", "tbtnKensak", "tbtnStyle",
                               "tbtnNamHenkou", "tbtnPast", "tbtnCopy", "tbtnZenSentak",
                               "tbtnTatinok", "tbtnGomiOpen", "tbtnTatemas", "tbtnHikos",
                               "tbtnNamHenCopy", "tbtnPasCopy", "tbtnKaito", "tbtnAsyuk",
                               "tbtnQuick", "tbtnSort", "tbtnTateYoko", "tbtnshotokato",
                               "tbtnVajHel"};
        int lastX = -1;
        form.resize(1000, 300);
        form.show();
        for (const char* n : names) {
            QToolButton* b = form.toolButton(QString::fromLatin1(n));
            QVERIFY2(b, n);
            QVERIFY(b->x() > lastX);
            QVERIFY(!b->toolTip().isEmpty());
            lastX = b->x();
        }
        QVERIFY(form.toolButton(QStringLiteral("tbtnTatemas"))->isEnabled());
        QVERIFY(form.toolButton(QStringLiteral("tbtnHoru"))->isEnabled());
        QVERIFY(form.toolButton(QStringLiteral("tbtnshotokato"))->isEnabled());
        QVERIFY(form.toolButton(QStringLiteral("tbtnSort"))->menu() == form.pmenuSort());
        QCOMPARE(form.windowMenu()->actions().last()->text(), QStringLiteral("もう一つGrottan3を起動(&F)"));
        QCOMPARE(form.minimumSize(), QSize(100, 100));
    }
};

QTEST_MAIN(MeinNavigationTest)
#include "mein_navigation_qtest.moc"
