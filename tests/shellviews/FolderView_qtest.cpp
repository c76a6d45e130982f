#include "shellviews/FolderView.h"

#include "shellviews/FileView.h"

#include "shellviews/shelltemp.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace g3;
using g3test::writeFile;
using g3test::makeFolders;

namespace {

ItemIDList parsed(const std::string& path) { return g3test::parsedPath(path); }

class RecordingMenu : public TContextMenuEx {
public:
    struct Call {
        std::string folder;
        int count;
        ItemIDList joined;
    };
    std::vector<Call> calls;
    bool ShowContextMenu(QWidget*, const ShellFolderPtr& folder, const QPoint&, int count,
                         const ItemIDList& joined) override {
        calls.push_back({folder->pathOf(ItemIDList::empty()), count, joined});
        return false;
    }
};

class RecordingDrag : public TDropSourceEx {
public:
    std::vector<RecordingMenu::Call> calls;
    void StartDrag(QWidget*, const ShellFolderPtr& folder, int count, const ItemIDList& joined) override {
        calls.push_back({folder->pathOf(ItemIDList::empty()), count, joined});
    }
};

void sendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
               QPoint pos) {
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

QLineEdit* openEditor(QWidget& tree) {
    for (QLineEdit* e : tree.findChildren<QLineEdit*>())
        if (e->isVisible()) return e;
    return nullptr;
}

// A right press at p and its release at p + moved.
void rightClick(QWidget* w, QPoint p, QPoint moved = {}) {
    sendMouse(w, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, p);
    sendMouse(w, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, p + moved);
}

// The middle of a node's label.
QPoint labelPoint(TFolderView& tree, const QModelIndex& i) {
    QRect r = tree.visualRect(i);
    return QPoint(r.left() + 16 + 12, r.center().y());
}

} // namespace

class FolderViewTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<g3test::TempDir> tmp_;
    std::string t_; // the temporary folder's path

    std::string at(const std::string& rel) const { return t_ + "/" + rel; }
    QModelIndex nodeOf(TFolderView& tree, const std::string& path) {
        return tree.FindIDList(parsed(path));
    }
    QStringList childTexts(TFolderView& tree, const QModelIndex& node) {
        QStringList out;
        for (int r = 0; r < tree.model()->rowCount(node); ++r)
            out << tree.model()->index(r, 0, node).data().toString();
        return out;
    }
    std::unique_ptr<TFolderView> shownTree() {
        auto tree = std::make_unique<TFolderView>();
        tree->resize(400, 600);
        tree->BuildTree();
        tree->show();
        if (!QTest::qWaitForWindowExposed(tree.get())) qWarning("tree not exposed");
        return tree;
    }

private slots:
    void initTestCase() {
        tmp_ = std::make_unique<g3test::TempDir>();
        t_ = tmp_->path();
        // The desktop of these tests: a home folder of our own and no volumes.
        makeFolders(at("home/Desktop"));
        setenv("HOME", at("home").c_str(), 1);
        setenv("XDG_DESKTOP_DIR", at("home/Desktop").c_str(), 1);
        writeFile(at("mountinfo"), "");
        setMountInfoPathForTesting(at("mountinfo"));
    }
    void cleanupTestCase() {
        setMountInfoPathForTesting("");
        tmp_.reset();
    }

    void buildTreeShowsTheDesktop() {
        TFolderView tree;
        QAbstractItemModelTester tester(tree.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changes(&tree, &TFolderView::OnChange);
        tree.BuildTree();
        QModelIndex root = tree.rootNode();
        QCOMPARE(root.data().toString(), QString("デスクトップ"));
        QCOMPARE(tree.CurrentNode(), root);
        QCOMPARE(changes.count(), 1);
        QVERIFY(tree.isExpanded(root));
        QCOMPARE(childTexts(tree, root), QStringList({"home", "/"}));
        QCOMPARE(tree.GetSelectedIDList(), desktopIDList());
        QCOMPARE(tree.GetSelectedPath(), at("home/Desktop"));
        // Children of the children wait for their first expansion.
        QCOMPARE(tree.model()->rowCount(tree.model()->index(1, 0, root)), 0);
        QVERIFY(tree.model()->hasChildren(tree.model()->index(1, 0, root)));
        QVERIFY(!tree.Filling());
    }

    void selectPathWalksDownAndMakesChildrenInOrder() {
        makeFolders(at("order/file10"));
        makeFolders(at("order/file2"));
        makeFolders(at("order/Beta"));
        makeFolders(at("order/alpha"));
        writeFile(at("order/afile"));
        TFolderView tree;
        QAbstractItemModelTester tester(tree.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        tree.BuildTree();
        QVERIFY(tree.SelectPath(at("order/file2")));
        QCOMPARE(tree.GetSelectedPath(), at("order/file2"));
        QModelIndex order = tree.CurrentNode().parent();
        // Folders only, the folder's own order.
        QCOMPARE(childTexts(tree, order), QStringList({"alpha", "Beta", "file2", "file10"}));
        QCOMPARE(tree.GetNodeIDList(tree.CurrentNode()), parsed(at("order/file2")));

        // A path that is parsed but not found (a file) leaves no selection; one that
        // cannot be parsed changes nothing.
        QVERIFY(tree.SelectPath(at("order/afile")));
        QVERIFY(!tree.currentIndex().isValid());
        QVERIFY(tree.GetSelectedIDList().isNull());
        QCOMPARE(tree.GetSelectedPath(), std::string());
        QVERIFY(tree.SelectPath(at("order/alpha")));
        QVERIFY(!tree.SelectPath(at("order/missing")));
        QVERIFY(!tree.SelectPath("relative"));
        QCOMPARE(tree.GetSelectedPath(), at("order/alpha"));
    }

    void hiddenSubfoldersAreShown() {
        makeFolders(at("hid/only/.a"));
        makeFolders(at("hid/only/.b"));
        auto tree = shownTree();
        QVERIFY(tree->SelectPath(at("hid/only")));
        QModelIndex only = tree->CurrentNode();
        QVERIFY(tree->model()->hasChildren(only));
        tree->expand(only); // as a click on the button does
        QCOMPARE(childTexts(*tree, only), QStringList({".a", ".b"}));
    }

    void expandingWithoutSubfoldersRemovesTheButton() {
        makeFolders(at("nosub/x/gone"));
        writeFile(at("nosub/x/file"));
        auto tree = shownTree();
        QVERIFY(tree->SelectPath(at("nosub")));
        QModelIndex nosub = tree->CurrentNode();
        tree->expand(nosub);
        QModelIndex x = tree->model()->index(0, 0, nosub);
        QCOMPARE(x.data().toString(), QString("x"));
        QVERIFY(tree->model()->hasChildren(x)); // it had a subfolder when it was made
        QCOMPARE(rmdir(at("nosub/x/gone").c_str()), 0);
        tree->expand(x);
        QCOMPARE(tree->model()->rowCount(x), 0);
        QVERIFY(!tree->model()->hasChildren(x));
        QVERIFY(!tree->nodeHasChildren(x));
    }

    void pathsLongerThanTheKernelLimit() {
        makeFolders(at("deep"));
        std::string deep = g3test::makeDeepFolder(at("deep"), 4200);
        QVERIFY(deep.size() > 4096);
        ItemIDList abs = parsed(deep);
        QVERIFY(!abs.isNull());
        TFolderView tree;
        tree.BuildTree();
        tree.SelectIDList(abs);
        QCOMPARE(tree.GetSelectedPath(), deep);
        QCOMPARE(tree.GetSelectedIDList(), abs);

        tree.SelectIDList(ParentIDList(abs));
        QCOMPARE(tree.GetSelectedIDList(), ParentIDList(abs));
        tree.SelectChild(LastIDOf(abs));
        QCOMPARE(tree.GetSelectedPath(), deep);
        tree.SelectPath(at("deep"));
        QVERIFY(tree.SelectPath(deep));
        QCOMPARE(tree.GetSelectedPath(), deep);
    }

    void selectChildOfTheSelection() {
        makeFolders(at("kids/one"));
        TFolderView tree;
        tree.BuildTree();
        tree.SelectPath(at("kids"));
        tree.SelectChild(ItemIDList::makeID(kIdFolder, "one"));
        QCOMPARE(tree.GetSelectedPath(), at("kids/one"));
        tree.SelectChild(ItemIDList::makeID(kIdFolder, "none"));
        QVERIFY(!tree.currentIndex().isValid());
    }

    void rebuildWithTheDesktop() {
        makeFolders(at("rb/a/b"));
        TFolderView tree;
        tree.BuildTree();
        tree.SelectPath(at("rb/a/b"));
        QSignalSpy changes(&tree, &TFolderView::OnChange);
        tree.RebuildTree(desktopIDList());
        QModelIndex root = tree.rootNode();
        QCOMPARE(tree.CurrentNode(), root);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(childTexts(tree, root), QStringList({"home", "/"}));
        // The folders opened on the way stay open; the others wait for an expansion.
        QVERIFY(tree.isExpanded(nodeOf(tree, at("rb/a"))));
        QVERIFY(!tree.isExpanded(nodeOf(tree, at("rb/a/b"))));
        QModelIndex home = tree.model()->index(0, 0, root);
        QCOMPARE(tree.model()->rowCount(home), 0);
    }

    // A rebuild keeps the folders that were open (a removed one goes, a collapsed one stays
    // collapsed), selects the folder again and keeps the first node in sight, also when a
    // folder came above it.
    void rebuildKeepsExpandedNodesSelectionAndScroll() {
        makeFolders(at("rd/a/b/c"));
        makeFolders(at("rd/other/x"));
        makeFolders(at("rd/gone/y"));
        for (int i = 0; i < 40; ++i) makeFolders(at("rd/many/m" + std::to_string(10 + i)));
        auto tree = shownTree();
        QAbstractItemModelTester tester(tree->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const char* p : {"rd/other/x", "rd/gone/y", "rd/many/m10", "rd/a/b/c"}) tree->SelectPath(at(p));
        tree->collapse(nodeOf(*tree, at("rd/other")));
        tree->scrollTo(nodeOf(*tree, at("rd/many/m30")), QAbstractItemView::PositionAtTop);
        const ItemIDList top = tree->GetNodeIDList(tree->indexAt(QPoint(1, 1)));
        QVERIFY(tree->indexAt(QPoint(1, 1)).parent() == nodeOf(*tree, at("rd/many")));
        makeFolders(at("rd/aa"));
        std::filesystem::remove_all(at("rd/gone"));
        QSignalSpy changes(tree.get(), &TFolderView::OnChange);
        tree->RebuildTree(tree->GetSelectedIDList());
        QCOMPARE(tree->GetSelectedPath(), at("rd/a/b/c"));
        QCOMPARE(changes.count(), 2); // the desktop first, then the folder again
        QCOMPARE(tree->PreviousNode(), tree->rootNode());
        for (const char* p : {"rd", "rd/a", "rd/a/b", "rd/many"}) QVERIFY2(tree->isExpanded(nodeOf(*tree, at(p))), p);
        QVERIFY(!tree->isExpanded(nodeOf(*tree, at("rd/other"))));
        QCOMPARE(childTexts(*tree, nodeOf(*tree, at("rd"))), QStringList({"a", "aa", "many", "other"}));
        QCOMPARE(tree->GetNodeIDList(tree->indexAt(QPoint(1, 1))), top);
        QModelIndex home = tree->model()->index(0, 0, tree->rootNode());
        QCOMPARE(tree->model()->rowCount(home), 0);
    }

    void renamingTheRootIsRefused() {
        auto tree = shownTree();
        QModelIndex root = tree->rootNode();
        QVERIFY(!(tree->model()->flags(root) & Qt::ItemIsEditable));
        tree->edit(root);
        QVERIFY(!openEditor(*tree));
        QModelIndex home = tree->model()->index(0, 0, root);
        QVERIFY(tree->model()->flags(home) & Qt::ItemIsEditable);
        tree->setReadOnly(true);
        QVERIFY(!(tree->model()->flags(home) & Qt::ItemIsEditable));
    }

    void renamingANode() {
        makeFolders(at("ren/old/inner"));
        makeFolders(at("ren/taken"));
        makeFolders(at("ren/odd\xff"));
        auto tree = shownTree();
        QVERIFY(tree->SelectPath(at("ren/old/inner")));
        QModelIndex inner = tree->CurrentNode();
        QModelIndex old = inner.parent();
        tree->edit(old);
        QLineEdit* editor = openEditor(*tree);
        QVERIFY(editor);
        QCOMPARE(editor->text(), QString("old"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_VERIFY(!openEditor(*tree));
        QCOMPARE(old.data().toString(), QString("old"));

        // What the editor's commit does.
        QVERIFY(tree->model()->setData(old, QString("new"), Qt::EditRole));
        QCOMPARE(old.data().toString(), QString("new"));
        QCOMPARE(access(at("ren/new/inner").c_str(), F_OK), 0);
        QCOMPARE(tree->nodeID(old), ItemIDList::makeID(kIdFolder, "new"));
        QCOMPARE(tree->GetSelectedPath(), at("ren/new/inner")); // the child follows

        for (QString refused : {QString("taken"), QString(""), QString("a/b")}) {
            tree->model()->setData(old, refused, Qt::EditRole);
            QCOMPARE(old.data().toString(), QString("new"));
        }
        QCOMPARE(access(at("ren/new").c_str(), F_OK), 0);
        QCOMPARE(access(at("ren/taken").c_str(), F_OK), 0);

        // A name that is not UTF-8 keeps its bytes wherever its text was not edited.
        QVERIFY(tree->SelectPath(at("ren/odd\xff")));
        const QModelIndex odd = tree->CurrentNode();
        const QString shown = odd.data().toString();
        QCOMPARE(shown, QString::fromUtf8("odd\uFFFD"));
        tree->model()->setData(odd, shown, Qt::EditRole);
        QCOMPARE(access(at("ren/odd\xff").c_str(), F_OK), 0);
        tree->model()->setData(odd, shown + "2", Qt::EditRole);
        QCOMPARE(access(at("ren/odd\xff" "2").c_str(), F_OK), 0);
        QCOMPARE(tree->GetSelectedPath(), at("ren/odd\xff" "2"));
    }

    void renameChildFollowsTheList() {
        makeFolders(at("rc/before"));
        TFolderView tree;
        tree.BuildTree();
        tree.SelectPath(at("rc/before"));
        tree.SelectPath(at("rc"));
        QCOMPARE(rename(at("rc/before").c_str(), at("rc/after").c_str()), 0);
        tree.RenameChild(ItemIDList::makeID(kIdFolder, "before"), ItemIDList::makeID(kIdFolder, "after"));
        QModelIndex child = tree.model()->index(0, 0, tree.CurrentNode());
        QCOMPARE(child.data().toString(), QString("after"));
        tree.selectNode(child);
        QCOMPARE(tree.GetSelectedPath(), at("rc/after"));
    }

    void rightClickSelectsTheNodeUnderThePointer() {
        makeFolders(at("rclick/a"));
        makeFolders(at("rclick/b"));
        auto tree = shownTree();
        tree->SelectPath(at("rclick/a"));
        QModelIndex b = tree->CurrentNode().sibling(1, 0);
        QCOMPARE(b.data().toString(), QString("b"));
        QPoint onB = labelPoint(*tree, b);
        QCOMPARE(tree->nodeAtIconOrLabel(onB), QModelIndex(b));
        rightClick(tree->viewport(), onB);
        QCOMPARE(tree->CurrentNode(), QModelIndex(b));

        // Right of the label and below the last node: nothing new is selected.
        QPoint pastLabel(tree->viewport()->width() - 5, onB.y());
        QVERIFY(!tree->nodeAtIconOrLabel(pastLabel).isValid());
        QPoint below(20, tree->viewport()->height() - 5);
        tree->selectNode(b.sibling(0, 0));
        for (QPoint p : {pastLabel, below}) {
            rightClick(tree->viewport(), p);
            QCOMPARE(tree->CurrentNode(), b.sibling(0, 0));
        }
    }

    void contextMenuForOneNodeNeverTheRoot() {
        makeFolders(at("menu/n"));
        auto tree = shownTree();
        RecordingMenu menu;
        tree->setContextMenu(&menu);
        QVERIFY(tree->RightClickSelect());
        tree->SelectPath(at("menu/n"));
        QModelIndex n = tree->CurrentNode();
        QPoint p = labelPoint(*tree, n);
        rightClick(tree->viewport(), p, QPoint(3, 2));
        QCOMPARE(menu.calls.size(), std::size_t(1));
        QCOMPARE(menu.calls[0].count, 1);
        QCOMPARE(menu.calls[0].joined, ItemIDList::makeID(kIdFolder, "n"));
        QCOMPARE(menu.calls[0].folder, at("menu"));

        // Moved too far: no menu. The root: no menu.
        rightClick(tree->viewport(), p, QPoint(0, 9));
        QPoint onRoot = labelPoint(*tree, tree->rootNode());
        rightClick(tree->viewport(), onRoot);
        QCOMPARE(tree->CurrentNode(), tree->rootNode());
        QCOMPARE(menu.calls.size(), std::size_t(1));

        // The component going away clears the reference.
        tree->setContextMenu(nullptr);
        {
            RecordingMenu gone;
            tree->setContextMenu(&gone);
        }
        rightClick(tree->viewport(), p);
    }

    // The menu key and Shift+F10 open the selected node's menu; the root has none.
    void menuKeysOpenTheNodesMenu() {
        makeFolders(at("keys/k"));
        auto tree = shownTree();
        RecordingMenu menu;
        tree->setContextMenu(&menu);
        tree->SelectPath(at("keys/k"));
        QTest::keyClick(tree.get(), Qt::Key_Menu);
        QTest::keyClick(tree.get(), Qt::Key_F10, Qt::ShiftModifier);
        QTest::keyClick(tree.get(), Qt::Key_F10);
        QCOMPARE(menu.calls.size(), std::size_t(2));
        QCOMPARE(menu.calls[1].joined, ItemIDList::makeID(kIdFolder, "k"));
        QCOMPARE(menu.calls[1].folder, at("keys"));
        tree->selectNode(tree->rootNode());
        QTest::keyClick(tree.get(), Qt::Key_Menu);
        QCOMPARE(menu.calls.size(), std::size_t(2));
    }

    void draggingANodeButNeverTheRoot() {
        makeFolders(at("drag/n"));
        auto tree = shownTree();
        RecordingDrag drag;
        tree->setDropSource(&drag);
        QPoint onRoot = labelPoint(*tree, tree->rootNode());
        sendMouse(tree->viewport(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, onRoot);
        sendMouse(tree->viewport(), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, onRoot + QPoint(30, 30));
        sendMouse(tree->viewport(), QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, onRoot + QPoint(30, 30));
        QVERIFY(drag.calls.empty());
        QCOMPARE(tree->CurrentNode(), tree->rootNode());

        tree->SelectPath(at("drag/n"));
        QModelIndex n = tree->CurrentNode();
        QPoint p = labelPoint(*tree, n);
        sendMouse(tree->viewport(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, p);
        sendMouse(tree->viewport(), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, p + QPoint(0, 4));
        QVERIFY(drag.calls.empty()); // within the threshold
        sendMouse(tree->viewport(), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, p + QPoint(0, 40));
        sendMouse(tree->viewport(), QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, p + QPoint(0, 40));
        QCOMPARE(drag.calls.size(), std::size_t(1));
        QCOMPARE(drag.calls[0].count, 1);
        QCOMPARE(drag.calls[0].joined, ItemIDList::makeID(kIdFolder, "n"));
        QCOMPARE(drag.calls[0].folder, at("drag"));
        QCOMPARE(tree->CurrentNode(), n); // the pressed node, not the one under the pointer
    }

    void expandingAFolderThatCannotBeListed() {
        makeFolders(at("gone/keep"));
        makeFolders(at("gone/v/sub"));
        auto tree = shownTree();
        tree->SelectPath(at("gone/keep"));
        QModelIndex keep = tree->CurrentNode();
        QModelIndex v = keep.sibling(1, 0);
        QCOMPARE(v.data().toString(), QString("v"));
        QCOMPARE(std::system(("rm -rf '" + at("gone/v") + "'").c_str()), 0);
        QSignalSpy changes(tree.get(), &TFolderView::OnChange);
        tree->expand(v);
        QCOMPARE(tree->CurrentNode(), keep);
        QCOMPARE(tree->model()->rowCount(v), 0);
        QVERIFY(tree->nodeHasChildren(v)); // it keeps its children state
        QTRY_VERIFY(!tree->isExpanded(v));
    }

    void asteriskDoesNotExpandTheWholeFileSystem() {
        auto tree = shownTree();
        QModelIndex slash = tree->model()->index(1, 0, tree->rootNode());
        tree->selectNode(slash);
        QTest::keyClick(tree.get(), Qt::Key_Asterisk);
        QCoreApplication::processEvents();
        QVERIFY(!tree->isExpanded(slash));
        QCOMPARE(tree->model()->rowCount(slash), 0);
    }

    void linkWithTheListIsTwoSided() {
        TFolderView tree;
        auto view = std::make_unique<TFileView>();
        tree.setFileView(view.get());
        QCOMPARE(view->LinkedTree(), &tree);
        QCOMPARE(tree.FileView(), view.get());
        tree.setFileView(nullptr);
        QVERIFY(!view->LinkedTree());
        tree.setFileView(view.get());
        view.reset();
        QVERIFY(!tree.FileView());

        TFileView other;
        {
            TFolderView gone;
            gone.setFileView(&other);
        }
        QVERIFY(!other.LinkedTree());
    }

    void onChangeRunsBeforeTheListIsShown() {
        makeFolders(at("oc/a"));
        writeFile(at("oc/a/f"));
        TFolderView tree;
        TFileView view;
        tree.setFileView(&view);
        tree.BuildTree();
        QCOMPARE(view.FolderIDList(), desktopIDList());
        std::vector<ItemIDList> seen;
        connect(&tree, &TFolderView::OnChange, &tree, [&] { seen.push_back(view.FolderIDList()); });
        tree.SelectPath(at("oc/a"));
        QCOMPARE(seen.size(), std::size_t(1));
        QCOMPARE(seen[0], desktopIDList()); // the list still showed the desktop
        QCOMPARE(view.FolderIDList(), parsed(at("oc/a")));
        QCOMPARE(view.model()->rowCount(), 1);

        // A rebuild passes the desktop and comes back to the folder; the list is shown only
        // where it ends, once.
        seen.clear();
        QSignalSpy fills(view.model(), &QAbstractItemModel::modelReset);
        tree.RebuildTree(tree.GetSelectedIDList());
        QCOMPARE(seen.size(), std::size_t(2));
        QCOMPARE(seen[1], parsed(at("oc/a")));
        QCOMPARE(view.FolderIDList(), parsed(at("oc/a")));
        QCOMPARE(fills.size(), 1);

        // Renaming the folder the list shows shows it under its new name.
        QVERIFY(tree.model()->setData(tree.CurrentNode(), QString("b"), Qt::EditRole));
        QCOMPARE(view.FolderIDList(), parsed(at("oc/b")));
        QCOMPARE(view.model()->rowCount(), 1);
    }

    void unreadableFolderSendsTheSelectionBackOnce() {
        if (geteuid() == 0) QSKIP("root reads every folder");
        makeFolders(at("ur/a"));
        makeFolders(at("ur/b"));
        makeFolders(at("ur/c"));
        TFolderView tree;
        TFileView view;
        tree.setFileView(&view);
        tree.BuildTree();
        tree.SelectPath(at("ur/a"));
        QModelIndex a = tree.CurrentNode();
        chmod(at("ur/b").c_str(), 0);
        tree.selectNode(a.sibling(1, 0));
        QCOMPARE(tree.CurrentNode(), a);
        QCOMPARE(view.FolderIDList(), parsed(at("ur/a")));

        // The previous folder cannot be listed either: one step back, no more.
        chmod(at("ur/a").c_str(), 0);
        QSignalSpy changes(&tree, &TFolderView::OnChange);
        tree.selectNode(a.sibling(1, 0));
        QCOMPARE(changes.count(), 2);
        QCOMPARE(tree.CurrentNode(), a);
        chmod(at("ur/a").c_str(), 0755);
        tree.selectNode(a.sibling(2, 0));
        QCOMPARE(tree.CurrentNode(), a.sibling(2, 0));
        QCOMPARE(view.FolderIDList(), parsed(at("ur/c")));
        chmod(at("ur/a").c_str(), 0755);
        chmod(at("ur/b").c_str(), 0755);
    }

    void changeRecordsCurrentAndPrevious() {
        makeFolders(at("cp/x"));
        TFolderView tree;
        tree.BuildTree();
        QModelIndex root = tree.rootNode();
        tree.SelectPath(at("cp"));
        QModelIndex cp = tree.CurrentNode();
        QCOMPARE(tree.PreviousNode(), root);
        tree.SelectPath(at("cp/x"));
        QCOMPARE(tree.PreviousNode(), cp);
        tree.selectPreviousNode();
        QCOMPARE(tree.CurrentNode(), cp);
    }
};

QTEST_MAIN(FolderViewTest)
#include "FolderView_qtest.moc"
