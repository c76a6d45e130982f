#include "shellviews/FileView.h"
#include "support/testservices.h"

#include "platform/paths.h"
#include "platform/shelllink.h"

#include "ui/msgbox.h"
#include "shellviews/FolderView.h"
#include "shellviews/shellexec.h"
#include "shellviews/shelltemp.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace g3;
using g3test::writeFile;
using g3test::makeFolders;

Q_DECLARE_METATYPE(g3::TViewStyle)

namespace {

ItemIDList parsed(const std::string& path) { return g3test::parsedPath(path); }

struct Call {
    int count;
    std::vector<std::string> names; // the joined IDs' names in their order
};

std::vector<std::string> namesOf(const ShellFolderPtr& folder, const ItemIDList& joined) {
    std::vector<std::string> out;
    for (const ItemIDList& id : SplitIDList(joined)) {
        std::string s;
        folder->GetDisplayNameOf(id, SHGDN_INFOLDER, s);
        out.push_back(s);
    }
    return out;
}

class RecordingMenu : public TContextMenuEx {
public:
    std::vector<Call> calls;
    bool ShowContextMenu(QWidget*, const ShellFolderPtr& folder, const QPoint&, int count,
                         const ItemIDList& joined) override {
        calls.push_back({count, namesOf(folder, joined)});
        return false;
    }
};

class RecordingDrag : public TDropSourceEx {
public:
    std::vector<Call> calls;
    void StartDrag(QWidget*, const ShellFolderPtr& folder, int count, const ItemIDList& joined) override {
        calls.push_back({count, namesOf(folder, joined)});
    }
};

void sendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos) {
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

std::vector<std::string> captions(const TFileView& v) {
    std::vector<std::string> out;
    for (int r = 0; r < v.model()->rowCount(); ++r) out.push_back(v.model()->caption(r).toStdString());
    return out;
}

int rowOf(const TFileView& v, const std::string& caption) {
    for (int r = 0; r < v.model()->rowCount(); ++r)
        if (v.model()->caption(r).toStdString() == caption) return r;
    return -1;
}

void selectRows(TFileView& v, std::initializer_list<int> rows) {
    QItemSelectionModel* s = v.itemView()->selectionModel();
    s->clearSelection();
    for (int r : rows)
        s->select(v.model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QPoint rowPoint(TFileView& v, int row) {
    QRect r = v.itemView()->visualRect(v.model()->index(row, 0));
    return QPoint(r.left() + 30, r.center().y());
}

QLineEdit* openEditor(TFileView& v) {
    for (QLineEdit* e : v.itemView()->findChildren<QLineEdit*>())
        if (e->isVisible()) return e;
    return nullptr;
}

QHeaderView* header(TFileView& v) { return static_cast<QTableView*>(v.itemView())->horizontalHeader(); }

void clickHeader(TFileView& v, int column) {
    QHeaderView* h = header(v);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(column) + 5, h->height() / 2));
}

// A folder with files of three sizes and a subfolder.
struct SizedFolder {
    g3test::TempDir t;
    SizedFolder() {
        makeFolders(t / "dir");
        writeFile(t / "one", "1");
        writeFile(t / "three", "333");
        writeFile(t / "two", "22");
    }
};

// Thirty files "f00" .. "f29" shown in a list too short for them, linked to a tree.
struct LongList {
    g3test::TempDir t;
    TFolderView tree;
    TFileView v;
    LongList() {
        for (int i = 0; i < 30; ++i) writeFile(t / QStringLiteral("f%1").arg(i, 2, 10, QChar('0')).toStdString());
        tree.setFileView(&v);
        tree.BuildTree();
        v.resize(500, 200);
        v.show();
        tree.SelectPath(t.path());
    }
    QPoint cell(int row, int column) {
        const QRect r = v.itemView()->visualRect(v.model()->index(row, column));
        return QPoint(r.left() + 10, r.center().y());
    }
    std::string nameOf(const QModelIndex& i) const { return v.model()->caption(i.row()).toStdString(); }
    std::vector<std::string> selectedNames() const {
        std::vector<std::string> out;
        for (int r : v.selectedRows()) out.push_back(v.model()->caption(r).toStdString());
        return out;
    }
    std::string topName() const { return nameOf(v.itemView()->indexAt(QPoint(1, 1))); }
};

// The sized folder shown in a list on the screen.
struct ShownList {
    SizedFolder f;
    TFileView v;
    ShownList() {
        v.resize(500, 300);
        v.show();
        v.ShowFolder(parsed(f.t.path()));
    }
};

// A list linked with a tree, both on the screen, boxes and openings going to services.
struct ListWithTree {
    TFolderView tree;
    TFileView v;
    explicit ListWithTree(g3test::TestServices& services) {
        v.setMessageBoxes(&services);
        v.setOpener(&services);
        tree.setFileView(&v);
        tree.BuildTree();
        tree.show();
        v.resize(500, 300);
        v.show();
    }
};

} // namespace

class FileViewTest : public QObject {
    Q_OBJECT
    g3test::TestServices services_;
    std::vector<MessageRequest>& asked_ = services_.seen;
    MsgResult& answer_ = services_.answer;
    std::vector<std::pair<std::string, std::string>>& executed_ = services_.opened;

private slots:
    void init() {
        asked_.clear();
        executed_.clear();
        answer_ = MsgResult::No;
    }

    void emptyFolderAndColumns() {
        g3test::TempDir t;
        TFileView v;
        v.setMessageBoxes(&services_);
        v.setOpener(&services_);
        QCOMPARE(v.ViewStyle(), vsReport);
        QVERIFY(v.FileExecute());
        v.ShowFolder(parsed(t.path()));
        QCOMPARE(v.model()->rowCount(), 0);
        QCOMPARE(v.GetSelectedPath(), std::string());
        QCOMPARE(v.columnWidth(0), 120);
        QCOMPARE(v.columnWidth(1), 80);
        QCOMPARE(v.columnWidth(2), 70);
        QCOMPARE(v.columnWidth(3), 90);
        QCOMPARE(v.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("*表札"));
        QCOMPARE(v.model()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("改築日時"));
        QCOMPARE(v.rowAt(QPoint(5, 5), false), -1);
    }

    void sizeHeaderTwiceAndOrderSurvivesFolderChange() {
        ShownList list;
        TFileView& v = list.v;
        QCOMPARE(captions(v), (std::vector<std::string>{"dir", "one", "three", "two"}));
        clickHeader(v, 1);
        QCOMPARE(captions(v), (std::vector<std::string>{"three", "two", "one", "dir"}));
        QCOMPARE(v.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("*大きさ(バイト)"));
        QCOMPARE(v.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("表札"));
        clickHeader(v, 1);
        QCOMPARE(captions(v), (std::vector<std::string>{"dir", "one", "two", "three"}));
        clickHeader(v, 1);

        // Another folder is shown in the order chosen last, and the next click turns it.
        g3test::TempDir other;
        writeFile(other / "small", "1");
        writeFile(other / "big", "12345");
        v.ShowFolder(parsed(other.path()));
        QCOMPARE(captions(v), (std::vector<std::string>{"big", "small"}));
        clickHeader(v, 1);
        QCOMPARE(captions(v), (std::vector<std::string>{"small", "big"}));
        clickHeader(v, 4); // the fifth column has no order; nothing moves or fails
        QCOMPARE(captions(v), (std::vector<std::string>{"small", "big"}));
        QCOMPARE(v.model()->starredColumn(), 1); // and the sorted column keeps its "*"
        v.ShowFolder(parsed(other.path()));
        QCOMPARE(captions(v), (std::vector<std::string>{"small", "big"}));
        clickHeader(v, 0);
        QCOMPARE(captions(v), (std::vector<std::string>{"small", "big"})); // name descending after an ascending fill
    }

    void headerClickRunsThePopupMenuEntry() {
        SizedFolder f;
        TFileView v;
        v.setMessageBoxes(&services_);
        v.setOpener(&services_);
        v.resize(500, 300);
        v.show();
        QMenu menu;
        std::vector<int> ran;
        for (int i = 0; i < 4; ++i) menu.addAction(QString::number(i), [&ran, i] { ran.push_back(i); });
        v.setMyPopupMenu(&menu);
        v.ShowFolder(parsed(f.t.path()));
        clickHeader(v, 2);
        clickHeader(v, 4); // no entry for the fifth column
        QCOMPARE(ran, std::vector<int>{2});
        QCOMPARE(captions(v), (std::vector<std::string>{"dir", "one", "three", "two"}));
        QCOMPARE(v.model()->starredColumn(), 0);
    }

    void maskShowsFoldersAndMatchingFiles() {
        g3test::TempDir t;
        writeFile(t / "a.jpg");
        writeFile(t / "readme");
        makeFolders(t / "pics");
        TFileView v;
        v.setMessageBoxes(&services_);
        v.setOpener(&services_);
        v.setMask({".JPG"});
        v.ShowFolder(parsed(t.path()));
        QCOMPARE(captions(v), (std::vector<std::string>{"pics", "a.jpg"}));
        v.setMask({});
        v.FillList();
        QCOMPARE(v.model()->rowCount(), 3);
    }

    void doubleClickWithoutTreeAsksAndExecutes() {
        SizedFolder f;
        TFileView v;
        v.setMessageBoxes(&services_);
        v.setOpener(&services_);
        v.resize(500, 300);
        v.show();
        v.SetExecDirectory("/work/dir");
        v.ShowFolder(parsed(f.t.path()));
        QSignalSpy dbl(&v, &TFileView::OnDblClick);
        const int one = rowOf(v, "one");
        selectRows(v, {one});
        answer_ = MsgResult::No;
        QTest::mouseDClick(v.itemView()->viewport(), Qt::LeftButton, {}, rowPoint(v, one));
        QCOMPARE(dbl.size(), 1);
        QCOMPARE(asked_.size(), std::size_t(1));
        QCOMPARE(asked_[0].text, QStringLiteral("家を実行しようとしてますが、いいですか？"));
        QCOMPARE(asked_[0].kind, MsgKind::Confirmation);
        QCOMPARE(asked_[0].buttons, MsgButtons(mbYes | mbNo));
        QVERIFY(executed_.empty());

        answer_ = MsgResult::Yes;
        QTest::mouseDClick(v.itemView()->viewport(), Qt::LeftButton, {}, rowPoint(v, one));
        QCOMPARE(executed_.size(), std::size_t(1));
        QCOMPARE(executed_[0].first, f.t / "one");
        QCOMPARE(executed_[0].second, std::string("/work/dir"));

        // Without a tree a folder goes through the same question.
        const int dir = rowOf(v, "dir");
        QVERIFY(v.IsFolderItem(dir));
        QVERIFY(!v.IsFolderItem(one));
        selectRows(v, {dir});
        QTest::mouseDClick(v.itemView()->viewport(), Qt::LeftButton, {}, rowPoint(v, dir));
        QCOMPARE(asked_.size(), std::size_t(3));
        QCOMPARE(executed_.back().first, f.t / "dir");

        v.setFileExecute(false);
        QTest::mouseDClick(v.itemView()->viewport(), Qt::LeftButton, {}, rowPoint(v, dir));
        QCOMPARE(asked_.size(), std::size_t(3));
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY(!openEditor(v)); // a double click on a selected row starts no rename
    }

    void doubleClickOnFolderWithTreeNavigates() {
        SizedFolder f;
        writeFile(g3::joinPath(f.t / "dir", "inner"));
        ListWithTree shown(services_);
        TFolderView& tree = shown.tree;
        TFileView& v = shown.v;
        QCOMPARE(v.LinkedTree(), &tree);
        QVERIFY(tree.SelectPath(f.t.path()));
        QVERIFY(v.FolderObject());
        QCOMPARE(v.FolderObject()->pathOf(ItemIDList::empty()), f.t.path());
        const int dir = rowOf(v, "dir");
        selectRows(v, {dir});
        QTest::mouseDClick(v.itemView()->viewport(), Qt::LeftButton, {}, rowPoint(v, dir));
        QVERIFY(asked_.empty());
        QCOMPARE(tree.GetSelectedPath(), f.t / "dir");
        QCOMPARE(captions(v), std::vector<std::string>{"inner"});
    }

    // Shortcut files carry the link overlay. A double click on one to a folder enters the
    // folder without a question; one to a file asks and goes to the opener, which follows it.
    void doubleClickOnShortcuts() {
        SizedFolder f;
        writeFile(g3::joinPath(f.t / "dir", "inner"));
        QCOMPARE(writeShellLink(f.t / "to dir.lnk", f.t / "dir", ""), 0);
        QCOMPARE(writeShellLink(f.t / "to one.LNK", f.t / "one", ""), 0);
        ListWithTree shown(services_);
        TFolderView& tree = shown.tree;
        TFileView& v = shown.v;
        QVERIFY(tree.SelectPath(f.t.path()));
        const int toDir = rowOf(v, "to dir.lnk"), toOne = rowOf(v, "to one.LNK");
        QCOMPARE(v.model()->row(toDir).overlay, 1);
        QCOMPARE(v.model()->row(toOne).overlay, 1);
        QCOMPARE(v.model()->row(rowOf(v, "one")).overlay, 0);
        answer_ = MsgResult::Yes;
        selectRows(v, {toOne});
        QTest::mouseDClick(v.itemView()->viewport(), Qt::LeftButton, {}, rowPoint(v, toOne));
        QCOMPARE(asked_.size(), std::size_t(1));
        QCOMPARE(executed_.size(), std::size_t(1));
        QCOMPARE(executed_[0].first, f.t / "to one.LNK");
        selectRows(v, {toDir});
        QTest::mouseDClick(v.itemView()->viewport(), Qt::LeftButton, {}, rowPoint(v, toDir));
        QCOMPARE(asked_.size(), std::size_t(1));
        QCOMPARE(tree.GetSelectedPath(), f.t / "dir");
        QCOMPARE(captions(v), std::vector<std::string>{"inner"});
    }

    void renameRefusedRestoresCaption() {
        ShownList list;
        SizedFolder& f = list.f;
        TFileView& v = list.v;
        const int one = rowOf(v, "one");
        selectRows(v, {one});
        QModelIndex idx = v.model()->index(one, 0);
        v.itemView()->edit(idx);
        QLineEdit* e = openEditor(v);
        QVERIFY(e);
        e->setText(QStringLiteral("two")); // exists: refused
        QTest::keyClick(e, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits queued
        QCOMPARE(idx.data().toString(), QStringLiteral("one"));
        QVERIFY(!openEditor(v));
        QVERIFY(access((f.t / "one").c_str(), F_OK) == 0);

        v.itemView()->edit(idx);
        e = openEditor(v);
        QVERIFY(e);
        e->setText(QStringLiteral("uno"));
        QTest::keyClick(e, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits queued
        QCOMPARE(idx.data().toString(), QStringLiteral("uno"));
        QCOMPARE(v.GetItemPath(idx.row()), f.t / "uno");
        QVERIFY(access((f.t / "uno").c_str(), F_OK) == 0);
    }

    void invalidUtf8NamesKeepTheirBytes() {
        g3test::TempDir t;
        const std::string bad = "bad\xff\xfe.txt";
        writeFile(t / bad);
        TFileView v;
        v.setMessageBoxes(&services_);
        v.setOpener(&services_);
        v.resize(500, 300);
        v.show();
        v.ShowFolder(parsed(t.path()));
        QCOMPARE(v.model()->rowCount(), 1);
        const QString caption = v.model()->index(0, 0).data().toString();
        QVERIFY(caption.startsWith(QStringLiteral("bad")));
        QVERIFY(caption.contains(QChar(0xFFFD)));
        QVERIFY(caption.endsWith(QStringLiteral(".txt")));
        selectRows(v, {0});
        QCOMPARE(v.GetSelectedPath(), t / bad);

        // In-place rename: the editor left as it came renames nothing; an edit of the
        // extension keeps the bytes before it.
        auto editName = [&](const QString* typed) {
            v.itemView()->edit(v.model()->index(0, 0));
            QLineEdit* editor = openEditor(v);
            if (!editor) return false;
            if (typed) editor->setText(*typed);
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents(); // the delegate commits queued
            return true;
        };
        QVERIFY(editName(nullptr));
        QCOMPARE(v.GetItemPath(0), t / bad);
        const QString md = caption.chopped(4) + QStringLiteral(".md");
        QVERIFY(editName(&md));
        QCOMPARE(v.GetItemPath(0), t / "bad\xff\xfe.md");
        QVERIFY(access((t / "bad\xff\xfe.md").c_str(), F_OK) == 0);
        QCOMPARE(v.model()->rowCount(), 1);
    }

    // A rename the file system refuses (the name is taken) changes nothing and says so, with
    // the reason, once the editor has closed.
    void aRefusedRenameIsReported() {
        g3test::TempDir t;
        writeFile(t / "a.txt", "A");
        writeFile(t / "b.txt", "B");
        TFileView v;
        v.setMessageBoxes(&services_);
        v.resize(500, 300);
        v.show();
        v.ShowFolder(parsed(t.path()));
        services_.seen.clear();
        v.itemView()->edit(v.model()->index(0, 0));
        QLineEdit* editor = openEditor(v);
        QVERIFY(editor);
        editor->setText(QStringLiteral("b.txt"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(services_.seen.size(), size_t(1));
        QVERIFY(services_.seen[0].text.startsWith(QStringLiteral("「a.txt」の表札を「b.txt」に変えられませんでした（")));
        QCOMPARE(g3test::readFile(t / "a.txt"), std::string("A"));
        QCOMPARE(g3test::readFile(t / "b.txt"), std::string("B"));
        QCOMPARE(v.GetItemPath(0), t / "a.txt");
    }

    void rightClickShowsContextMenuForSelection() {
        ShownList list;
        TFileView& v = list.v;
        QWidget* vp = v.itemView()->viewport();
        // Nothing while no component is set.
        selectRows(v, {1, 3});
        sendMouse(vp, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, rowPoint(v, 3));
        sendMouse(vp, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, rowPoint(v, 3));

        auto menu = std::make_unique<RecordingMenu>();
        v.setContextMenu(menu.get());
        selectRows(v, {1, 3});
        const QPoint p = rowPoint(v, 3);
        sendMouse(vp, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, p);
        sendMouse(vp, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, p + QPoint(4, -4));
        QCOMPARE(menu->calls.size(), std::size_t(1));
        QCOMPARE(menu->calls[0].count, 2);
        QCOMPARE(menu->calls[0].names, (std::vector<std::string>{"two", "one"})); // last selected first

        // Moved beyond four pixels: no menu. A left click: no menu.
        sendMouse(vp, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, p);
        sendMouse(vp, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, p + QPoint(5, 0));
        sendMouse(vp, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, p);
        sendMouse(vp, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, p);
        QCOMPARE(menu->calls.size(), std::size_t(1));

        // The menu reached through a later move report when the release never came.
        selectRows(v, {2});
        sendMouse(vp, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, rowPoint(v, 2));
        sendMouse(vp, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, rowPoint(v, 2) + QPoint(1, 1));
        QCOMPARE(menu->calls.size(), std::size_t(2));
        QCOMPARE(menu->calls[1].names, std::vector<std::string>{"three"});
        sendMouse(vp, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, rowPoint(v, 2));
        QCOMPARE(menu->calls.size(), std::size_t(2));

        // On empty space with nothing selected, nothing opens; a component gone is let go.
        v.itemView()->selectionModel()->clearSelection();
        const QPoint empty(vp->width() - 5, vp->height() - 5);
        sendMouse(vp, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, empty);
        sendMouse(vp, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, empty);
        QCOMPARE(menu->calls.size(), std::size_t(2));
        menu.reset();
        selectRows(v, {1});
        sendMouse(vp, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, rowPoint(v, 1));
        sendMouse(vp, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, rowPoint(v, 1));
    }

    // A click in an icon style selects the name alone; the row counts as selected all the
    // same, for the menu as for everything else.
    void clickedItemsOfEveryStyleAreSelectedRows() {
        ShownList list;
        TFileView& v = list.v;
        RecordingMenu menu;
        v.setContextMenu(&menu);
        for (TViewStyle s : {vsIcon, vsSmallIcon, vsList, vsReport}) {
            v.setViewStyle(s);
            v.itemView()->selectionModel()->clearSelection();
            QTest::mouseClick(v.itemView()->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(v, 1));
            QTest::mouseClick(v.itemView()->viewport(), Qt::LeftButton, Qt::ControlModifier, rowPoint(v, 3));
            QCOMPARE(v.selectedRows(), (std::vector<int>{1, 3}));
            QTest::keyClick(v.itemView(), Qt::Key_Menu);
            QCOMPARE(menu.calls.back().count, 2);
        }
    }

    // The menu key and Shift+F10 open the menu of the selection; nothing without one.
    void menuKeysOpenTheSelectionsMenu() {
        ShownList list;
        TFileView& v = list.v;
        RecordingMenu menu;
        v.setContextMenu(&menu);
        QTest::keyClick(v.itemView(), Qt::Key_Menu);
        QVERIFY(menu.calls.empty());
        selectRows(v, {1, 3});
        QTest::keyClick(v.itemView(), Qt::Key_Menu);
        QTest::keyClick(v.itemView(), Qt::Key_F10, Qt::ShiftModifier);
        QTest::keyClick(v.itemView(), Qt::Key_F10, Qt::ControlModifier);
        QCOMPARE(menu.calls.size(), std::size_t(2));
        QCOMPARE(menu.calls[1].names, (std::vector<std::string>{"two", "one"}));
    }

    void dragStartsBeyondFourPixels() {
        ShownList list;
        TFileView& v = list.v;
        QWidget* vp = v.itemView()->viewport();
        const QPoint p = rowPoint(v, 1);
        selectRows(v, {1});
        // Unset: nothing, tracking stays.
        sendMouse(vp, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, p);
        sendMouse(vp, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, p + QPoint(10, 0));
        sendMouse(vp, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, p + QPoint(10, 0));

        RecordingDrag drag;
        v.setDropSource(&drag);
        selectRows(v, {1, 2});
        sendMouse(vp, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, p);
        sendMouse(vp, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, p + QPoint(3, 4));
        QVERIFY(drag.calls.empty());
        sendMouse(vp, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, p + QPoint(0, 5));
        QCOMPARE(drag.calls.size(), std::size_t(1));
        QCOMPARE(drag.calls[0].count, 2);
        QCOMPARE(drag.calls[0].names, (std::vector<std::string>{"three", "one"}));
        sendMouse(vp, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, p + QPoint(0, 20));
        QCOMPARE(drag.calls.size(), std::size_t(1)); // one drag per press
        sendMouse(vp, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, p);
    }

    // A refresh that lists the folder again (the tree's rebuild) keeps the selection, the
    // current row and the scroll position; in details the same rows stay in sight, also
    // when rows came and went. Another folder starts at the top with nothing selected.
    void refillKeepsTheUsersPlace_data() {
        QTest::addColumn<TViewStyle>("style");
        QTest::newRow("details") << vsReport;
        QTest::newRow("large icons") << vsIcon;
    }
    void refillKeepsTheUsersPlace() {
        QFETCH(TViewStyle, style);
        LongList l;
        TFileView& v = l.v;
        v.setViewStyle(style);
        QScrollBar* bar = v.itemView()->verticalScrollBar();
        QItemSelectionModel* sel = v.itemView()->selectionModel();
        selectRows(v, {3, 20, 21});
        sel->setCurrentIndex(v.model()->index(21, 0), QItemSelectionModel::NoUpdate);
        v.itemView()->scrollTo(v.model()->index(17, 0), QAbstractItemView::PositionAtTop);
        const int scrolled = bar->value();
        const std::string top = l.topName();
        QVERIFY(scrolled > 0);
        writeFile(l.t / "a-new-first");
        std::remove((l.t / "f10").c_str());
        QSignalSpy resets(v.model(), &QAbstractItemModel::modelReset);
        l.tree.RebuildTree(l.tree.GetSelectedIDList());
        QCOMPARE(resets.size(), 1); // filled once, not for the desktop on the way
        QCOMPARE(l.selectedNames(), (std::vector<std::string>{"f03", "f20", "f21"}));
        QCOMPARE(l.nameOf(sel->currentIndex()), std::string("f21"));
        if (style == vsReport)
            QCOMPARE(l.topName(), top);
        else
            QCOMPARE(bar->value(), scrolled);

        g3test::TempDir other;
        for (int i = 0; i < 40; ++i) writeFile(other / ("x" + std::to_string(i)));
        v.ShowFolder(parsed(other.path()));
        QVERIFY(v.selectedRows().empty());
        QCOMPARE(bar->value(), 0);
    }

    // After "select all", a click on one row selects that row alone, on release (a press
    // keeps them all for a drag, dragStartsBeyondFourPixels), and opens no editor. A second
    // click on the row, now alone, renames it after a pause; F2 at once.
    void clickInAManySelectionSelectsTheRow() {
        ShownList list;
        TFileView& v = list.v;
        QWidget* vp = v.itemView()->viewport();
        v.selectAll();
        QTest::mousePress(vp, Qt::LeftButton, {}, rowPoint(v, 2));
        QCOMPARE(v.selectedRows().size(), std::size_t(4));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, rowPoint(v, 2));
        QCOMPARE(v.selectedRows(), std::vector<int>{2});
        QVERIFY(!QTest::qWaitFor([&] { return openEditor(v) != nullptr; }, 2 * QApplication::doubleClickInterval()));

        QTest::mouseClick(vp, Qt::LeftButton, {}, rowPoint(v, 2));
        QTRY_VERIFY(openEditor(v));
        QCOMPARE(openEditor(v)->text(), QStringLiteral("three"));
        QTest::keyClick(openEditor(v), Qt::Key_Escape);
        QTRY_VERIFY(!openEditor(v));

        v.selectAll();
        QTest::keyClick(v.itemView(), Qt::Key_F2);
        QVERIFY(openEditor(v));
    }

    // Keys in details move between rows; the current cell is always the name.
    void keysMoveBetweenRows_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("row");
        QTest::newRow("Home") << int(Qt::Key_Home) << Qt::KeyboardModifiers() << 0;
        QTest::newRow("End") << int(Qt::Key_End) << Qt::KeyboardModifiers() << 29;
        QTest::newRow("Ctrl+Home") << int(Qt::Key_Home) << Qt::KeyboardModifiers(Qt::ControlModifier) << 0;
        QTest::newRow("Ctrl+End") << int(Qt::Key_End) << Qt::KeyboardModifiers(Qt::ControlModifier) << 29;
        QTest::newRow("Shift+End") << int(Qt::Key_End) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 29;
        QTest::newRow("Right") << int(Qt::Key_Right) << Qt::KeyboardModifiers() << 10;
        QTest::newRow("Left") << int(Qt::Key_Left) << Qt::KeyboardModifiers() << 10;
        QTest::newRow("Down") << int(Qt::Key_Down) << Qt::KeyboardModifiers() << 11;
    }
    void keysMoveBetweenRows() {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, row);
        LongList l;
        QAbstractItemView* view = l.v.itemView();
        // A click on the empty fifth column makes its row current, in the name column.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, l.cell(10, 4));
        QCOMPARE(view->currentIndex(), l.v.model()->index(10, 0));
        QTest::keyClick(view, Qt::Key(key), modifiers);
        QCOMPARE(view->currentIndex(), l.v.model()->index(row, 0));
        if (modifiers == Qt::NoModifier) QCOMPARE(l.v.selectedRows(), std::vector<int>{row});
    }

    void hotTrackSelectsTheRowUnderThePointer() {
        ShownList list;
        SizedFolder& f = list.f;
        TFileView& v = list.v;
        v.setHotTrack(true);
        QSignalSpy changed(&v, &TFileView::OnChange);
        sendMouse(v.itemView()->viewport(), QEvent::MouseMove, Qt::NoButton, Qt::NoButton, rowPoint(v, 2));
        QCOMPARE(v.selectedRows(), std::vector<int>{2});
        QVERIFY(changed.size() >= 1);
        QCOMPARE(v.GetSelectedPath(), f.t / "three");
    }

    void stylesShareOneModelAndSelection() {
        SizedFolder f;
        writeFile(f.t / "a.png");
        writeFile(f.t / "b.txt");
        writeFile(f.t / "c.sh");
        symlink("one", (f.t / "link").c_str());
        TFolderView tree;
        TFileView v;
        v.setMessageBoxes(&services_);
        v.setOpener(&services_);
        tree.setFileView(&v);
        tree.BuildTree();
        tree.resize(200, 300);
        tree.show();
        v.resize(460, 300);
        v.show();
        QVERIFY(tree.SelectPath(f.t.path()));
        selectRows(v, {2});
        const QByteArray shots = qgetenv("G3_SHOT_DIR");
        const char* names[] = {"icon", "smallicon", "list", "report"};
        for (TViewStyle s : {vsIcon, vsSmallIcon, vsList, vsReport}) {
            v.setViewStyle(s);
            QCOMPARE(v.ViewStyle(), s);
            QCOMPARE(v.itemView()->model(), static_cast<QAbstractItemModel*>(v.model()));
            QCOMPARE(v.selectedRows(), std::vector<int>{2});
            QVERIFY(!v.model()->index(2, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
            const int row = v.rowAt(rowPoint(v, 2) - QPoint(20, 0), true);
            QCOMPARE(row, 2);
            if (!shots.isEmpty()) {
                QCoreApplication::processEvents();
                QPixmap both(tree.width() + v.width(), v.height());
                both.fill(Qt::white);
                tree.render(&both);
                v.render(&both, QPoint(tree.width(), 0));
                both.save(QString::fromUtf8(shots) + QStringLiteral("/fileview_%1.png").arg(names[s]));
            }
        }
        // A point right of the caption is on the row but not on its label.
        QRect cell = v.itemView()->visualRect(v.model()->index(2, 0));
        QCOMPARE(v.rowAt(QPoint(cell.right() - 2, cell.center().y()), false), 2);
        QCOMPARE(v.rowAt(QPoint(cell.right() - 2, cell.center().y()), true), -1);
    }

    void unreadableFolderSendsTheTreeBackOnce() {
        if (geteuid() == 0) QSKIP("root lists every folder");
        SizedFolder f;
        makeFolders(f.t / "locked");
        chmod((f.t / "locked").c_str(), 0);
        TFolderView tree;
        TFileView v;
        v.setMessageBoxes(&services_);
        v.setOpener(&services_);
        tree.setFileView(&v);
        tree.BuildTree();
        QVERIFY(tree.SelectPath(f.t.path()));
        const auto before = captions(v);
        tree.SelectPath(f.t / "locked");
        QCOMPARE(tree.GetSelectedPath(), f.t.path());
        QCOMPARE(captions(v), before);
        chmod((f.t / "locked").c_str(), 0755);
    }

    // A list made elsewhere (a search window, a dialog) keeps its own order: it neither
    // resets nor follows the order of the list whose owner shares its state with it.
    void aSecondListKeepsItsOwnSortState() {
        SizedFolder f;
        FileViewSortState windowSort;
        TFileView first;
        first.setSortState(&windowSort);
        first.ShowFolder(parsed(f.t.path()));
        first.SortByColumn(1);
        TFileView second;
        second.ShowFolder(parsed(f.t.path()));
        QCOMPARE(windowSort.SortColumn, 1);
        QCOMPARE(second.model()->sortState().SortColumn, 0);
        second.SortByColumn(0);
        QCOMPARE(windowSort.SortColumn, 1);
    }
};

QTEST_MAIN(FileViewTest)
#include "FileView_qtest.moc"
