// The folder browse component: preselection, the status line, OK and Cancel.
#include "app/FldrDlg.h"
#include "shellviews/FolderView.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace g3;

namespace {

// Runs act on the browse window once Execute shows it.
void whenBrowsing(TFolderDialog& dlg, std::function<void(TFolderBrowser&)> act) {
    QTimer::singleShot(0, &dlg, [&dlg, act] {
        TFolderBrowser* w = dlg.browser();
        QVERIFY(w);
        act(*w);
        if (w->isVisible()) w->done(-1); // a failed check must not leave the window open
    });
}

} // namespace

class FolderDialogTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    std::string a, b;

private slots:
    void initTestCase() {
        QVERIFY(tmp.isValid());
        const std::string root = QFile::encodeName(tmp.path()).toStdString();
        a = root + "/洞窟 a";
        b = root + "/b\xff\xfe odd";
        // The names are bytes; QDir would turn the invalid UTF-8 of b into other bytes.
        for (const std::string& p : {a, a + "/inner", b}) QCOMPARE(::mkdir(p.c_str(), 0700), 0);
    }

    void cleanupTestCase() {
        for (const std::string& p : {b, a + "/inner", a}) ::rmdir(p.c_str());
    }

    void defaults() {
        TFolderDialog d;
        QVERIFY(d.Title.empty());
        QCOMPARE(d.Option, TFolderDlgOptions(bifReturnOnlyFSDirs | bifStatusText));
        QVERIFY(d.Folder.empty());
        QVERIFY(!d.browser());
    }

    void missingInitialFolderOpensWithoutPreselection() {
        TFolderDialog d;
        d.Title = "建て増し先の洞窟指定";
        d.Folder = a + "/gone";
        bool checked = false;
        whenBrowsing(d, [&](TFolderBrowser& w) {
            QCOMPARE(w.titleLabel->text(), QStringLiteral("建て増し先の洞窟指定"));
            QVERIFY(!w.tree->currentIndex().isValid());
            QVERIFY(!w.okButton->isEnabled());
            QVERIFY(w.statusLabel->text().isEmpty());
            // The desktop is the one top item, opened.
            QCOMPARE(w.tree->model()->rowCount(), 1);
            const QModelIndex desktop = w.tree->model()->index(0, 0);
            QVERIFY(w.tree->isExpanded(desktop));
            // Folders below a branch nobody opened are not listed yet.
            const int items = w.tree->model()->rowCount(desktop);
            QVERIFY(items > 0);
            for (int i = 0; i < items; ++i)
                QCOMPARE(w.tree->model()->rowCount(w.tree->model()->index(i, 0, desktop)), 0);
            checked = true;
            w.cancelButton->click();
        });
        QVERIFY(!d.Execute());
        QVERIFY(checked);
        QCOMPARE(d.Folder, a + "/gone");
    }

    void existingFolderIsPreselectedAndOkReturnsIt() {
        TFolderDialog d;
        d.Folder = b;
        whenBrowsing(d, [&](TFolderBrowser& w) {
            std::string sel;
            QVERIFY(w.selectedPath(sel));
            QCOMPARE(sel, b);
            QCOMPARE(w.statusLabel->text(), QString::fromUtf8(b));
            QVERIFY(!w.statusLabel->isHidden());
            QVERIFY(w.okButton->isEnabled());
            w.okButton->click();
        });
        QVERIFY(d.Execute());
        QCOMPARE(d.Folder, b);
    }

    void anotherChoiceReplacesFolderAndCancelKeepsIt() {
        TFolderDialog d;
        d.Folder = a;
        whenBrowsing(d, [&](TFolderBrowser& w) {
            QVERIFY(w.selectPath(a + "/inner"));
            QCOMPARE(w.statusLabel->text(), QString::fromUtf8(a + "/inner"));
            w.okButton->click();
        });
        QVERIFY(d.Execute());
        QCOMPARE(d.Folder, a + "/inner");

        whenBrowsing(d, [&](TFolderBrowser& w) {
            QVERIFY(w.selectPath(b));
            w.reject(); // the close box
        });
        QVERIFY(!d.Execute());
        QCOMPARE(d.Folder, a + "/inner");
    }

    void withoutStatusTextNoStatusLine() {
        TFolderDialog d;
        d.Option = bifReturnOnlyFSDirs;
        whenBrowsing(d, [](TFolderBrowser& w) {
            QVERIFY(w.statusLabel->isHidden());
            w.reject();
        });
        QVERIFY(!d.Execute());
    }

    void shot() {
        if (!qEnvironmentVariableIsSet("G3_SHOTS")) QSKIP("G3_SHOTS not set");
        TFolderDialog d;
        d.Title = "引っ越し先の洞窟指定";
        d.Folder = a + "/inner";
        whenBrowsing(d, [](TFolderBrowser& w) {
            w.grab().save(QStringLiteral("/tmp/shots/FolderBrowser.png"));
            w.reject();
        });
        d.Execute();
    }
};

QTEST_MAIN(FolderDialogTest)
#include "FldrDlg_qtest.moc"
