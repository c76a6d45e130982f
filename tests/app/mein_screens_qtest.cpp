// The main window as a user sees it, on a desktop without an icon theme: both layouts with
// two rows of favourite tabs, the history open, the about window, the tool bar enabled and
// disabled. Checks the geometry the layout promises and that every button shows a picture
// of the program's own; with G3_SHOTS set it also saves each picture under /tmp/shots.
#include "app/OKRightDlg.h"
#include "app/mein.h"
#include "app/tabstrip.h"
#include "fscomp/DirMontr.h"
#include "mein_fixture.h"
#include "shellviews/FileView.h"
#include "ui/programicon.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QSet>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <filesystem>

using g3::TForm1;
using g3test::Folders;

namespace {

void save(QWidget* w, const char* name) {
    if (!qEnvironmentVariableIsSet("G3_SHOTS")) return;
    QDir().mkpath(QStringLiteral("/tmp/shots"));
    w->grab().save(QStringLiteral("/tmp/shots/%1.png").arg(QString::fromLatin1(name)));
}

// Twelve favourite folders: more than one row of 80-pixel tabs in a 700-pixel window.
void writeTwelveFavourites(const Folders& f) {
    std::string memo;
    for (int i = 0; i < 12; ++i) {
        const std::string dir = f.scratch("fav" + std::to_string(i));
        std::filesystem::create_directories(dir);
        memo += dir + "\r\n";
    }
    f.write(f.config("memo.ini"), memo);
}

} // namespace

class MeinScreensTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QIcon::setThemeSearchPaths({});
        QIcon::setFallbackSearchPaths({});
        QIcon::setThemeName(QStringLiteral("g3-no-such-theme"));
    }

    void bothLayoutsWithTwoTabRows() {
        Folders f;
        writeTwelveFavourites(f);
        f.write(f.config("data.ini"), "[fileVstyle]\r\nban=4\r\n");
        TForm1 form(g3test::quietServices().services());
        form.resize(700, 420);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.TabControl1()->count(), 12);
        QCOMPARE(form.TabControl1()->rowCount(), 2);
        QCOMPARE(form.PaneBotom()->height(), 2 * TForm1::kTabRowHeight);
        save(&form, "main_layout0");
        form.tbtnTateYokoClick();
        QCOMPARE(form.layoutMode(), 1);
        QVERIFY(form.paneTree()->width() > form.paneTree()->height()); // stacked above the list
        save(&form, "main_layout1");
    }

    void historyOpen() {
        Folders f;
        TForm1 form(g3test::quietServices().services());
        form.resize(700, 420);
        form.show();
        for (const char* d : {"alpha", "beta", "gamma"}) {
            std::filesystem::create_directories(f.scratch(d));
            QVERIFY(form.navigateTo(f.scratch(d)));
        }
        QComboBox* c = form.ComboBox1();
        c->showPopup();
        QAbstractItemView* drop = c->view();
        QTRY_VERIFY(drop->isVisible());
        QCOMPARE(c->count(), 4); // "/" and the three caves
        QVERIFY(drop->window()->width() >= 800); // the dropped list is wider than the combo
        save(drop->window(), "main_history");
        c->hidePopup();
    }

    void aboutWindow() {
        Folders f;
        TForm1 form(g3test::quietServices().services());
        g3::TOKRightDlg about(g3test::quietServices(), &form);
        form.setOKRightDlg(&about);
        form.show();
        form.tbtnVajHelClick();
        QTRY_VERIFY(about.isVisible());
        QVERIFY(!about.isModal()); // shown without blocking the main window
        QCOMPARE(about.windowTitle(), QStringLiteral("About Grottan3"));
        save(&about, "about");
    }

    // After the monitor's refresh: the unfolded tree, the selected folder and the selected
    // houses as they were.
    void afterARefresh() {
        Folders f;
        f.write(f.config("data.ini"), "[fileVstyle]\r\nban=4\r\n");
        const std::string cave = f.scratch("cave");
        for (const char* d : {"open/sub", "open/other", "closed/x"})
            std::filesystem::create_directories(g3::joinPath(cave, d));
        for (int i = 0; i < 30; ++i) f.write(g3::joinPath(cave, "house" + std::to_string(i)), std::string(i * 100, 'x'));
        TForm1 form(g3test::quietServices().services());
        form.resize(800, 420);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.navigateTo(g3::joinPath(cave, "open/sub")));
        QVERIFY(form.navigateTo(cave));
        QAbstractItemView* rows = form.ShellListView1()->itemView();
        for (int r : {5, 6, 9})
            rows->selectionModel()->select(rows->model()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        f.write(g3::joinPath(cave, "a-new-house"), "x");
        g3::TDirMonitor::PollMonitors();
        QCOMPARE(form.ShellListView1()->selectedRows(), (std::vector<int>{6, 7, 10})); // one came above
        save(&form, "main_after_refresh");
    }

    // Each tool-bar button its own picture, the bottom buttons theirs; disabled, each is
    // drawn differently.
    void buttonPictures() {
        Folders f;
        TForm1 form(g3test::quietServices().services());
        form.resize(900, 420); // the whole tool bar, no overflow menu
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* bar = form.findChild<QToolBar*>(QStringLiteral("ToolBar1"));
        QList<QToolButton*> buttons =
            bar->findChildren<QToolButton*>(QRegularExpression(QStringLiteral("^tbtn")));
        QCOMPARE(buttons.size(), 22);
        QSet<QString> pictures;
        for (QToolButton* b : buttons)
            pictures << b->icon().name();
        QCOMPARE(pictures.size(), 22);
        buttons << form.findChildren<QToolButton*>(
            QRegularExpression(QStringLiteral("^SpeedButton")));
        QList<QImage> live;
        for (QToolButton* b : buttons) {
            QVERIFY2(g3::programIconNames().contains(b->icon().name()),
                     qPrintable(b->objectName()));
            b->setEnabled(true);
            live << b->grab().toImage();
        }
        save(bar, "toolbar-enabled");
        for (QToolButton* b : buttons)
            b->setEnabled(false);
        save(bar, "toolbar-disabled");
        for (int i = 0; i < buttons.size(); ++i)
            QVERIFY2(buttons[i]->grab().toImage() != live[i], qPrintable(buttons[i]->objectName()));
    }
};

QTEST_MAIN(MeinScreensTest)
#include "mein_screens_qtest.moc"
