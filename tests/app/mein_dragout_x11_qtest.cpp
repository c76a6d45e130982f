// Drags out of the main window's list as a user makes them with the mouse, driven by
// xdotool on the display named by G3_XVFB_DISPLAY (skipped without one): to another X
// client that records the formats and the action it got (copy, move with Shift, Escape
// cancels), and onto the window's own tree, where the drop menu decides.
#include "app/mein.h"
#include "mein_fixture.h"
#include "platform/fileops.h"
#include "platform/filelists.h"
#include "shellviews/FileView.h"
#include "shellviews/FolderView.h"
#include "shellviews/shellnamespace.h"
#include "xclient.h"
#include "xvfb_main.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QDrag>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <map>

using g3::TForm1;
using g3test::Boxes;
using g3test::Folders;
using g3test::OtherClient;

namespace {

std::string makeDir(const std::string& p) {
    ::mkdir(p.c_str(), 0755);
    return p;
}

QStringList at(QPoint p) { return {QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())}; }
QStringList pause(const char* seconds) { return {QStringLiteral("sleep"), QString::fromLatin1(seconds)}; }

// A press on from and a move far enough to start the drag; once the drag has begun, the
// keys held (xdotool key names) go down and the xdotool commands of `meanwhile` run; then
// two steps onto to and a release of button `release` there. The scripts run on their own
// while this process serves the drag (a timer inside the drag's loop starts the second one,
// so a slow start of the drag never lets the second part arrive before it); returns when
// both have ended.
bool drag(TForm1& form, QPoint from, QPoint to, const QStringList& held = {}, const QStringList& meanwhile = {},
          const QString& release = QStringLiteral("1")) {
    QStringList press{QStringLiteral("windowfocus"), QString::number(form.winId())};
    press << at(from) << QStringLiteral("mousedown") << QStringLiteral("1") << pause("0.4") << at(from + QPoint(12, 0));
    QStringList rest;
    for (const QString& k : held) rest << QStringLiteral("keydown") << k;
    rest << meanwhile << at(to - QPoint(6, 0)) << pause("0.6") << at(to) << pause("0.8");
    rest << QStringLiteral("mouseup") << release;
    for (const QString& k : held) rest << QStringLiteral("keyup") << k;
    QProcess first, second;
    QTimer begun;
    begun.setInterval(50);
    QObject::connect(&begun, &QTimer::timeout, [&] {
        if (first.state() != QProcess::NotRunning || !form.findChild<QDrag*>()) return;
        begun.stop();
        second.start(QStringLiteral("xdotool"), rest);
    });
    begun.start();
    first.start(QStringLiteral("xdotool"), press);
    const bool ended = first.waitForStarted() && QTest::qWaitFor([&] {
        return !begun.isActive() && second.state() == QProcess::NotRunning;
    }, 30000);
    return ended && first.exitCode() == 0 && second.exitCode() == 0;
}

// The main window beside the other client's, showing folder with rows selected; menus are
// answered by name.
struct ShownWindow {
    Boxes services;
    TForm1 form{services.services()};
    ShownWindow(const std::string& folder, const std::vector<std::string>& selected) {
        form.move(220, 60);
        form.resize(700, 500);
        form.show();
        (void)QTest::qWaitForWindowExposed(&form);
        form.navigateTo(folder);
        form.setListStyle(4); // details
        g3::TFileView* list = form.ShellListView1();
        for (const std::string& name : selected) {
            const int r = row(name);
            list->itemView()->selectionModel()->select(list->model()->index(r, 0),
                                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    int row(const std::string& name) const {
        const g3::FileListModel* m = form.ShellListView1()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->row(r).id.firstName() == name) return r;
        return -1;
    }
    // The caption of a row, on the screen.
    QPoint rowOnScreen(const std::string& name) const {
        QAbstractItemView* v = form.ShellListView1()->itemView();
        const QRect rect = v->visualRect(form.ShellListView1()->model()->index(row(name), 0));
        return v->viewport()->mapToGlobal(QPoint(rect.left() + 30, rect.center().y()));
    }
};

} // namespace

class MeinDragOutX11Test : public QObject {
    Q_OBJECT
    std::unique_ptr<Folders> folders_;
    std::string src_, odd_;

private slots:
    void initTestCase() {
        if (g3test::xvfbDisplay().isEmpty()) QSKIP("no X display (G3_XVFB_DISPLAY)");
        folders_ = std::make_unique<Folders>();
        g3test::useOwnDesktop(*folders_);
        ::setenv("XDG_CONFIG_HOME", makeDir(folders_->scratch("config")).c_str(), 1);
        src_ = makeDir(folders_->scratch("src"));
        odd_ = g3::joinPath(src_, "raw\xff name.bin");
        folders_->write(odd_, "R");
        folders_->write(g3::joinPath(src_, "b.txt"), "B");
    }
    void cleanupTestCase() {
        g3::setMountInfoPathForTesting("");
        ::unlink(odd_.c_str()); // a name Qt's removal of the folder cannot spell
    }

    // Plain: a copy; with Shift: a move, which the target carries out (this one does not,
    // so the files stay); Escape: no drop at all. Every format arrives byte for byte.
    void toAnotherProgram_data() {
        QTest::addColumn<QStringList>("held");
        QTest::addColumn<QStringList>("meanwhile"); // xdotool commands on the way
        QTest::addColumn<QString>("release");
        QTest::addColumn<int>("action"); // 0: no drop
        QTest::newRow("copy") << QStringList{} << QStringList{} << "1" << int(Qt::CopyAction);
        QTest::newRow("move with Shift") << QStringList{"shift"} << QStringList{} << "1" << int(Qt::MoveAction);
        QTest::newRow("Escape cancels") << QStringList{} << QStringList{"key", "Escape", "sleep", "0.4"} << "1" << 0;
        // The left button let go on the way while the right one is held: the drag goes on
        // until the right one is released too, on the target.
        QTest::newRow("right button held") << QStringList{}
                                           << QStringList{"mousedown", "3", "sleep", "0.4", "mouseup", "1", "sleep", "0.4"}
                                           << "3" << int(Qt::CopyAction);
    }
    void toAnotherProgram() {
        QFETCH(QStringList, held);
        QFETCH(QStringList, meanwhile);
        QFETCH(QString, release);
        QFETCH(int, action);
        OtherClient target(QStringLiteral(G3_XDND_TARGET), {});
        const QRect t = target.window();
        QVERIFY(!t.isNull());
        ShownWindow w(src_, {"raw\xff name.bin", "b.txt"});
        QVERIFY(drag(w.form, w.rowOnScreen("b.txt"), t.center(), held, meanwhile, release));
        if (action == 0) {
            QVERIFY(target.line(QStringLiteral("drop"), 1000).isEmpty());
        } else {
            QCOMPARE(target.line(QStringLiteral("drop")), QStringLiteral("drop %1").arg(action));
            std::map<QString, QByteArray> got;
            for (const QString& l : target.lines()) {
                const QStringList v = l.split(QLatin1Char(' '));
                if (v.size() == 3 && v[0] == QLatin1String("format")) got[v[1]] = QByteArray::fromHex(v[2].toLatin1());
            }
            const std::vector<std::string> paths = {odd_, g3::joinPath(src_, "b.txt")};
            for (const g3::FileListPayload& p : g3::fileListPayloads(paths, false))
                QCOMPARE(got[QString::fromLatin1(p.format)], QByteArray::fromStdString(p.bytes));
        }
        // Whatever the target did, nothing was deleted here.
        QCOMPARE(folders_->read(odd_), std::string("R"));
        QCOMPARE(folders_->read(g3::joinPath(src_, "b.txt")), std::string("B"));
    }

    // Onto a folder of the window's own tree: the drop menu opens and its choice copies.
    void ontoTheTreeThroughTheDropMenu() {
        const std::string into = makeDir(folders_->scratch("into"));
        ShownWindow w(src_, {"b.txt"});
        w.services.menuItem = QStringLiteral("popMcopyFast");
        g3::TFolderView* tree = w.form.ShellTreeView1();
        g3::ItemIDList intoList;
        QVERIFY(g3::ParseDisplayName(into, intoList));
        const QModelIndex node = tree->FindIDList(intoList);
        QVERIFY(node.isValid());
        const QRect r = tree->visualRect(node);
        const QPoint onNode = tree->viewport()->mapToGlobal(QPoint(r.left() + 20, r.center().y()));
        QVERIFY(drag(w.form, w.rowOnScreen("b.txt"), onNode));
        QCOMPARE(w.services.menusShown, 1);
        QCOMPARE(w.form.CurDir(), into);
        QCOMPARE(folders_->read(g3::joinPath(into, "b.txt")), std::string("B"));
        QCOMPARE(folders_->read(g3::joinPath(src_, "b.txt")), std::string("B"));
    }
};

int main(int argc, char** argv) { return g3test::runOnXvfb<MeinDragOutX11Test>(argc, argv); }

#include "mein_dragout_x11_qtest.moc"
