// The thaw and freeze commands with the real modules from DLL/ beside this program, in a
// running application: the modules' windows come up over the owner window and go again.
#include "archive/archivebridge.h"
#include "fake_archive_context.h"
#include "support/tempdir.h"

#include "platform/paths.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <cstdlib>
#include <functional>
#include <unistd.h>

namespace {

bool shell(const std::string& command) {
    return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
}

// Answers the next modal message box that comes up (a module's, which no seam of ours
// reaches) with the button whose text starts with `button`, noting what it showed.
struct BoxAnswer {
    QString caption, text;
    QWidget* parent = nullptr;
};
void answerNextBox(const QString& button, BoxAnswer& seen) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, button, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        timer->stop();
        timer->deleteLater();
        seen = {box->windowTitle(), box->text(), box->parentWidget()};
        for (QAbstractButton* b : box->buttons())
            if (b->text().startsWith(button)) b->click();
    });
    timer->start(5);
}

} // namespace

class ArchiveBridgeWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        tmp = std::make_unique<g3test::TempDir>();
        ctx = g3test::FakeArchiveContext{};
        ctx.owner = &window;
        ctx.current = tmp->mkdir("dl");
        tmp->write("stage/a.txt", "alpha");
        tmp->write("stage/sub/b.txt", "beta");
        QVERIFY(shell("cd " + tmp->path("stage") + " && bsdtar --format zip -cf " +
                      tmp->path("dl/photos.zip") + " a.txt sub"));
        ctx.selected = tmp->path("dl/photos.zip");
    }

    // The commands leave the process in the folder they worked in, which goes with tmp.
    void cleanup() { QCOMPARE(chdir("/"), 0); }

    void thawExtractsAndShowsTheNewFolder() {
        g3::ArchiveBridge(ctx).failkaito();
        QCOMPARE(g3test::readFile(tmp->path("dl/photos/sub/b.txt")), std::string("beta"));
        QCOMPARE(ctx.current, tmp->path("dl/photos"));
        QCOMPARE(QString::fromStdString(ctx.log.back()), QString("refresh"));
    }

    void anExistingHouseIsKeptWhenTheUserSaysNo() {
        tmp->write("dl/photos/a.txt", "mine");
        BoxAnswer seen;
        answerNextBox(QString::fromUtf8("いいえ"), seen);
        g3::ArchiveBridge(ctx).failkaito();
        QCOMPARE(seen.caption, QString::fromUtf8("家の置き換えの確認"));
        QCOMPARE(g3test::readFile(tmp->path("dl/photos/a.txt")), std::string("mine"));
        QCOMPARE(g3test::readFile(tmp->path("dl/photos/sub/b.txt")), std::string("beta"));
    }

    void aDamagedArchiveEndsInTheModulesReportOverTheWindow() {
        g3test::writeFile(tmp->path("dl/broken.zip"), "PK\x03\x04 not much of an estate");
        ctx.selected = tmp->path("dl/broken.zip");
        BoxAnswer seen;
        answerNextBox("OK", seen);
        g3::ArchiveBridge(ctx).failkaito();
        QCOMPARE(seen.caption, QString::fromUtf8("解凍のエラー"));
        QVERIFY(seen.text.startsWith(
            QString::fromUtf8("冷凍団地「broken.zip」を解凍できませんでした。")));
        QCOMPARE(seen.parent, &window);
        // No folder was made, so the window stays where it was.
        QCOMPARE(ctx.current, tmp->path("dl"));
    }

    void freezeMakesA7zArchiveOfTheFolder() {
        ctx.current = tmp->path("stage");
        ctx.typedName = "work";
        g3::ArchiveBridge(ctx).failasyuk();
        const std::string archive = tmp->path("stage/work.7z");
        QVERIFY(g3test::exists(archive));
        if (shell("command -v 7z")) QVERIFY(shell("7z t " + archive));
        QVERIFY(shell("bsdtar -tf " + archive +
                      " | sort | tr '\\n' ' ' | grep -qx 'a.txt sub/b.txt '"));
    }

private:
    QMainWindow window;
    std::unique_ptr<g3test::TempDir> tmp;
    g3test::FakeArchiveContext ctx;
};

QTEST_MAIN(ArchiveBridgeWindowTest)
#include "archivebridge_qtest.moc"
