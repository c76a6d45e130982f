// The context menu and the drag source of the shell views, offscreen: the entries per kind
// of selection, what each command does (through a scripted host), the send-to submenu and
// its delivery, the item limit of both components and the rules of a running drag. With
// G3_SHOTS set the menus are also saved as pictures (in that folder when it is a path).
#include "shellviews/DRPCOMEX.h"

#include "platform/errors.h"
#include "platform/filelists.h"
#include "platform/paths.h"
#include "platform/trash.h"
#include "shellviews/FileView.h"
#include "shellviews/shelltemp.h"
#include "support/testservices.h"
#include "ui/menuchooser.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDrag>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QtTest>

#include <algorithm>
#include <map>
#include <memory>
#include <unistd.h>

using namespace g3;
using namespace g3test;

namespace {

// What the menu asks of the program, recorded as "verb argument..." lines.
struct ScriptedHost : ContextMenuHost {
    QStringList calls;
    int answer = 0;
    bool running = false;
    bool clipboard = true;

    int record(const QString& verb, const std::vector<std::string>& paths) {
        QStringList line{verb};
        for (const std::string& p : paths) line << QString::fromStdString(namePart(p));
        calls << line.join(QLatin1Char(' '));
        return answer;
    }
    bool busy() const override { return running; }
    bool clipboardHasFiles() const override { return clipboard; }
    int openFolder(const std::string& p) override { return record(QStringLiteral("openFolder"), {p}); }
    int pasteInto(const std::string& p) override { return record(QStringLiteral("paste"), {p}); }
    int startWithPastedFiles(const std::string& p) override { return record(QStringLiteral("start"), {p}); }
    int evict(const std::vector<std::string>& p) override { return record(QStringLiteral("evict"), p); }
    int restore(const std::vector<std::string>& p) override { return record(QStringLiteral("restore"), p); }
    int showProperties(const std::vector<std::string>& p) override { return record(QStringLiteral("properties"), p); }
};

// The menu as it was offered: its top-level entries ("-" before a disabled one, separators
// left out) and the send-to submenu's captions; the entry named `choice` is chosen.
struct ShownMenu : MenuChooser {
    QString choice;
    int shown = 0;
    QStringList entries, sendTo;
    QString shot; // with G3_SHOTS: the picture's name

    QAction* choose(QMenu& menu, const QPoint& at) override {
        ++shown;
        entries.clear();
        sendTo.clear();
        for (QAction* a : menu.actions())
            if (!a->isSeparator()) entries << (a->isEnabled() ? QString() : QStringLiteral("-")) + a->objectName();
        if (QMenu* sub = menu.findChild<QMenu*>(QStringLiteral("sendto")))
            for (QAction* a : sub->actions()) sendTo << a->text();
        if (!shot.isEmpty()) save(menu, at);
        for (QAction* a : menu.findChildren<QAction*>())
            if (!choice.isEmpty() && a->objectName() == choice) return a;
        return nullptr;
    }

    // The menu as it opens, with its send-to submenu open beside it.
    void save(QMenu& menu, const QPoint& at) {
        QString dir = qEnvironmentVariable("G3_SHOTS");
        if (dir.isEmpty()) return;
        if (!dir.startsWith(QLatin1Char('/'))) dir = QStringLiteral("/tmp/shots");
        QDir().mkpath(dir);
        menu.popup(at);
        QMenu* sub = menu.findChild<QMenu*>(QStringLiteral("sendto"));
        QAction* subEntry = sub ? sub->menuAction() : nullptr;
        const QPixmap m = menu.grab();
        QPixmap s;
        int subTop = 0;
        if (subEntry && !sub->isEmpty()) {
            menu.setActiveAction(subEntry);
            sub->popup(menu.mapToGlobal(menu.actionGeometry(subEntry).topRight()));
            subTop = menu.actionGeometry(subEntry).top();
            s = sub->grab();
            sub->hide();
        }
        menu.hide();
        QPixmap all(m.width() + s.width(), std::max(m.height(), subTop + s.height()));
        all.fill(Qt::white);
        QPainter p(&all);
        p.drawPixmap(0, 0, m);
        if (!s.isNull()) p.drawPixmap(m.width(), subTop, s);
        p.end();
        all.save(dir + QLatin1Char('/') + shot + QStringLiteral(".png"));
    }
};

// Items of a folder as the views hand them over: the folder object and the items'
// relative IDs joined, in the order given.
struct Selection {
    ShellFolderPtr folder;
    ItemIDList joined;
    int count = 0;
};

Selection select(const std::string& dir, const std::vector<std::string>& names) {
    Selection s;
    s.folder = dir.empty() ? SHGetDesktopFolder() : SHGetDesktopFolder()->BindToObject(parsedPath(dir));
    std::map<std::string, ItemIDList> byName;
    if (s.folder)
        s.folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
                              [&](EnumItem&& e) { byName[std::string(e.id.firstName())] = e.id; });
    s.joined = ItemIDList::empty();
    for (const std::string& n : names) {
        s.joined = ConcatIDList(s.joined, byName[n]);
        ++s.count;
    }
    return s;
}

// count items of any name: the limit is about the count alone.
Selection manyItems(const std::string& dir, int count) {
    Selection s = select(dir, {});
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        const ItemIDList one = ItemIDList::makeID(0, "f" + std::to_string(i));
        bytes.append(one.bytes(), 0, one.bytes().size() - 2);
    }
    s.joined = ItemIDList::fromBytes(bytes + std::string(2, '\0'));
    s.count = count;
    return s;
}

// A drag source that records the drag instead of running it.
struct RecordingDrag : TDropSourceEx {
    int drags = 0;
    QMap<QString, QByteArray> formats;
    Qt::DropActions allowed;
    Qt::DropAction preferred = Qt::IgnoreAction;
    Qt::DropAction DoDragDrop(QDrag& drag, Qt::DropActions a, Qt::DropAction p) override {
        ++drags;
        allowed = a;
        preferred = p;
        for (const QString& f : drag.mimeData()->formats()) formats[f] = drag.mimeData()->data(f);
        return Qt::CopyAction;
    }
};

QByteArray clipboardFormat(const char* format) {
    const QMimeData* d = QGuiApplication::clipboard()->mimeData();
    return d ? d->data(QString::fromLatin1(format)) : QByteArray();
}

bool clipboardEmpty() {
    const QMimeData* d = QGuiApplication::clipboard()->mimeData();
    return !d || d->formats().isEmpty();
}

} // namespace

class DrpcomexTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> t_;
    std::string work_, sendTo_;
    TestServices services_;
    ScriptedHost host_;
    ShownMenu menus_;
    std::unique_ptr<TContextMenuEx> menu_;
    QWidget window_;
    TFileView view_; // the window of a menu from the list: rename needs it

    bool show(const Selection& s) {
        return menu_->ShowContextMenu(view_.itemView(), s.folder, QPoint(100, 100), s.count, s.joined);
    }
    // The SendTo folder holds exactly these items: links to folders, files, entries.
    void fillSendTo(const std::vector<std::pair<std::string, std::string>>& links) {
        removeTree(sendTo_);
        makeFolders(sendTo_);
        for (const auto& [name, target] : links) QCOMPARE(symlink(target.c_str(), joinPath(sendTo_, name).c_str()), 0);
    }

private slots:
    void initTestCase() {
        t_ = std::make_unique<TempDir>();
        // A desktop of the test's own, with no applications but the test's (GLib reads
        // these once, at its first call).
        for (const char* v : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"})
            setenv(v, t_->mkdir(v).c_str(), 1);
        setenv("XDG_DESKTOP_DIR", t_->mkdir("HOME/Desktop").c_str(), 1);
        work_ = t_->mkdir("work");
        t_->write("work/a.txt", "A");
        t_->write("work/b.txt", "B");
        t_->mkdir("work/cave");
        sendTo_ = t_->path("XDG_CONFIG_HOME/grottan3/SendTo");
        menu_ = std::make_unique<TContextMenuEx>();
        menu_->setServices(&services_, &menus_, &services_);
        menu_->setHost(&host_);
        // The program's own store knows text files.
        menu_->ownAssociations = [this](const std::vector<std::string>& paths) {
            std::vector<OpenWithChoice> out;
            if (std::all_of(paths.begin(), paths.end(), [](const std::string& p) { return p.ends_with(".txt"); }))
                out.push_back({QStringLiteral("関連付けのプログラム"), [this](const std::vector<std::string>& p) {
                                   host_.record(QStringLiteral("own"), p);
                                   return true;
                               }});
            return out;
        };
    }

    void init() {
        host_ = ScriptedHost();
        menus_.choice.clear();
        menus_.shot.clear();
        menus_.shown = 0;
        services_.seen.clear();
        services_.opened.clear();
        QGuiApplication::clipboard()->clear();
    }

    // The entries offered, per kind of selection ("-" before a disabled one).
    void entriesPerSelection_data() {
        QTest::addColumn<QString>("where"); // "work", "trash" or "desktop"
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<QString>("entries");
        QTest::newRow("file") << "work" << QStringList{"a.txt"} << false
                              << "open openwith sendto cut copy delete rename properties";
        QTest::newRow("folder") << "work" << QStringList{"cave"} << false
                                << "open -openwith sendto cut copy paste delete rename properties";
        QTest::newRow("several") << "work" << QStringList{"a.txt", "b.txt"} << false
                                 << "open openwith sendto cut copy delete -rename properties";
        QTest::newRow("file and folder") << "work" << QStringList{"a.txt", "cave"} << false
                                         << "open -openwith sendto cut copy delete -rename properties";
        QTest::newRow("trash") << "trash" << QStringList{"gone.txt"} << false
                               << "undelete open openwith sendto cut copy -delete rename properties";
        QTest::newRow("desktop") << "desktop" << QStringList{"/"} << false
                                 << "open -openwith sendto cut copy paste -delete -rename properties";
        QTest::newRow("a run lasts") << "work" << QStringList{"cave"} << true
                                     << "open -openwith -sendto cut copy -paste -delete -rename properties";
    }
    void entriesPerSelection() {
        QFETCH(QString, where);
        QFETCH(QStringList, names);
        QFETCH(bool, busy);
        QFETCH(QString, entries);
        std::string dir = work_;
        if (where == QLatin1String("trash")) {
            TrashEntry e;
            QCOMPARE(moveToTrash(t_->write("work/gone.txt", "G"), &e), 0);
            dir = joinPath(e.trash, "files");
        } else if (where == QLatin1String("desktop")) {
            dir.clear();
        }
        std::vector<std::string> items;
        for (const QString& n : names) items.push_back(n.toStdString());
        host_.running = busy;
        const Selection s = select(dir, items);
        QVERIFY(!show(s));
        QCOMPARE(menus_.shown, 1);
        QCOMPARE(menus_.entries.join(QLatin1Char(' ')), entries);
        QVERIFY(host_.calls.isEmpty());
    }

    // Each command on a real tree: what reaches the host, the opener and the clipboard.
    void commandsRunOnEveryItem_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<int>("opened");
        QTest::newRow("open files") << QStringList{"a.txt", "b.txt"} << "open" << QStringList{} << 2;
        QTest::newRow("open a folder") << QStringList{"cave", "a.txt"} << "open" << QStringList{"openFolder cave"} << 1;
        QTest::newRow("paste into a folder") << QStringList{"cave"} << "paste" << QStringList{"paste cave"} << 0;
        QTest::newRow("delete") << QStringList{"a.txt", "cave"} << "delete" << QStringList{"evict a.txt cave"} << 0;
        QTest::newRow("properties") << QStringList{"b.txt", "a.txt"} << "properties"
                                    << QStringList{"properties b.txt a.txt"} << 0;
        QTest::newRow("open with") << QStringList{"a.txt", "b.txt"} << "openwith100" << QStringList{"own a.txt b.txt"} << 0;
    }
    void commandsRunOnEveryItem() {
        QFETCH(QStringList, names);
        QFETCH(QString, choice);
        QFETCH(QStringList, calls);
        QFETCH(int, opened);
        std::vector<std::string> items;
        for (const QString& n : names) items.push_back(n.toStdString());
        menus_.choice = choice;
        QVERIFY(show(select(work_, items)));
        QCOMPARE(host_.calls, calls);
        QCOMPARE(int(services_.opened.size()), opened);
        for (const auto& [path, dir] : services_.opened) QCOMPARE(dir, work_); // each in its own folder
        QVERIFY(services_.seen.empty());
    }

    void cutAndCopyPutTheItemsOnTheClipboard() {
        const Selection s = select(work_, {"b.txt", "a.txt"});
        const QByteArray uris = QByteArray::fromStdString(fileUri(joinPath(work_, "b.txt")) + "\r\n" +
                                                          fileUri(joinPath(work_, "a.txt")) + "\r\n");
        for (const char* verb : {"cut", "copy"}) {
            menus_.choice = QString::fromLatin1(verb);
            QVERIFY(show(s));
            QCOMPARE(clipboardFormat(fileformats::kUriList), uris);
            QCOMPARE(clipboardFormat(fileformats::kKdeCut), QByteArray(verb == std::string("cut") ? "1" : "0"));
            QVERIFY(clipboardFormat(fileformats::kGnomeCopied).startsWith(verb));
        }
        QVERIFY(host_.calls.isEmpty());
    }

    // Rename opens the name editor of the view's row; nothing is renamed yet.
    void renameEditsInTheView() {
        TFileView view;
        view.resize(400, 300);
        view.ShowFolder(parsedPath(work_));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        int row = -1;
        for (int r = 0; r < view.model()->rowCount(); ++r)
            if (view.model()->row(r).id.firstName() == "b.txt") row = r;
        view.itemView()->setCurrentIndex(view.model()->index(row, 0));
        menus_.choice = QStringLiteral("rename");
        const Selection s = select(work_, {"b.txt"});
        QVERIFY(menu_->ShowContextMenu(view.itemView(), s.folder, QPoint(), s.count, s.joined));
        QVERIFY(view.isEditingName());
        auto* editor = view.itemView()->findChild<QLineEdit*>();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("b.txt"));
    }

    void restoreInTheTrash() {
        TrashEntry e;
        QCOMPARE(moveToTrash(t_->write("work/back.txt", "B"), &e), 0);
        menus_.choice = QStringLiteral("undelete");
        menus_.shot = QStringLiteral("ctxmenu_trash_restore");
        QVERIFY(show(select(joinPath(e.trash, "files"), {e.name})));
        QCOMPARE(host_.calls, QStringList{QStringLiteral("restore back.txt")});
    }

    // A failing command gets the component's notice; one the user called off gets none.
    void resultsAndTheFailureNotice() {
        const Selection s = select(work_, {"a.txt"});
        menus_.choice = QStringLiteral("delete");
        host_.answer = EIO;
        QVERIFY(!show(s));
        QCOMPARE(int(services_.seen.size()), 1);
        const MessageRequest& r = services_.seen.front();
        QVERIFY(r.platformBox);
        QCOMPARE(r.text, QStringLiteral(" InvokeCommand failed! "));
        QCOMPARE(r.caption, QStringLiteral(" TContextMenuEx component version 2.05"));
        QCOMPARE(r.kind, MsgKind::Information);
        host_.answer = kErrorCancelled;
        QVERIFY(!show(s));
        QCOMPARE(int(services_.seen.size()), 1);
        // Dismissed: nothing runs.
        menus_.choice.clear();
        QVERIFY(!show(s));
        QCOMPARE(host_.calls.size(), 2);
        QVERIFY(clipboardEmpty());
    }

    // Exactly 65536 items are taken; one more gives the notice and neither menu nor drag.
    void theLimitOfBothComponents() {
        RecordingDrag drag;
        drag.setMessageBoxes(&services_);
        for (int count : {kMaxShellItems, kMaxShellItems + 1}) {
            const Selection s = manyItems(work_, count);
            show(s);
            drag.StartDrag(&window_, s.folder, s.count, s.joined);
        }
        QCOMPARE(menus_.shown, 1);
        QCOMPARE(menus_.entries.size(), 8);
        QCOMPARE(drag.drags, 1);
        QCOMPARE(drag.formats.value(QString::fromLatin1(fileformats::kUriList)).count("\r\n"), kMaxShellItems);
        QCOMPARE(int(services_.seen.size()), 2);
        for (const MessageRequest& r : services_.seen) {
            QCOMPARE(r.text, QStringLiteral("一度に選択できるファイルの数は65536までだよ^^;"));
            QCOMPARE(r.caption, QStringLiteral("ファイル選択でのお知らせ"));
            QCOMPARE(r.kind, MsgKind::Warning);
        }
        // A list shorter than its count: nothing at all; no folder: the notice (menu only).
        Selection s = select(work_, {"a.txt"});
        QVERIFY(!menu_->ShowContextMenu(&window_, s.folder, QPoint(), 2, s.joined));
        drag.StartDrag(&window_, s.folder, 2, s.joined);
        drag.StartDrag(&window_, nullptr, 1, s.joined);
        QVERIFY(!menu_->ShowContextMenu(&window_, nullptr, QPoint(), 1, s.joined));
        QCOMPARE(menus_.shown, 1);
        QCOMPARE(drag.drags, 1);
        QCOMPARE(int(services_.seen.size()), 3);
    }

    void theDragCarriesEveryFormat() {
        RecordingDrag drag;
        const std::string odd = t_->write("work/raw\xff name.bin", "r");
        const Selection s = select(work_, {"raw\xff name.bin", "cave"});
        drag.StartDrag(&window_, s.folder, s.count, s.joined);
        QCOMPARE(drag.drags, 1);
        QCOMPARE(drag.allowed, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
        QCOMPARE(drag.preferred, Qt::CopyAction);
        const QByteArray raw = QByteArray::fromStdString(fileUri(odd)), cave = QByteArray::fromStdString(fileUri(joinPath(work_, "cave")));
        QVERIFY(raw.endsWith("/raw%FF%20name.bin"));
        QCOMPARE(drag.formats.value(QStringLiteral("text/uri-list")), raw + "\r\n" + cave + "\r\n");
        QCOMPARE(drag.formats.value(QStringLiteral("x-special/gnome-copied-files")), "copy\n" + raw + "\n" + cave);
        QCOMPARE(drag.formats.value(QStringLiteral("x-special/mate-copied-files")), "copy\n" + raw + "\n" + cave);
        QCOMPARE(drag.formats.value(QStringLiteral("application/x-kde-cutselection")), QByteArray("0"));
        QCOMPARE(drag.formats.value(QStringLiteral("text/plain;charset=utf-8")),
                 QByteArray::fromStdString(odd + "\n" + joinPath(work_, "cave")));
        // The real drag, which the offscreen platform ends at once: nothing is touched.
        TDropSourceEx real;
        const Selection one = select(work_, {"a.txt"});
        real.StartDrag(&window_, one.folder, one.count, one.joined);
        QCOMPARE(readFile(joinPath(work_, "a.txt")), std::string("A"));
    }

    void aRunningDragFollowsTheButtons() {
        using A = TDropSourceObject::Answer;
        struct Case {
            bool escape;
            Qt::MouseButtons buttons;
            A answer;
        };
        const Case cases[] = {
            {true, Qt::LeftButton, A::Cancel},   {false, Qt::LeftButton, A::Continue},
            {false, Qt::RightButton, A::Continue}, {false, Qt::LeftButton | Qt::RightButton, A::Continue},
            {false, Qt::NoButton, A::Drop},      {false, Qt::MiddleButton, A::Drop},
        };
        for (const Case& c : cases) QCOMPARE(TDropSourceObject::QueryContinueDrag(c.escape, c.buttons), c.answer);
        // As a filter: a release that leaves the right button held never reaches the drag.
        struct Counter : QObject {
            int releases = 0;
            bool event(QEvent* e) override {
                if (e->type() == QEvent::MouseButtonRelease) ++releases;
                return QObject::event(e);
            }
        } target;
        TDropSourceObject source;
        target.installEventFilter(&source);
        QMouseEvent held(QEvent::MouseButtonRelease, QPointF(), QPointF(), Qt::LeftButton, Qt::RightButton, Qt::NoModifier);
        QMouseEvent last(QEvent::MouseButtonRelease, QPointF(), QPointF(), Qt::RightButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &held);
        QCOMPARE(target.releases, 0);
        QCoreApplication::sendEvent(&target, &last);
        QCOMPARE(target.releases, 1);
    }

    void findMenuItemCountsBytesOfTheSystemCodePage() {
        QMenu m;
        m.addAction(QStringLiteral("送る(&N)"));
        m.addSeparator();
        m.addAction(QStringLiteral("貼り付け(&P)"))->setEnabled(false);
        m.addAction(QStringLiteral("貼り付け(&P)"));
        m.addAction(QStringLiteral("Send(&T)"));
        m.addAction(QString(300, QLatin1Char('x')) + QStringLiteral("(&Z)"));
        struct Case {
            const char* pattern;
            int position, index;
        };
        const Case cases[] = {
            {"(&N)", 5, 1}, {"(&N)", 3, -1}, {"(&P)", 9, 4}, {"(&T)", 5, 5}, {"(&T)", 9, -1},
            {"(&Z)", 301, -1}, {"x", 255, 6}, {"(&N)", 0, -1},
        };
        for (const Case& c : cases)
            QCOMPARE(TContextMenuEx::FindMenuItem(m, c.pattern, c.position), c.index);
    }

    // A send-to choice copies the items to the clipboard, then the target pastes them.
    void sendToDeliversThroughTheClipboard() {
        const std::string target = t_->mkdir("target");
        const std::string app = t_->write("app.desktop", "[Desktop Entry]\nType=Application\nName=記録係\nExec=/bin/true %F\n");
        fillSendTo({{"a link", target}, {"b app.desktop", app}, {"c plain", t_->path("work/b.txt")}});
        const Selection s = select(work_, {"a.txt"});
        menus_.shot = QStringLiteral("ctxmenu_file_sendto");
        menus_.choice = QStringLiteral("sendto1525");
        QVERIFY(show(s));
        QCOMPARE(menus_.sendTo, (QStringList{"a link", "記録係", "c plain"}));
        QCOMPARE(host_.calls, QStringList{QStringLiteral("paste target")});
        QCOMPARE(clipboardFormat(fileformats::kKdeCut), QByteArray("0"));
        QVERIFY(clipboardFormat(fileformats::kUriList).contains("/a.txt"));
        menus_.shot.clear();
        menus_.choice = QStringLiteral("sendto1526");
        QVERIFY(show(s));
        QCOMPARE(host_.calls.last(), QStringLiteral("start app.desktop"));
        // A target that takes no paste: the items are on the clipboard and nothing else.
        QGuiApplication::clipboard()->clear();
        menus_.choice = QStringLiteral("sendto1527");
        QVERIFY(!show(s));
        QCOMPARE(host_.calls.size(), 2);
        QVERIFY(clipboardFormat(fileformats::kUriList).contains("/a.txt"));
        QVERIFY(services_.seen.empty());
    }

    void anEmptySendToFolderAndAFullOne() {
        fillSendTo({});
        QVERIFY(!show(select(work_, {"a.txt"})));
        QVERIFY(menus_.sendTo.isEmpty());
        // With 100 items the handling is off: a choice runs nothing at all.
        std::vector<std::pair<std::string, std::string>> hundred;
        for (int i = 0; i < 100; ++i) hundred.push_back({"to" + std::to_string(i), work_});
        fillSendTo(hundred);
        menus_.choice = QStringLiteral("sendto1525");
        QVERIFY(!show(select(work_, {"a.txt"})));
        QCOMPARE(menus_.sendTo.size(), 100);
        QVERIFY(host_.calls.isEmpty());
        QVERIFY(clipboardEmpty());
        QVERIFY(services_.seen.empty());
    }
};

QTEST_MAIN(DrpcomexTest)
#include "DRPCOMEX_qtest.moc"
