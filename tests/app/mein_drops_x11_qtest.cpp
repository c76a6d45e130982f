// Drops on the main window from another X client: a real XDND drag, driven by xdotool on
// the display named by G3_XVFB_DISPLAY (skipped without one), through the window's drop
// targets and the drop menu as a user meets them.
#include "app/mein.h"
#include "engine/dropmenu.h"
#include "mein_fixture.h"
#include "platform/fileops.h"
#include "shellviews/FileView.h"
#include "shellviews/FolderView.h"
#include "shellviews/shellnamespace.h"
#include "xclient.h"
#include "xvfb_main.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDragMoveEvent>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <sys/stat.h>

using g3::TForm1;
using g3test::Boxes;
using g3test::Folders;
using g3test::moveTo;
using g3test::xdotool;

namespace {

// The other client: a window at the top left of the screen that drags the given files.
class DragSource : public g3test::OtherClient {
public:
    explicit DragSource(const std::vector<std::string>& files)
        : OtherClient(QStringLiteral(G3_XDND_SOURCE), argsOf(files)) {}
    // The action the drop target answered (Qt::DropAction); -1 when the drag never ended.
    int result() {
        const QStringList v = line(QStringLiteral("result")).split(' ');
        return v.size() == 2 ? v[1].toInt() : -1;
    }

private:
    static QStringList argsOf(const std::vector<std::string>& files) {
        QStringList args;
        for (const std::string& f : files) args << QString::fromStdString(f);
        return args;
    }
};

// The positions of the drag that reached a window, on the screen, and its drops.
struct DragMoves : QObject {
    QWindow* window;
    QList<QPoint> seen;
    int drops = 0;
    explicit DragMoves(QWindow* w) : window(w) { w->installEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o != window) return false;
        if (e->type() == QEvent::DragMove || e->type() == QEvent::DragEnter)
            seen << window->mapToGlobal(static_cast<QDragMoveEvent*>(e)->position().toPoint());
        if (e->type() == QEvent::Drop) ++drops;
        return false;
    }
};

// The drop menu as shown: where it stood, and the item it is answered with by its
// accelerator key.
struct ShownMenu : QObject {
    int shown = 0;
    QPoint at;
    Qt::Key key;
    explicit ShownMenu(Qt::Key k) : key(k) { qApp->installEventFilter(this); }
    ~ShownMenu() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override {
        auto* menu = qobject_cast<QMenu*>(o);
        if (e->type() == QEvent::Show && menu &&
            menu->objectName() == QLatin1String("PopupMenu3")) {
            ++shown;
            at = menu->pos();
            QPointer<QMenu> m = menu;
            QTimer::singleShot(0, menu, [m, this] {
                if (m) QTest::keyClick(m, key);
            });
        }
        return false;
    }
};

// A real drag of files from the other client to a point of a window: pressed on the
// source's window, moved onto the window in two steps and released there. Each step waits
// until the window has seen the pointer there: a position the source sends while it still
// waits for the target's answer to the last one, it drops. The source learns the target's
// answer (Qt::DropAction) before the target has the drop; this returns once the window
// has handled it. -1 when the drag went wrong.
int dragTo(const std::vector<std::string>& files, QWidget* window, QPoint screen) {
    DragSource source(files);
    const QRect from = source.window();
    if (from.isNull()) return -1;
    if (!moveTo(from.center()) || !xdotool({"mousedown", "1"})) return -1;
    if (source.line(QStringLiteral("dragging")).isEmpty()) return -1;
    DragMoves moves(window->windowHandle());
    for (QPoint p : {screen - QPoint(0, 6), screen})
        if (!moveTo(p) || !QTest::qWaitFor([&] { return moves.seen.contains(p); }, 10000))
            return -1;
    if (!xdotool({"mouseup", "1"})) return -1;
    const int answer = source.result();
    if (answer != Qt::IgnoreAction && !QTest::qWaitFor([&] { return moves.drops == 1; }, 10000))
        return -1;
    return answer;
}

std::string makeDir(const std::string& p) {
    ::mkdir(p.c_str(), 0755);
    return p;
}

// The main window, shown beside the source's window, with message boxes answered and the
// drop menu on the screen, where the pointer chooses from it.
struct ShownWindow {
    Boxes boxes;
    g3::ScreenMenuChooser menus;
    TForm1 form{g3::Services{boxes, menus, boxes, nullptr, {}}};
    ShownWindow() {
        form.move(200, 100);
        form.resize(700, 500);
        form.show();
    }
};

// The centre of the caption of the row shown as `caption`, on the screen.
QPoint rowOnScreen(TForm1& form, const QString& caption) {
    g3::TFileView* list = form.ShellListView1();
    const g3::FileListModel* m = list->model();
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->caption(r) == caption) {
            const QRect rect = list->itemView()->visualRect(m->index(r, 0));
            const QPoint caption(rect.left() + 30, rect.center().y());
            return list->itemView()->viewport()->mapToGlobal(caption);
        }
    return {};
}

} // namespace

class MeinDropsX11Test : public QObject {
    Q_OBJECT
    std::unique_ptr<Folders> folders_;

private slots:
    void initTestCase() {
        if (g3test::xvfbDisplay().isEmpty()) QSKIP("no X display (G3_XVFB_DISPLAY)");
        folders_ = std::make_unique<Folders>();
        g3test::useOwnDesktop(*folders_);
    }
    void cleanupTestCase() { g3::setMountInfoPathForTesting(""); }

    // The row under the pointer is the one the file goes into, and the menu opens at the
    // pointer, in the details style whose header stands above the rows.
    void dropOnAFolderRowGoesIntoThatFolder() {
        Folders& f = *folders_;
        const std::string src = makeDir(f.scratch("src"));
        const std::string dst = makeDir(f.scratch("dst"));
        for (const char* d : {"a", "b", "c"}) makeDir(g3::joinPath(dst, d));
        f.write(g3::joinPath(src, "x.txt"), "X");
        ShownWindow w;
        TForm1& form = w.form;
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.navigateTo(dst));
        form.setListStyle(4); // details
        const QPoint target = rowOnScreen(form, QStringLiteral("b"));
        QVERIFY(!target.isNull());

        ShownMenu menu(Qt::Key_A); // 建て増しnew(&A)
        QCOMPARE(dragTo({g3::joinPath(src, "x.txt")}, &form, target), int(Qt::CopyAction));
        QCOMPARE(menu.shown, 1);
        QCOMPARE(menu.at, target);
        QCOMPARE(form.CurDir(), g3::joinPath(dst, "b"));
        QCOMPARE(f.read(g3::joinPath(dst, "b/x.txt")), std::string("X"));
        for (const char* other : {"a/x.txt", "c/x.txt", "x.txt"})
            QVERIFY(!g3::pathExists(g3::joinPath(dst, other)));
    }

    // The desktop shows home, "/" and the volumes: a drop beside them has no folder to go
    // to and is refused while the drag lasts; a drop on the home row goes into home.
    void desktopTakesDropsOnlyOnItsFolders() {
        Folders& f = *folders_;
        const std::string src = makeDir(f.scratch("src2"));
        f.write(g3::joinPath(src, "y.txt"), "Y");
        ShownWindow w;
        TForm1& form = w.form;
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        g3::TFolderView* tree = form.ShellTreeView1();
        tree->selectNode(tree->rootNode());
        QCOMPARE(form.ShellListView1()->FolderIDList(), g3::desktopIDList());
        const std::string home = f.scratch("home");

        ShownMenu menu(Qt::Key_A);
        QWidget* vp = form.ShellListView1()->itemView()->viewport();
        const QPoint blank = vp->mapToGlobal(QPoint(vp->width() / 2, vp->height() - 10));
        QCOMPARE(dragTo({g3::joinPath(src, "y.txt")}, &form, blank), int(Qt::IgnoreAction));
        QCOMPARE(menu.shown, 0);
        QVERIFY(!g3::pathExists(g3::joinPath(home, "y.txt")));

        const QPoint homeRow = rowOnScreen(form, QStringLiteral("home"));
        QVERIFY(!homeRow.isNull());
        QCOMPARE(dragTo({g3::joinPath(src, "y.txt")}, &form, homeRow), int(Qt::CopyAction));
        QCOMPARE(menu.shown, 1);
        QCOMPARE(form.CurDir(), home);
        QCOMPARE(f.read(g3::joinPath(home, "y.txt")), std::string("Y"));
    }
};

int main(int argc, char** argv) { return g3test::runOnXvfb<MeinDropsX11Test>(argc, argv); }

#include "mein_drops_x11_qtest.moc"
