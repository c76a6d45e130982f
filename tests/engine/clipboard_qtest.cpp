// The clipboard transfer and the shell file operation's window, in temporary trees. Boxes
// are answered through the message-box seam.
#include "ui/msgbox.h"
#include "engine/clipboard_ui.h"
#include "engine/clipformats.h"
#include "engine/shellfileopdlg.h"
#include "platform/errors.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace g3;
using namespace g3test;

namespace {

// Answers every box with the given function.
struct Answering : MessageBoxes {
    std::function<MsgResult(const MessageRequest&)> answer;
    QList<MessageRequest> asked;
    explicit Answering(std::function<MsgResult(const MessageRequest&)> f) : answer(std::move(f)) {}
    MsgResult show(const MessageRequest& m, QWidget*) override {
        asked << m;
        return answer(m);
    }
};

void putOnClipboard(const QByteArray& format, const QByteArray& payload) {
    auto* d = new QMimeData;
    d->setData(format, payload);
    QGuiApplication::clipboard()->setMimeData(d);
}

void saveShot(QWidget* w, const QString& name) {
    QDir().mkpath("/tmp/shots");
    w->grab().save("/tmp/shots/" + name + ".png");
}

} // namespace

class ClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void twoFilesCopiedAndPasted() {
        TempDir t;
        t.write("src/a.txt", "A");
        t.write("src/b\xff\nname", "B");
        t.mkdir("dst");
        CopyFilesToClipboard(t.path("src"), {"a.txt", "b\xff\nname"});
        const QMimeData* d = QGuiApplication::clipboard()->mimeData();
        QVERIFY(d->data("x-special/gnome-copied-files").startsWith("copy\n"));
        QCOMPARE(d->data("application/x-kde-cutselection"), QByteArray("0"));
        Answering none([](const MessageRequest&) { return MsgResult::Cancel; });
        QCOMPARE(PasteFiles(t.path("dst"), none), 0);
        QCOMPARE(readFile(t.path("dst/a.txt")), std::string("A"));
        QCOMPARE(readFile(t.path("dst/b\xff\nname")), std::string("B"));
        QVERIFY(exists(t.path("src/a.txt")));
        QVERIFY(none.asked.isEmpty());
    }

    void noNamesLeavesTheClipboard() {
        ScreenMessageBoxes screen;
        putOnClipboard("text/plain", "kept");
        CopyFilesToClipboard("/tmp", {});
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("text/plain"), QByteArray("kept"));
        TempDir t;
        QCOMPARE(PasteFiles(t.root(), screen), 0); // no files named: nothing happens
        QVERIFY(QDir(QString::fromStdString(t.root())).isEmpty());
    }

    void theRootGivesSlashName() {
        CopyFilesToClipboard("/", {"name"});
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("text/uri-list"),
                 QByteArray("file:///name\r\n"));
    }

    void aCutFromAnotherProgramIsCopied() {
        ScreenMessageBoxes screen;
        TempDir t;
        std::string src = t.write("from/x y.txt", "X");
        t.mkdir("to");
        putOnClipboard("x-special/gnome-copied-files", "cut\n" + fileUriOf(src));
        QCOMPARE(PasteFiles(t.path("to"), screen), 0);
        QCOMPARE(readFile(t.path("to/x y.txt")), std::string("X"));
        QCOMPARE(readFile(src), std::string("X"));
        // The KDE form with its cut mark too.
        auto* d = new QMimeData;
        d->setData("text/uri-list", fileUriOf(src) + "\r\n");
        d->setData("application/x-kde-cutselection", "1");
        QGuiApplication::clipboard()->setMimeData(d);
        t.mkdir("to2");
        QCOMPARE(PasteFiles(t.path("to2"), screen), 0);
        QVERIFY(exists(t.path("to2/x y.txt")));
        QVERIFY(exists(src));
    }

    void aFolderIsPastedWhole() {
        ScreenMessageBoxes screen;
        TempDir t;
        t.write("tree/sub/deep/f.bin", "F");
        t.write("tree/top.txt", "T");
        t.mkdir("tree/empty");
        t.mkdir("out");
        CopyFilesToClipboard(t.root(), {"tree"});
        QCOMPARE(PasteFiles(t.path("out"), screen), 0);
        QCOMPARE(readFile(t.path("out/tree/sub/deep/f.bin")), std::string("F"));
        QCOMPARE(readFile(t.path("out/tree/top.txt")), std::string("T"));
        QVERIFY(QDir(QString::fromStdString(t.path("out/tree/empty"))).exists());
    }

    void replaceQuestionAnswers() {
        TempDir t;
        for (const char* n : {"1", "2", "3"}) {
            t.write(std::string("s/") + n, "new");
            t.write(std::string("d/") + n, "old");
        }
        CopyFilesToClipboard(t.path("s"), {"1", "2", "3"});
        {   // No for the first, Yes for the second, Yes to all covers the third unasked.
            int n = 0;
            Answering a([&](const MessageRequest& m) {
                if (m.buttons != (mbYes | mbYesToAll | mbNo | mbCancel)) return MsgResult::OK;
                return ++n == 1 ? MsgResult::No : MsgResult::YesToAll;
            });
            QCOMPARE(PasteFiles(t.path("d"), a), 0);
            QCOMPARE(a.asked.size(), 2);
            QCOMPARE(a.asked[0].caption, QStringLiteral("家の置き換えの確認"));
            QVERIFY(a.asked[0].text.startsWith("この洞窟には既に「1」という家があります。"));
            QVERIFY(a.asked[0].text.contains("3Byte"));
        }
        QCOMPARE(readFile(t.path("d/1")), std::string("old"));
        QCOMPARE(readFile(t.path("d/2")), std::string("new"));
        QCOMPARE(readFile(t.path("d/3")), std::string("new"));
        // FOF_NOCONFIRMATION asks nothing.
        t.write("s/1", "newest");
        ShellFileOpRequest req{FO_COPY, {t.path("s/1")}, t.path("d"), FOF_NOCONFIRMATION, "上書き"};
        ShellFileOperation op(req);
        Answering a([](const MessageRequest&) { return MsgResult::Cancel; });
        QCOMPARE(runShellFileOperation(op, a), 0);
        QVERIFY(a.asked.isEmpty());
        QCOMPARE(readFile(t.path("d/1")), std::string("newest"));
    }

    void cancelStopsCleanly() {
        TempDir t;
        for (const char* n : {"a", "b", "c"}) t.write(std::string("s/") + n, "new");
        t.write("d/a", "old");
        ShellFileOpRequest req{FO_COPY, {t.path("s/a"), t.path("s/b"), t.path("s/c")},
                               t.path("d"), FOF_ALLOWUNDO, "テスト"};
        ShellFileOperation op(req);
        TShellFileOpDlg* shown = nullptr;
        QString title;
        Answering a([&](const MessageRequest&) {
            // While the job waits for the answer, the user presses the window's cancel.
            shown = qobject_cast<TShellFileOpDlg*>(QApplication::activeModalWidget());
            if (shown) {
                title = shown->windowTitle();
                shown->btnCancel->click();
            }
            return MsgResult::No;
        });
        QCOMPARE(runShellFileOperation(op, a), kErrorCancelled);
        QVERIFY(shown != nullptr);
        QCOMPARE(title, QStringLiteral("テスト"));
        QCOMPARE(readFile(t.path("d/a")), std::string("old"));
        QVERIFY(!exists(t.path("d/b")));
        QVERIFY(!exists(t.path("d/c")));
        // The replace question's own キャンセル stops it as well.
        Answering c([](const MessageRequest&) { return MsgResult::Cancel; });
        ShellFileOperation op2(req);
        QCOMPARE(runShellFileOperation(op2, c), kErrorCancelled);
        QVERIFY(!exists(t.path("d/b")));
    }

    void errorsInTheWindowsVoice() {
        TempDir t;
        t.write("f/in/x", "x");
        ShellFileOpRequest req{FO_COPY, {t.path("f")}, t.path("f/in"), 0, {}};
        ShellFileOperation op(req);
        Answering a([](const MessageRequest&) { return MsgResult::OK; });
        QCOMPARE(runShellFileOperation(op, a), kErrorCancelled);
        QCOMPARE(a.asked.size(), 1);
        QCOMPARE(a.asked[0].kind, MsgKind::Error);
        QCOMPARE(a.asked[0].text, "洞窟「" + QString::fromStdString(t.path("f")) +
                                      "」を、その中の洞窟「" +
                                      QString::fromStdString(t.path("f/in")) +
                                      "」へコピーすることはできません。");
        QVERIFY(!exists(t.path("f/in/f")));
        // A missing source: OK goes on with the next item.
        t.write("ok", "1");
        t.mkdir("out");
        ShellFileOpRequest miss{FO_COPY, {t.path("gone"), t.path("ok")}, t.path("out"), 0, {}};
        ShellFileOperation op2(miss);
        QVERIFY(runShellFileOperation(op2, a) != 0);
        QVERIFY(a.asked.last().text.startsWith("「" + QString::fromStdString(t.path("gone")) +
                                               "」をコピーできません。"));
        QVERIFY(exists(t.path("out/ok")));
    }

    // The window and the real replace question, looked at as pictures.
    void screenshots() {
        ScreenMessageBoxes screen;
        TempDir t;
        t.write("s/報告書.txt", std::string(5000, 'n'));
        t.write("d/報告書.txt", "old");
        ShellFileOpRequest req{FO_COPY, {t.path("s/報告書.txt")}, t.path("d"), FOF_ALLOWUNDO,
                               "家をコピーしています"};
        ShellFileOperation op(req);
        bool grabbed = false;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || grabbed) return;
            grabbed = true;
            if (auto* dlg = qobject_cast<TShellFileOpDlg*>(box->parentWidget())) {
                dlg->refresh();
                saveShot(dlg, "shellfileop");
            }
            saveShot(box, "replace_question");
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QStringLiteral("すべてはい(&A)")) b->click();
        });
        poll.start();
        QCOMPARE(runShellFileOperation(op, screen), 0);
        QVERIFY(grabbed);
        QCOMPARE(readFile(t.path("d/報告書.txt")).size(), size_t(5000));
    }
};

QTEST_MAIN(ClipboardTest)
#include "clipboard_qtest.moc"
