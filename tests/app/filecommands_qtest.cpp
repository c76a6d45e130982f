// The folder and file commands through their buttons and keys on a real window: dig, fill
// in, evict, open the trash, bulk rename, copy under a new name, path copies and Enter.
// The trash is the test's own (XDG_DATA_HOME inside its folder).
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/associations.h"
#include "app/filecommands.h"
#include "app/mein.h"
#include "app/pathcopy.h"
#include "engine/shellfileop.h"
#include "engine/shellfileopdlg.h"
#include "fscomp/DirMontr.h"
#include "mein_fixture.h"
#include "platform/errors.h"
#include "platform/fileops.h"
#include "platform/trash.h"
#include "shellviews/FileView.h"
#include "support/trashhome.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

using namespace g3;
using g3test::Boxes;
using g3test::Folders;
using g3test::TrashHome;

namespace {

void shot(QWidget* w, const char* name) {
    if (qEnvironmentVariableIsSet("G3_SHOTS"))
        w->grab().save(QStringLiteral("/tmp/shots/%1.png").arg(QLatin1String(name)));
}

// A window on a cave of the test's own, with a trash of the test's own.
struct Window {
    TrashHome trash;
    Folders f;
    Boxes boxes;
    TForm1 form{boxes.services()};
    std::string cave = f.scratch("cave");

    Window() {
        boxes.answer = MsgResult::Yes;
        ::mkdir(cave.c_str(), 0755);
        form.resize(900, 500);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        go(cave);
    }
    void go(const std::string& folder) {
        QVERIFY(form.navigateTo(folder));
        QTRY_VERIFY(!form.DirMonitor1()->settingUp());
    }
    std::string at(const std::string& name) const { return joinPath(cave, name); }
    void write(const std::string& name, const std::string& bytes = "x") const { f.write(at(name), bytes); }
    void refresh() { form.treeRefresh(); }
    void select(const std::vector<std::string>& names) {
        refresh();
        QAbstractItemView* v = form.ShellListView1()->itemView();
        v->clearSelection();
        const std::vector<std::string> rows = form.listRowNames();
        for (const auto& n : names) {
            auto it = std::find(rows.begin(), rows.end(), n);
            QVERIFY2(it != rows.end(), n.c_str());
            const QModelIndex i = v->model()->index(int(it - rows.begin()), 0);
            v->selectionModel()->select(i, QItemSelectionModel::Select | QItemSelectionModel::Rows);
            v->selectionModel()->setCurrentIndex(i, QItemSelectionModel::NoUpdate);
        }
    }
    void click(ToolSlot slot) { form.buttonOf(slot)->defaultAction()->trigger(); }
    // A key on the list, with the window active again after whatever modal window was up.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        view()->setFocus();
        QTest::keyClick(view(), Qt::Key(key), modifiers);
    }
    QAbstractItemView* view() const { return form.ShellListView1()->itemView(); }
    QString lastText() const { return boxes.seen.empty() ? QString() : boxes.seen.back().text; }
};

// The next modal input dialog gets its fields filled and OK (or Cancel) pressed.
void answerInput(QDialog& dlg, std::function<void()> fill, bool ok = true, const char* picture = nullptr) {
    QTimer::singleShot(0, &dlg, [&dlg, fill, ok, picture] {
        fill();
        if (picture) shot(&dlg, picture);
        ok ? dlg.accept() : dlg.reject();
    });
}

QString jp(const std::string& s) { return QString::fromStdString(s); }

} // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void digsAndReportsWhatFailed() {
        Window w;
        TPasswordDlg& dlg = w.form.PasswordDlg();
        answerInput(dlg, [&] { dlg.Password->setText(QStringLiteral("写真")); }, true, "dig");
        w.click(ToolSlot::Horu);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("現在の洞窟の下にサブ洞窟を掘ります"));
        QCOMPARE(dlg.OKBtn->text(), QStringLiteral("作成"));
        const std::string made = w.at("写真");
        QVERIFY(isFolder(made));
        QCOMPARE(w.lastText(), "洞窟 " + jp(made) + "\n\r\n\rを作成しました。この洞窟へ進みますか？");
        QCOMPARE(w.boxes.seen.back().kind, MsgKind::Custom);
        QCOMPARE(w.form.CurDir(), made);

        // The same name again, from the cave: the input keeps what was typed.
        w.go(w.cave);
        answerInput(dlg, [] {});
        w.click(ToolSlot::Horu);
        QCOMPARE(dlg.Password->text(), QStringLiteral("写真"));
        QCOMPARE(w.lastText(), "洞窟 " + jp(made) + "\n\r\n\rの作成に失敗しました\n\r" + jp(systemErrorText(EEXIST)));
        QVERIFY(!jp(systemErrorText(EEXIST)).isEmpty());

        const std::size_t before = w.boxes.seen.size();
        answerInput(dlg, [&] { dlg.Password->setText(QStringLiteral("取り消し")); }, false);
        w.click(ToolSlot::Horu);
        QVERIFY(!pathExists(w.at("取り消し")));
        QCOMPARE(w.boxes.seen.size(), before);
    }

    void fillsInOnlyWhatMayGo() {
        Window w;
        const std::string sub = w.at("sub");
        ::mkdir(sub.c_str(), 0755);
        w.write("sub/keep.txt", "keep");

        // Ground level: "/" and the root of a mounted file system.
        w.go("/");
        w.click(ToolSlot::Umeru);
        QCOMPARE(w.lastText(), QStringLiteral("地表や惑星直下\n\rは埋めませんのでご了承ください"));
        QCOMPARE(w.form.CurDir(), std::string("/"));

        // The program's own working folder stays.
        w.go(sub);
        char before[4096];
        QVERIFY(getcwd(before, sizeof before));
        QVERIFY(chdir(sub.c_str()) == 0);
        w.click(ToolSlot::Umeru);
        QVERIFY(chdir(before) == 0);
        QVERIFY(w.lastText().contains(QStringLiteral("このプログラムが今いる")));
        QVERIFY(isFolder(sub));
        // The same when the cave is shown through a link above it.
        QVERIFY(::symlink(w.cave.c_str(), w.f.scratch("linked").c_str()) == 0);
        w.go(joinPath(w.f.scratch("linked"), "sub"));
        QVERIFY(chdir(sub.c_str()) == 0);
        w.click(ToolSlot::Umeru);
        QVERIFY(chdir(before) == 0);
        QVERIFY(w.lastText().contains(QStringLiteral("このプログラムが今いる")));
        QVERIFY(isFolder(sub));
        w.go(sub);

        // Answered no: the cave stays and is shown again.
        w.boxes.answer = MsgResult::No;
        w.click(ToolSlot::Umeru);
        QCOMPARE(w.lastText(), QStringLiteral("洞窟「sub」を中身ごとごみ箱へ送りますか？"));
        QVERIFY(isFolder(sub));
        QCOMPARE(w.form.CurDir(), sub);

        // Answered yes: it goes whole, and the cave above is shown.
        w.boxes.answer = MsgResult::Yes;
        w.click(ToolSlot::Umeru);
        QVERIFY(!pathExists(sub));
        QCOMPARE(w.f.read(w.trash.trashed("sub/keep.txt")), std::string("keep"));
        QCOMPARE(w.form.CurDir(), w.cave);
    }

    void evictsTheSelectionAndItComesBack() {
        Window w;
        const std::string odd = "\xff\xfe" "家.txt";
        w.write("a.txt", "a");
        w.write(odd, "odd");
        w.select({"a.txt", odd});
        w.click(ToolSlot::Tatinok);
        QCOMPARE(w.lastText(), QStringLiteral("これら 2 個の家や洞窟をごみ箱へ送りますか？"));
        QVERIFY(!pathExists(w.at("a.txt")));
        QVERIFY(!pathExists(w.at(odd)));
        QCOMPARE(w.f.read(w.trash.trashed(odd)), std::string("odd"));
        for (const TrashEntry& e : listTrash())
            if (e.originalPath == w.at(odd)) QCOMPARE(restoreFromTrash(e), 0);
        QCOMPARE(w.f.read(w.at(odd)), std::string("odd"));

        // The Delete key asks the same question; no keeps the house.
        w.boxes.answer = MsgResult::No;
        w.select({odd});
        w.press(Qt::Key_Delete);
        QCOMPARE(w.lastText(), jp("家「" + std::string("\xef\xbf\xbd\xef\xbf\xbd") + "家.txt」をごみ箱へ送りますか？"));
        QVERIFY(pathExists(w.at(odd)));
        ::unlink(w.at(odd).c_str()); // the fixture's folder removal reads names as text

        // In the trash itself nothing is sent again: the house keeps its one record.
        w.boxes.answer = MsgResult::Yes;
        w.go(parentFolder(w.trash.trashed("a.txt")));
        w.select({"a.txt"});
        w.click(ToolSlot::Tatinok);
        QCOMPARE(w.lastText(), QStringLiteral("ごみ箱の中の家や洞窟は、もうごみ箱に入っています"));
        QCOMPARE(w.f.read(w.trash.trashed("a.txt")), std::string("a"));

        // A protected folder is refused, with the system's sentence.
        w.go("/");
        w.select({"usr"});
        w.click(ToolSlot::Tatinok);
        QCOMPARE(w.lastText(), QStringLiteral("/usr\n\rは埋めませんのでご了承ください"));
        QVERIFY(isFolder("/usr"));
    }

    void trashFailuresAreReportedAndNothingMoves() {
        Window w;
        // No trash can be made where a house of that name stands.
        w.f.write(w.trash.trash(), "not a folder");
        w.write("stays.txt", "stays");
        w.select({"stays.txt"});
        w.click(ToolSlot::Tatinok);
        QCOMPARE(w.f.read(w.at("stays.txt")), std::string("stays"));
        QVERIFY(w.lastText().startsWith(QStringLiteral("1 個の家や洞窟はごみ箱へ送れなかったので、元の場所に残っています。")));
        QVERIFY(w.lastText().contains("「" + jp(w.at("stays.txt")) + "」をごみ箱へ送れません。"));
    }

    void bulkRenameChangesOnlyExactMatches() {
        Window w;
        const std::string ab = w.at("AB");
        ::mkdir(ab.c_str(), 0755);
        for (const char* n : {"abcABde.txt", "ABAB.doc", "ab.txt", "oneAB.txt", "oneXYZ.txt"})
            w.f.write(joinPath(ab, n), n);
        ::mkdir(joinPath(ab, "ABsub").c_str(), 0755);
        w.go(ab);
        TPasswordDlg2& dlg = w.form.PasswordDlg2();
        answerInput(dlg, [&] {
            dlg.Password->setText(QStringLiteral("AB"));
            dlg.Edit1->setText(QStringLiteral("XYZ"));
        }, true, "bulk-rename");
        w.click(ToolSlot::NamHenkou);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("現在洞窟内の表札名一括変更"));
        w.refresh();
        std::vector<std::string> names = w.form.listRowNames();
        std::sort(names.begin(), names.end());
        // ab.txt matches the mask but not the case; oneAB.txt would replace oneXYZ.txt.
        const std::vector<std::string> expected{"XYZXYZ.doc", "XYZsub", "ab.txt", "abcXYZde.txt", "oneAB.txt", "oneXYZ.txt"};
        QCOMPARE(names, expected);
        QCOMPARE(w.f.read(joinPath(ab, "oneXYZ.txt")), std::string("oneXYZ.txt"));
        QVERIFY(isFolder(ab)); // only names inside change
        QCOMPARE(w.form.fileCommands().renameBefore(), std::string("AB"));
        // The house that kept its nameplate is named, not skipped in silence.
        QVERIFY(w.lastText().startsWith(QStringLiteral("表札名を変えられなかった家や洞窟があります。")));
        QVERIFY(w.lastText().contains(QStringLiteral("oneAB.txt（")));

        // A "/" in the new text would move the houses elsewhere ("../" out of the cave): refused.
        const std::size_t seen = w.boxes.seen.size();
        answerInput(dlg, [&] {
            dlg.Password->setText(QStringLiteral("XYZ"));
            dlg.Edit1->setText(QStringLiteral("../"));
        });
        w.click(ToolSlot::NamHenkou);
        QCOMPARE(w.boxes.seen.size(), seen + 1);
        QCOMPARE(w.lastText(), QStringLiteral("表札名に「/」は使えません"));
        w.refresh();
        names = w.form.listRowNames();
        std::sort(names.begin(), names.end());
        QCOMPARE(names, expected);

        // An empty before-text renames nothing.
        answerInput(dlg, [&] {
            dlg.Password->clear();
            dlg.Edit1->setText(QStringLiteral("Q"));
        });
        w.click(ToolSlot::NamHenkou);
        w.refresh();
        names = w.form.listRowNames();
        std::sort(names.begin(), names.end());
        QCOMPARE(names, expected);
    }

    void copiesUnderANewName() {
        Window w;
        w.write("a.txt", "contents");
        w.select({"a.txt"});
        TPasswordDlg& dlg = w.form.PasswordDlg();
        answerInput(dlg, [&] {
            QCOMPARE(dlg.Password->text(), QStringLiteral("a.txt"));
            dlg.Password->setText(QStringLiteral("写し.txt"));
        }, true, "copy-under-new-name");
        w.click(ToolSlot::NamHenCopy);
        QCOMPARE(dlg.OKBtn->text(), QStringLiteral("建て増し"));
        QCOMPARE(dlg.windowTitle(), jp(w.cave));
        QCOMPARE(dlg.Label1->text(), displayLines(QStringLiteral("a.txt\r\nを名前を変えて建て増しします。新たな表札名を入力してね")));
        QCOMPARE(w.f.read(w.at("写し.txt")), std::string("contents"));

        // The name left as it was: the house exists, so the question comes; no stops.
        w.boxes.answer = MsgResult::No;
        w.select({"a.txt"});
        answerInput(dlg, [&] { dlg.Password->setText(QStringLiteral("a.txt")); });
        w.click(ToolSlot::NamHenCopy);
        QCOMPARE(w.lastText(), jp(w.at("a.txt")) + "\r\nが既に有ります。上書き建て増ししますか？");
        // Yes: a copy onto itself is refused, and the house is as it was.
        w.boxes.answer = MsgResult::OK;
        const std::size_t asked = w.boxes.seen.size();
        w.boxes.answer = MsgResult::Yes;
        answerInput(dlg, [] {});
        w.click(ToolSlot::NamHenCopy);
        QVERIFY(w.boxes.seen.size() >= asked + 2);
        QVERIFY(w.lastText().contains(QStringLiteral("同じ家")));
        QCOMPARE(w.f.read(w.at("a.txt")), std::string("contents"));

        // A cave's name: the house goes into it, and what it would replace there is asked
        // about first (No keeps it).
        ::mkdir(w.at("b").c_str(), 0755);
        w.write("b/a.txt", "keep");
        w.boxes.answer = MsgResult::No;
        w.select({"a.txt"});
        answerInput(dlg, [&] { dlg.Password->setText(QStringLiteral("b")); });
        w.click(ToolSlot::NamHenCopy);
        QCOMPARE(w.f.read(w.at("b/a.txt")), std::string("keep"));
        w.boxes.answer = MsgResult::Yes;
        w.select({"a.txt"});
        answerInput(dlg, [&] { dlg.Password->setText(QStringLiteral("b")); });
        w.click(ToolSlot::NamHenCopy);
        QCOMPARE(w.f.read(w.at("b/a.txt")), std::string("contents"));

        // A "/" in the name would put the copy in another cave: refused, nothing made.
        w.select({"a.txt"});
        answerInput(dlg, [&] { dlg.Password->setText(QStringLiteral("b/c.txt")); });
        w.click(ToolSlot::NamHenCopy);
        QCOMPARE(w.lastText(), QStringLiteral("表札名に「/」は使えません"));
        QVERIFY(!pathExists(w.at("b/c.txt")));

        // Nothing without exactly one selected house.
        w.select({"a.txt", "写し.txt"});
        const std::size_t seen = w.boxes.seen.size();
        w.click(ToolSlot::NamHenCopy);
        QCOMPARE(w.boxes.seen.size(), seen);
    }

    void pathCopiesOfOneSelectedHouse() {
        Window w;
        const std::string dir = w.at("表示:版");
        ::mkdir(dir.c_str(), 0755);
        w.f.write(joinPath(dir, "x.txt"), std::string(1234, 'x'));
        w.go(dir);
        w.select({"x.txt"});
        QMenu* menu = w.form.pathCopy().popPasCopy();
        w.form.pathCopy().popPasCopyPopup();
        // The association's item closes the menu and follows its rule.
        QCOMPARE(menu->actions().last(), w.form.associations().pmF04());
        QVERIFY(menu->actions().last()->isEnabled());
        struct Case {
            const char* item;
            std::string expected;
        } cases[] = {
            {"pmF01", dir + "/x.txt"},
            {"pmF05", PathCopyController::flatPath(dir + "/x.txt")},
            {"pmF02", PathCopyController::slashPath(dir + "/x.txt")},
            {"pmF03", "1,234バイト(" + w.form.selectedItemText(3) + ")"},
        };
        for (const Case& c : cases) {
            QAction* a = menu->findChild<QAction*>(QString::fromLatin1(c.item));
            QVERIFY2(a && a->isEnabled(), c.item);
            a->trigger();
            QCOMPARE(QGuiApplication::clipboard()->text(), jp(c.expected));
        }
        QVERIFY(jp(PathCopyController::slashPath(dir)).endsWith(QStringLiteral("/cave/表示_版")));
        QCOMPARE(PathCopyController::flatPath("/data:1/a.txt"), std::string("_data_1_a.txt"));
        QVERIFY(!w.form.selectedItemText(3).empty());

        w.select({});
        w.form.pathCopy().popPasCopyPopup();
        for (QAction* a : menu->actions()) QVERIFY(!a->isEnabled());
    }

    void enterOpensEntersOrAsksFirst() {
        Window w;
        ::mkdir(w.at("sub").c_str(), 0755);
        w.write("readme.txt", "read me");
        w.write("setup.exe", "MZ");
        w.write("tool", "#!/bin/sh\nexit 0\n");
        ::chmod(w.at("tool").c_str(), 0755);
        w.boxes.answer = MsgResult::No;
        struct Case {
            const char* name;
            bool asks, opens;
        } cases[] = {{"readme.txt", false, true}, {"setup.exe", true, false}, {"tool", true, false}};
        for (const Case& c : cases) {
            w.select({c.name});
            w.boxes.seen.clear();
            w.boxes.opened.clear();
            w.press(Qt::Key_Return);
            QCOMPARE(!w.boxes.seen.empty(), c.asks);
            if (c.asks)
                QCOMPARE(w.lastText(), QStringLiteral("Grottan2 より確認\n\r\n\rEXEの家を実行しようとしてますが、いいですか？"));
            QCOMPARE(w.boxes.opened.size(), std::size_t(c.opens ? 1 : 0));
            if (c.opens) QCOMPARE(w.boxes.opened[0], std::make_pair(w.at(c.name), w.cave));
        }
        w.boxes.answer = MsgResult::Yes;
        w.select({"tool"});
        w.press(Qt::Key_Return);
        QCOMPARE(w.boxes.opened.size(), std::size_t(1));
        w.select({"sub"});
        w.press(Qt::Key_Return);
        QCOMPARE(w.form.CurDir(), w.at("sub"));
    }

    void theTrashOpensInTheDesktopsFileManagerOrHere() {
        Window w;
        // No file manager of the desktop: the program shows the home trash's houses.
        g3test::TempDir xdg;
        const std::string config = xdg.mkdir("config"), dirs = xdg.mkdir("dirs");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config));
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(dirs));
        qputenv("XDG_CONFIG_DIRS", QByteArray::fromStdString(dirs));
        w.click(ToolSlot::GomiOpen);
        QCOMPARE(w.form.CurDir(), joinPath(w.trash.trash(), "files"));

        // Another file manager: it gets trash:///.
        const std::string record = xdg.path("args"), program = xdg.write("fm.sh", "#!/bin/sh\necho \"$@\" > '" + record + "'\n");
        ::chmod(program.c_str(), 0755);
        xdg.write("data-apps/applications/other-fm.desktop",
                  "[Desktop Entry]\nType=Application\nName=Other\nExec=" + program + " %U\nMimeType=inode/directory;\n");
        xdg.write("config/mimeapps.list", "[Default Applications]\ninode/directory=other-fm.desktop\n");
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(xdg.path("data-apps")));
        const bool haveTools = !QStandardPaths::findExecutable("xdg-mime").isEmpty() && !QStandardPaths::findExecutable("gio").isEmpty();
        if (haveTools) {
            QCOMPARE(FileCommandsController::otherFileManager(), std::string("other-fm.desktop"));
            w.click(ToolSlot::GomiOpen);
            QTRY_COMPARE(w.f.read(record), std::string("trash:///\n"));
        }
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_DIRS");
        qunsetenv("XDG_CONFIG_DIRS");
        if (!haveTools) QSKIP("xdg-mime or gio is not installed");
    }

    void keysRunTheButtonsCommands() {
        Window w;
        for (const char* n : {"one", "two"}) ::mkdir(w.at(n).c_str(), 0755);
        w.go(w.at("one"));
        w.go(w.at("two"));
        w.press(Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(w.form.CurDir(), w.at("one"));
        w.press(Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(w.form.CurDir(), w.at("two"));
        w.press(Qt::Key_Backspace);
        QCOMPARE(w.form.CurDir(), w.cave);
        w.press(Qt::Key_Left, Qt::AltModifier); // back to two
        QCOMPARE(w.form.CurDir(), w.at("two"));
        w.press(Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(w.form.CurDir(), w.cave);

        // Ctrl+Shift+N digs; a rename's editor keeps Delete for itself.
        TPasswordDlg& dlg = w.form.PasswordDlg();
        answerInput(dlg, [&] { dlg.Password->setText(QStringLiteral("キー")); });
        w.boxes.answer = MsgResult::No;
        w.press(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(isFolder(w.at("キー")));
        w.write("house.txt");
        w.select({"house.txt"});
        w.boxes.seen.clear();
        w.press(Qt::Key_F2);
        QLineEdit* editor = w.view()->findChild<QLineEdit*>();
        QVERIFY(editor && editor->isVisible());
        QTest::keyClick(editor, Qt::Key_Delete);
        QVERIFY(w.boxes.seen.empty());
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(pathExists(w.at("house.txt")));
    }

    void trashConfirmationOnScreen() {
        if (!qEnvironmentVariableIsSet("G3_SHOTS")) QSKIP("G3_SHOTS not set");
        ScreenMessageBoxes screen;
        ShellFileOpRequest r;
        r.func = FO_DELETE;
        r.from = {"/tmp/報告書.txt", "/tmp/写真"};
        r.flags = FOF_ALLOWUNDO | FOF_SIMPLEPROGRESS;
        QTimer::singleShot(300, [] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                shot(box, "trash-confirmation");
                box->close();
            }
        });
        screen.messageBox(nullptr, deleteQuestionText(r), deleteQuestionCaption(r), MsgKind::Confirmation, mbYes | mbNo);
    }
};

QTEST_MAIN(FileCommandsTest)
#include "filecommands_qtest.moc"
