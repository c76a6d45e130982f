// The clipboard against another X client (xclip) on the display in G3_XVFB_DISPLAY; skipped
// without one.
#include "ui/msgbox.h"
#include "engine/clipboard_ui.h"
#include "support/testservices.h"
#include "engine/clipformats.h"
#include "support/tempdir.h"
#include "xvfb_main.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

using namespace g3;
using namespace g3test;

namespace {

// Runs xclip while this process keeps serving the selection; its output.
QByteArray xclip(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start("xclip", QStringList{"-selection", "clipboard"} + args);
    if (!p.waitForStarted(5000)) return "<no xclip>";
    if (!input.isNull()) {
        p.write(input);
        p.closeWriteChannel();
    }
    QElapsedTimer clock;
    clock.start();
    while (p.state() != QProcess::NotRunning && clock.elapsed() < 10000)
        QTest::qWait(10);
    return p.readAllStandardOutput();
}

// Waits until the clipboard offers the format (another client's data arrives by events).
bool waitForFormat(const QString& format) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        const QMimeData* d = QGuiApplication::clipboard()->mimeData();
        if (d && d->hasFormat(format)) return true;
        QTest::qWait(20);
    }
    return false;
}

} // namespace

class ClipboardX11Test : public QObject {
    Q_OBJECT
private slots:
    void init() {
        if (g3test::xvfbDisplay().isEmpty()) QSKIP("no X display (G3_XVFB_DISPLAY)");
    }

    void ourFilesReadBackByXclip() {
        TempDir t;
        t.write("a b.txt", "1");
        t.write("raw\xff", "2");
        CopyFilesToClipboard(t.root(), {"a b.txt", "raw\xff"});
        const QByteArray a = fileUriOf(t.path("a b.txt")), b = fileUriOf(t.path("raw\xff"));
        QCOMPARE(xclip({"-t", "x-special/gnome-copied-files", "-o"}), "copy\n" + a + "\n" + b);
        QCOMPARE(xclip({"-t", "text/uri-list", "-o"}), a + "\r\n" + b + "\r\n");
    }

    void aListPutByXclipIsPasted() {
        TempDir t;
        const std::string src = t.write("from/x\xe6\x97\xa5.txt", "X");
        t.mkdir("to");
        // xclip stays in the background serving the selection until someone else owns it.
        xclip({"-t", "x-special/gnome-copied-files", "-i"}, "cut\n" + fileUriOf(src));
        QVERIFY(waitForFormat("x-special/gnome-copied-files"));
        TestServices boxes;
        boxes.answer = MsgResult::Cancel;
        QCOMPARE(PasteFiles(t.path("to"), boxes), 0);
        QCOMPARE(readFile(t.path("to/x\xe6\x97\xa5.txt")), std::string("X"));
        QVERIFY(exists(src));
        QGuiApplication::clipboard()->setText("done"); // ends the xclip server
    }
};

int main(int argc, char** argv) { return g3test::runOnXvfb<ClipboardX11Test>(argc, argv); }

#include "clipboard_x11_qtest.moc"
