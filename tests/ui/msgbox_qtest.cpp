// The message boxes shown for real (no answerer): kinds, captions, button texts, and the
// answer a box gives when it is closed.
#include "support/testservices.h"
#include "ui/msgbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>

using namespace g3;

namespace {

struct Seen {
    QString caption, text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Runs act on the box once it is showing (the timer fires inside its modal loop).
void whenShown(Seen& seen, std::function<void(QMessageBox*)> act) {
    QTimer::singleShot(0, [&seen, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
        act(box);
    });
}

void click(QMessageBox* box, const QString& text) {
    for (QAbstractButton* b : box->buttons())
        if (b->text() == text) b->click();
}

} // namespace

class MsgBoxTest : public QObject {
    Q_OBJECT
    ScreenMessageBoxes screen;
private slots:
    void kindsHaveTheirCaptionsAndButtons_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::newRow("information") << int(MsgKind::Information) << "情報" << int(QMessageBox::Information);
        QTest::newRow("confirmation") << int(MsgKind::Confirmation) << "確認" << int(QMessageBox::Question);
        QTest::newRow("warning") << int(MsgKind::Warning) << "警告" << int(QMessageBox::Warning);
        QTest::newRow("custom") << int(MsgKind::Custom) << "/home/洞窟" << int(QMessageBox::NoIcon);
    }
    void kindsHaveTheirCaptionsAndButtons() {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        setApplicationTitle(QStringLiteral("/home/洞窟"));
        Seen seen;
        whenShown(seen, [](QMessageBox* b) { click(b, QStringLiteral("いいえ(&N)")); });
        const MsgResult r = screen.messageDlg(QStringLiteral("消しますか？"), MsgKind(kind),
                                       mbYes | mbNo | mbOK | mbCancel);
        QCOMPARE(r, MsgResult::No);
        QCOMPARE(seen.caption, caption);
        QCOMPARE(seen.text, QStringLiteral("消しますか？"));
        QCOMPARE(seen.icon, QMessageBox::Icon(icon));
        QCOMPARE(seen.buttons.size(), 4);
        for (const char* t : {"はい(&Y)", "いいえ(&N)", "OK", "キャンセル"})
            QVERIFY2(seen.buttons.contains(QString::fromUtf8(t)), t);
    }

    // Closing with the close box gives Cancel when the box has it, else No, else OK.
    void closingGivesTheCancelAnswer_data() {
        QTest::addColumn<unsigned>("buttons");
        QTest::addColumn<int>("expected");
        QTest::newRow("yes no cancel") << unsigned(mbYes | mbNo | mbCancel) << int(MsgResult::Cancel);
        QTest::newRow("ok cancel") << unsigned(mbOK | mbCancel) << int(MsgResult::Cancel);
        QTest::newRow("yes no") << unsigned(mbYes | mbNo) << int(MsgResult::No);
        QTest::newRow("ok") << unsigned(mbOK) << int(MsgResult::OK);
    }
    void closingGivesTheCancelAnswer() {
        QFETCH(unsigned, buttons);
        QFETCH(int, expected);
        Seen seen;
        bool closed = false;
        whenShown(seen, [&](QMessageBox* b) { closed = b->close(); });
        QCOMPARE(screen.messageDlg(QStringLiteral("?"), MsgKind::Confirmation, buttons),
                 MsgResult(expected));
        QVERIFY(closed);
    }

    void platformBoxTakesTheCallersCaptionAndIcon() {
        Seen seen;
        whenShown(seen, [](QMessageBox* b) { click(b, QStringLiteral("OK")); });
        QCOMPARE(screen.messageBox(nullptr, QStringLiteral("本文"), QStringLiteral("近道作成"),
                            MsgKind::Warning, mbOK | mbCancel),
                 MsgResult::OK);
        QCOMPARE(seen.caption, QStringLiteral("近道作成"));
        QCOMPARE(seen.icon, QMessageBox::Warning);
    }

    void theDoubleSeesTheRequestAndNoWindowShows() {
        g3test::TestServices boxes;
        boxes.answer = MsgResult::Yes;
        QCOMPARE(boxes.messageBox(nullptr, QStringLiteral("t"), QStringLiteral("c"), MsgKind::Information, mbYes | mbNo),
                 MsgResult::Yes);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(boxes.seen.size(), std::size_t(1));
        QVERIFY(boxes.seen[0].platformBox);
        QCOMPARE(boxes.seen[0].caption, QStringLiteral("c"));
        QCOMPARE(boxes.seen[0].buttons, MsgButtons(mbYes | mbNo));
    }

    // Either order of the pair, and a lone CR or LF, is one line break on the screen.
    void lineEndsShowAsOneBreak_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("CR LF") << "a\r\nb" << "a\nb";
        QTest::newRow("LF CR") << "a\n\rb" << "a\nb";
        QTest::newRow("two breaks") << "a\r\n\r\nb" << "a\n\nb";
        QTest::newRow("lone ends") << "a\rb\nc" << "a\nb\nc";
        QTest::newRow("LF CR then CR LF") << "a\n\r\r\nb" << "a\n\nb";
    }
    void lineEndsShowAsOneBreak() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        Seen seen;
        whenShown(seen, [](QMessageBox* box) { box->accept(); });
        screen.messageDlg(text, MsgKind::Information, mbOK);
        QCOMPARE(seen.text, shown);
    }

    void runGuardedShowsAnEscapingException() {
        g3test::TestServices boxes;
        std::vector<MessageRequest>& shown = boxes.seen;
        boxes.runGuarded([] { throw std::runtime_error("洞窟が見つかりません"); });
        boxes.runGuarded([] { throw 42; });
        boxes.runGuarded([] {});
        QCOMPARE(shown.size(), std::size_t(2));
        QCOMPARE(shown[0].kind, MsgKind::Error);
        QCOMPARE(shown[0].buttons, MsgButtons(mbOK));
        QCOMPARE(shown[0].text, QStringLiteral("洞窟が見つかりません"));
        QVERIFY(!shown[1].text.isEmpty());
    }
};

QTEST_MAIN(MsgBoxTest)
#include "msgbox_qtest.moc"
