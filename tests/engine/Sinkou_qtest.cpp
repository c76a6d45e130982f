// The progress window driven through the progress routines.
#include "engine/Sinkou.h"
#include "engine/coolclip.h"
#include "engine/progress.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace g3;

class SinkouTest : public QObject {
    Q_OBJECT
    SinkouWindows windows;
    Progress progress{&windows};
    bool OpenProgress(bool c, const std::string& t, int max, int min) { return progress.OpenProgress(c, t, max, min); }
    bool UpdateProgress(bool step, const std::string& a, const std::string& b, const std::string& c) {
        return progress.UpdateProgress(step, a, b, c);
    }
    void CloseProgress() { progress.CloseProgress(); }
    TDlgSinkou* currentProgressDialog() const { return windows.current(); }
    const ProgressState& progressState() const { return progress.state(); }

private slots:
    void cleanup() { CloseProgress(); QVERIFY(!currentProgressDialog()); }

    void secondOpenKeepsTheFirstDialog() {
        QVERIFY(OpenProgress(false, "洞窟や家の処理", 1, 0));
        TDlgSinkou* d = currentProgressDialog();
        QVERIFY(d);
        QVERIFY(!OpenProgress(true, "second", 9, 2));
        QCOMPARE(currentProgressDialog(), d);
        QCOMPARE(d->windowTitle(), QStringLiteral("洞窟や家の処理"));
        QVERIFY(d->btnToriyame->isHidden());
        QCOMPARE(d->pbSinkou->maximum(), 1);
        QCOMPARE(progressState().ProgressMax, 1);
    }

    void fourStepsOverrunARangeOfZeroToThree() {
        QVERIFY(OpenProgress(true, "c", 3, 0));
        QPointer<TDlgSinkou> d = currentProgressDialog();
        QVERIFY(!d->btnToriyame->isHidden());
        QVERIFY(UpdateProgress(true, "a", "b", "c"));
        QCOMPARE(d->Label1->text(), QStringLiteral("a"));
        QCOMPARE(d->Label3->text(), QStringLiteral("c"));
        QVERIFY(UpdateProgress(true, "", "", ""));
        QVERIFY(UpdateProgress(true, "", "", ""));
        QCOMPARE(d->pbSinkou->value(), 3);
        QVERIFY(!UpdateProgress(true, "", "", ""));
        // The removal was scheduled and ran in that call's own message processing.
        QVERIFY(d.isNull());
        QVERIFY(!UpdateProgress(false, "", "", ""));
        QVERIFY(OpenProgress(false, "again", 1, 0));
    }

    void updatesWithoutStepNeverOverrun() {
        QVERIFY(OpenProgress(false, "c", 1, 0));
        for (int i = 0; i < 5; ++i) QVERIFY(UpdateProgress(false, "x", "", ""));
        QCOMPARE(progressState().ProgressPos, 0);
    }

    void cancelRemovesTheDialogAtOnce() {
        QVERIFY(OpenProgress(true, "c", 100, 0));
        QPointer<TDlgSinkou> d = currentProgressDialog();
        QTest::mouseClick(d->btnToriyame, Qt::LeftButton);
        QVERIFY(progressState().ProgressCancelled);
        QVERIFY(!currentProgressDialog());
        QVERIFY(!UpdateProgress(true, "", "", ""));
        // Freed once the click is done with, by the event loop.
        QTRY_VERIFY(d.isNull());
        QVERIFY(OpenProgress(true, "c", 100, 0));
        QVERIFY(!progressState().ProgressCancelled);
    }

    void closeOnAMissingDialogIsHarmless() {
        CloseProgress();
        QVERIFY(!UpdateProgress(true, "", "", ""));
    }

    void layoutAndWindowKind() {
        QVERIFY(OpenProgress(true, "Grottan3 ファイル処理", 1, 0));
        TDlgSinkou* d = currentProgressDialog();
        QCOMPARE(d->size(), QSize(575, 166));
        QCOMPARE(d->pbSinkou->geometry(), QRect(8, 80, 553, 25));
        QCOMPARE(d->anmSinkou->geometry(), QRect(16, 120, 33, 33));
        QCOMPARE(d->btnToriyame->geometry(), QRect(72, 120, 113, 25));
        QCOMPARE(d->btnToriyame->text(), QStringLiteral("キャンセル(&C)"));
        QVERIFY(d->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(d->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!d->isModal());
        QVERIFY(d->anmSinkou->isPlaying());
        d->close();
        QVERIFY(currentProgressDialog());
        UpdateProgress(false, "建て増し/引越し処理中　しばらくお待ちください ", "/home/user/cave",
                       "house.txt");
        d->grab().save("/tmp/dlg-sinkou.png");
    }

    void clipFramesDiffer() {
        const QImage first = coolFrame(0);
        QCOMPARE(first.size(), QSize(32, 33));
        QCOMPARE(coolFrame(8), first);
        for (int i = 1; i < kCoolFrameCount; ++i) QVERIFY(coolFrame(i) != coolFrame(i - 1));
    }
};

QTEST_MAIN(SinkouTest)
#include "Sinkou_qtest.moc"
