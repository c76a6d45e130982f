// Drops on the main window's list and tree, through the real views and the worker, with the
// drop menu answered by the test.
#include "app/mein.h"
#include "engine/copyworker.h"
#include "engine/dropmenu.h"
#include "engine/opkind.h"
#include "fscomp/DROPDST.h"
#include "fscomp/DirMontr.h"
#include "mein_fixture.h"
#include "platform/fileops.h"
#include "shellviews/FileView.h"
#include "shellviews/FolderView.h"
#include "shellviews/shellnamespace.h"

#include <QAbstractItemView>
#include <QMenu>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>

using g3::TForm1;
using g3test::Boxes;
using g3test::Folders;

namespace {

// Answers the drop menu with the item of the given name ("" for Escape) and counts menus.
// Answers the drop menu with the item of the given name ("" for Escape) and counts menus.
struct MenuAnswer {
    Boxes& services;
    int before;
    MenuAnswer(Boxes& s, QString name) : services(s), before(s.menusShown) { s.menuItem = std::move(name); }
    int shown() const { return services.menusShown - before; }
};

std::string makeDir(const Folders& f, const std::string& name) {
    const std::string p = f.scratch(name);
    ::mkdir(p.c_str(), 0755);
    return p;
}

// A point of the list's viewport in the list's own coordinates, as its drop target
// reports drops.
QPoint onList(TForm1& form, QPoint viewportPos) {
    g3::TFileView* list = form.ShellListView1();
    return list->itemView()->viewport()->mapTo(list, viewportPos);
}

// The centre of a row's caption.
QPoint rowPoint(TForm1& form, const std::string& name) {
    g3::TFileView* list = form.ShellListView1();
    const g3::FileListModel* m = list->model();
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->row(r).id.firstName() == name) {
            const QRect rect = list->itemView()->visualRect(m->index(r, 0));
            return onList(form, QPoint(rect.left() + 30, rect.center().y()));
        }
    return {};
}

// A shown window with a source folder holding a.txt and an empty destination folder.
struct Scene {
    Folders f;
    Boxes boxes;
    std::string src = makeDir(f, "src");
    std::string dst = makeDir(f, "dst");
    TForm1 form{boxes.services()};
    Scene() {
        f.write(g3::joinPath(src, "a.txt"), "A");
        form.resize(600, 400);
        form.show();
    }
    std::string a() const { return g3::joinPath(src, "a.txt"); }
};

// A point below every row: the blank area.
QPoint blankPoint(TForm1& form) {
    QWidget* vp = form.ShellListView1()->itemView()->viewport();
    return onList(form, QPoint(vp->width() / 2, vp->height() - 3));
}

} // namespace

class MeinDropsTest : public QObject {
    Q_OBJECT
private slots:
    void blankAreaCopiesIntoTheShownFolder() {
        Scene s;
        QVERIFY(s.form.navigateTo(s.dst));
        MenuAnswer menu(s.boxes, QStringLiteral("popMcopyFast"));
        const QPoint p = blankPoint(s.form);
        s.form.DropDst1FileDrop(nullptr, {s.a()}, p.x(), p.y());
        QCOMPARE(menu.shown(), 1);
        QCOMPARE(s.f.read(g3::joinPath(s.dst, "a.txt")), std::string("A"));
        QVERIFY(s.form.DirMonitor1()->Active()); // switched off for the run and on again
    }

    void folderRowOpensThatFolderFirst() {
        Folders f;
        Boxes boxes;
        const std::string src = makeDir(f, "src"), dst = makeDir(f, "dst");
        const std::string inner = makeDir(f, "dst/inner");
        f.write(g3::joinPath(dst, "file.txt"), "F");
        f.write(g3::joinPath(src, "b.txt"), "B");
        TForm1 form(boxes.services());
        form.resize(600, 400);
        form.show();
        QVERIFY(form.navigateTo(dst));
        MenuAnswer menu(boxes, QStringLiteral("popMcopyFast"));
        QPoint p = rowPoint(form, "inner");
        QVERIFY(!p.isNull());
        form.DropDst1FileDrop(nullptr, {g3::joinPath(src, "b.txt")}, p.x(), p.y());
        QCOMPARE(form.CurDir(), inner);
        QVERIFY(g3::fileSizeOf(g3::joinPath(inner, "b.txt")) == 1);

        // A file row targets the folder the list shows.
        QVERIFY(form.navigateTo(dst));
        p = rowPoint(form, "file.txt");
        form.DropDst1FileDrop(nullptr, {g3::joinPath(src, "b.txt")}, p.x(), p.y());
        QCOMPARE(form.CurDir(), dst);
        QVERIFY(g3::fileSizeOf(g3::joinPath(dst, "b.txt")) == 1);
    }

    void cancelAndEscapeTouchNothing() {
        Scene s;
        QVERIFY(s.form.navigateTo(s.dst));
        for (const char* item : {"popMcancel", ""}) {
            MenuAnswer menu(s.boxes, QString::fromLatin1(item));
            const QPoint p = blankPoint(s.form);
            s.form.DropDst1FileDrop(nullptr, {s.a()}, p.x(), p.y());
            QCOMPARE(menu.shown(), 1);
            QCOMPARE(s.form.copyEngine()->OpKind, static_cast<int>(g3::okNone));
            QVERIFY(g3::fileSizeOf(g3::joinPath(s.dst, "a.txt")) < 0);
        }
        // An empty list shows no menu at all.
        MenuAnswer menu(s.boxes, QStringLiteral("popMcopyFast"));
        s.form.DropDst1FileDrop(nullptr, {}, 5, 5);
        QCOMPARE(menu.shown(), 0);
    }

    void treeDropBesideANodeIsIgnored() {
        Scene s;
        TForm1& form = s.form;
        QVERIFY(form.navigateTo(s.dst));
        g3::TFolderView* tree = form.ShellTreeView1();
        const QModelIndex node = tree->currentIndex();
        QVERIFY(node.isValid());
        const QRect r = tree->visualRect(node);
        MenuAnswer menu(s.boxes, QStringLiteral("popMcopyFast"));
        // Far right of the row, beyond the label: nothing happens.
        const int besideX = tree->viewport()->width() - 2;
        QVERIFY(!form.foldaIcoLabHit(besideX, r.center().y()));
        form.DropDst2FileDrop(nullptr, {s.a()}, besideX, r.center().y());
        QCOMPARE(menu.shown(), 0);
        QCOMPARE(form.CurDir(), s.dst);
    }

    void treeDropOnANodeSelectsItEvenWhenCancelled() {
        Scene sc;
        TForm1& form = sc.form;
        const std::string& src = sc.src;
        const std::string& dst = sc.dst;
        QVERIFY(form.navigateTo(dst));
        QVERIFY(form.navigateTo(src));
        g3::TFolderView* tree = form.ShellTreeView1();
        // The dst node is a sibling of the selected src node.
        const QModelIndex srcNode = tree->currentIndex();
        QModelIndex dstNode;
        for (int i = 0; i < tree->model()->rowCount(srcNode.parent()); ++i) {
            const QModelIndex s = tree->model()->index(i, 0, srcNode.parent());
            if (s.data().toString() == QStringLiteral("dst")) dstNode = s;
        }
        QVERIFY(dstNode.isValid());
        const QRect r = tree->visualRect(dstNode);
        const QPoint p(r.left() + 25, r.center().y());
        QVERIFY(form.foldaIcoLabHit(p.x(), p.y()));
        {
            MenuAnswer menu(sc.boxes, QStringLiteral(""));
            form.DropDst2FileDrop(nullptr, {g3::joinPath(src, "a.txt")}, p.x(), p.y());
            QCOMPARE(menu.shown(), 1);
            QCOMPARE(form.CurDir(), dst);
            QVERIFY(g3::fileSizeOf(g3::joinPath(dst, "a.txt")) < 0);
        }
        MenuAnswer menu(sc.boxes, QStringLiteral("popMcopyFast"));
        form.DropDst2FileDrop(nullptr, {g3::joinPath(src, "a.txt")}, p.x(), p.y());
        QVERIFY(g3::fileSizeOf(g3::joinPath(dst, "a.txt")) == 1);
    }

    // The desktop root shows home, "/" and the volumes and stands for no folder: beside its
    // rows, and on its node in the tree, a drop is refused (the drag shows it) and ignored.
    void desktopRootIsNoDestination() {
        Scene s;
        TForm1& form = s.form;
        g3::TFolderView* tree = form.ShellTreeView1();
        const QModelIndex root = tree->rootNode();
        tree->selectNode(root);
        QCOMPARE(form.ShellListView1()->FolderIDList(), g3::desktopIDList());
        const std::string desktopPath = form.CurDir();
        MenuAnswer menu(s.boxes, QStringLiteral("popMcopyFast"));
        const QPoint blank = blankPoint(form);
        QVERIFY(!form.DropDst1()->OnDragOver(nullptr, blank.x(), blank.y()));
        form.DropDst1FileDrop(nullptr, {s.a()}, blank.x(), blank.y());
        const QRect r = tree->visualRect(root);
        const QPoint onRoot(r.left() + 25, r.center().y());
        QVERIFY(form.foldaIcoLabHit(onRoot.x(), onRoot.y()));
        QVERIFY(!form.DropDst2()->OnDragOver(nullptr, onRoot.x(), onRoot.y()));
        form.DropDst2FileDrop(nullptr, {s.a()}, onRoot.x(), onRoot.y());
        QCOMPARE(menu.shown(), 0);
        QVERIFY(!g3::pathExists(g3::joinPath(desktopPath, "a.txt")));

        // Its folder rows take drops; so does any folder's blank area, and a child node.
        const QPoint slash = rowPoint(form, "/");
        QVERIFY(!slash.isNull());
        QVERIFY(form.DropDst1()->OnDragOver(nullptr, slash.x(), slash.y()));
        QVERIFY(form.navigateTo(s.dst));
        QVERIFY(form.DropDst1()->OnDragOver(nullptr, blank.x(), blank.y()));
        const QRect n = tree->visualRect(tree->currentIndex());
        QVERIFY(form.DropDst2()->OnDragOver(nullptr, n.left() + 25, n.center().y()));
    }

    void folderIntoItselfIsRefusedBeforeAnythingIsTouched() {
        Folders f;
        Boxes boxes;
        const std::string src = makeDir(f, "src");
        const std::string sub = makeDir(f, "src/sub");
        f.write(g3::joinPath(src, "a.txt"), "A");
        TForm1 form(boxes.services());
        form.show();
        QVERIFY(form.navigateTo(sub));
        MenuAnswer menu(boxes, QStringLiteral("popMcopyFast"));
        const QPoint p = blankPoint(form);
        form.DropDst1FileDrop(nullptr, {src}, p.x(), p.y());
        QVERIFY(g3::fileSizeOf(g3::joinPath(sub, "src")) < 0 && !g3::isFolder(g3::joinPath(sub, "src")));
        QCOMPARE(boxes.seen.size(), std::size_t(1)); // the refusal names both folders
        QVERIFY(boxes.seen[0].text.contains(QString::fromStdString(src)));
    }
};

QTEST_MAIN(MeinDropsTest)
#include "mein_drops_qtest.moc"
