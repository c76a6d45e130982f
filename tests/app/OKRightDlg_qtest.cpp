// The error report's question and list window, and the about mode of the same window.
#include "app/OKRightDlg.h"
#include "ui/msgbox.h"
#include "engine/errorlist.h"
#include "support/testservices.h"

#include <QPlainTextEdit>
#include <QTest>

#include <cerrno>

using namespace g3;

class OKRightDlgTest : public QObject {
    Q_OBJECT
    TOKRightDlg* dlg = nullptr;
    g3test::TestServices boxes;
    std::vector<MessageRequest>& asked = boxes.seen;
    MsgResult& answer = boxes.answer;

private slots:
    void init() {
        dlg = new TOKRightDlg(boxes);
        asked.clear();
        answer = MsgResult::No;
    }
    void cleanup() { delete dlg; }

    void startsCaptionedGrottan3() {
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Grottan3"));
        QCOMPARE(dlg->size(), QSize(637, 640));
    }

    void threeErrorsAskAWarningWithYesAndNo() {
        for (int i = 0; i < 3; ++i)
            dlg->AddErrorMessage("/src/f" + std::to_string(i) + " から", "/dst への建て増しで、", EACCES);
        answer = MsgResult::No;
        dlg->reportErrors();
        QCOMPARE(asked.size(), size_t(1));
        QCOMPARE(asked[0].kind, MsgKind::Warning);
        QCOMPARE(asked[0].caption, QStringLiteral("警告"));
        QCOMPARE(asked[0].buttons, MsgButtons(mbYes | mbNo));
        QCOMPARE(asked[0].text,
                 QStringLiteral("3件のエラーが発生したみたいです。メッセージ一覧を表示しますか？"));
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->errorList().ErrorCount(), 3);
    }

    void yesShowsTheListModally() {
        dlg->AddErrorMessage("/a から", "/b への引っ越しで、", ENOENT);
        dlg->AddErrorMessage("/c から", "/d への引っ越しで、", EEXIST);
        answer = MsgResult::Yes;
        bool sawModal = false;
        QMetaObject::invokeMethod(
            dlg,
            [&] {
                sawModal = dlg->isModal() && dlg->isVisible();
                dlg->accept();
            },
            Qt::QueuedConnection);
        dlg->reportErrors();
        QVERIFY(sawModal);
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Grottan3 実行結果エラー一覧"));
        QVERIFY(dlg->Memo1->isHidden());
        QVERIFY(!dlg->Memo2->isHidden());
        QCOMPARE(dlg->Memo2->geometry(), dlg->rect());
        QCOMPARE(dlg->Memo2->document()->blockCount(), 6);
        QVERIFY(dlg->Memo2->toPlainText().startsWith(QStringLiteral("/a から\n/b への引っ越しで、\n「")));
        QVERIFY(dlg->Memo2->isReadOnly());
    }

    void noFailureNoBox() {
        dlg->reportErrors();
        QVERIFY(asked.empty());
    }

    void aboutShowsMemo1WithoutBlocking() {
        dlg->showAbout();
        QVERIFY(dlg->isVisible());
        QVERIFY(!dlg->isModal());
        QCOMPARE(dlg->windowTitle(), QStringLiteral("About Grottan3"));
        QVERIFY(!dlg->Memo1->isHidden());
        QVERIFY(dlg->Memo2->isHidden());
        QCOMPARE(dlg->Memo1->toPlainText().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("「Grottan3」 V8.6"));
        dlg->grab().save("/tmp/dlg-about.png");
    }

    void errorListScreenshot() {
        dlg->AddErrorMessage("/home/user/写真/a.jpg から", "/mnt/usb/写真/a.jpg への建て増しで、",
                             EACCES);
        dlg->AddErrorMessage("/home/user/写真/b.jpg から", "/mnt/usb/写真/b.jpg への建て増しで、",
                             ENOSPC);
        dlg->prepareErrorList();
        dlg->show();
        dlg->grab().save("/tmp/dlg-errorlist.png");
    }
};

QTEST_MAIN(OKRightDlgTest)
#include "OKRightDlg_qtest.moc"
