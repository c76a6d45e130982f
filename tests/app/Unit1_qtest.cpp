// The two input dialogs: layout, captions, focus on show, the right-click time stamp and
// the busy rule.
#include "app/Unit1.h"
#include "app/Unit2.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using namespace g3;

namespace {

void shot(QWidget* w, const char* name) {
    if (qEnvironmentVariableIsSet("G3_SHOTS"))
        w->grab().save(QStringLiteral("/tmp/shots/%1.png").arg(QLatin1String(name)));
}

} // namespace

class PasswordDlgTest : public QObject {
    Q_OBJECT
private slots:
    void defaultsAndLayout() {
        TPasswordDlg d;
        QCOMPARE(d.size(), QSize(745, 106));
        QCOMPARE(d.windowTitle(), QStringLiteral("パスワードダイアログ"));
        QCOMPARE(d.Label1->text(), QStringLiteral("パスワードの入力 :"));
        QCOMPARE(d.Label1->size(), QSize(729, 44));
        QCOMPARE(d.Password->width(), 729);
        QCOMPARE(d.Password->echoMode(), QLineEdit::Normal);
        QCOMPARE(d.OKBtn->text(), QStringLiteral("OK(&O)"));
        QCOMPARE(d.OKBtn->toolTip(), QStringLiteral("右クリックで時刻セット"));
        QVERIFY(d.OKBtn->isDefault());
        QCOMPARE(d.CancelBtn->text(), QStringLiteral("キャンセル(&C)"));
        for (QWidget* w : d.findChildren<QWidget*>())
            QVERIFY2(d.rect().contains(w->geometry()), qPrintable(w->metaObject()->className()));
        d.Label1->setText(QStringLiteral("新しい洞窟の名前を入力してください\r\n二行目"));
        d.Password->setText(QStringLiteral("新しい洞窟"));
        d.show();
        shot(&d, "PasswordDlg");
    }

    void secondDialogAddsTwoLinesAndAField() {
        TPasswordDlg2 d;
        QCOMPARE(d.size(), QSize(745, 186));
        QCOMPARE(d.Edit1->width(), 425);
        // Top to bottom: Label1, Label2, Label3, Password, Label4, Edit1, the buttons.
        const QList<QWidget*> order{d.Label1, d.Label2, d.Label3, d.Password,
                                    d.Label4, d.Edit1, d.OKBtn};
        for (int i = 1; i < order.size(); ++i)
            QVERIFY(order[i - 1]->geometry().bottom() < order[i]->geometry().top());
        QVERIFY(d.rect().contains(d.CancelBtn->geometry()));
        d.setWindowTitle(QStringLiteral("近道作成"));
        d.Label1->setText(QStringLiteral("一行目"));
        d.Label2->setText(QStringLiteral("二行目"));
        d.Label3->setText(QStringLiteral("近道の名前"));
        d.Label4->setText(QStringLiteral("作業洞窟"));
        d.Password->setText(QStringLiteral("名前"));
        d.Edit1->setText(QStringLiteral("/home"));
        d.show();
        shot(&d, "PasswordDlg2");
    }

    void showGivesPasswordTheFocusWithItsTextSelected() {
        TPasswordDlg d;
        d.Password->setText(QStringLiteral("前の名前"));
        d.Password->deselect();
        QWidget* focus = nullptr;
        QString selected;
        QTimer::singleShot(0, &d, [&] {
            focus = d.focusWidget();
            selected = d.Password->selectedText();
            d.reject();
        });
        QCOMPARE(d.exec(), int(QDialog::Rejected));
        QCOMPARE(focus, d.Password);
        QCOMPARE(selected, QStringLiteral("前の名前"));
        QCOMPARE(d.Password->text(), QStringLiteral("前の名前"));
    }

    // A right click sets the 16-character stamp and keeps the dialog open; a left click
    // then confirms it.
    void rightClickSetsTheTimeStamp() {
        for (TPasswordDlg* d : {new TPasswordDlg, static_cast<TPasswordDlg*>(new TPasswordDlg2)}) {
            d->Password->setText(QStringLiteral("old"));
            bool openAfterRightClick = false;
            QTimer::singleShot(0, d, [&] {
                QTest::mouseClick(d->OKBtn, Qt::RightButton);
                openAfterRightClick = d->isVisible();
                QTest::mouseClick(d->OKBtn, Qt::LeftButton);
            });
            QCOMPARE(d->exec(), int(QDialog::Accepted));
            QVERIFY(openAfterRightClick);
            const QString stamp = d->Password->text();
            QCOMPARE(stamp.size(), 16);
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d{8}-\\d{6}_$")).match(stamp).hasMatch(),
                     qPrintable(stamp));
            delete d;
        }
    }

    void enterConfirmsAndEscapeCancels() {
        TPasswordDlg d;
        QTimer::singleShot(0, &d, [&] { QTest::keyClick(d.Password, Qt::Key_Return); });
        QCOMPARE(d.exec(), int(QDialog::Accepted));
        QTimer::singleShot(0, &d, [&] { QTest::keyClick(d.Password, Qt::Key_Escape); });
        QCOMPARE(d.exec(), int(QDialog::Rejected));
    }

    // A command started while its dialog shows only brings it to the front: the dialog
    // keeps its texts and the command goes no further.
    void busyRuleBringsTheShowingDialogToTheFront() {
        TPasswordDlg d;
        QWidget other;
        int commandsRun = 0;
        auto command = [&] {
            if (bringToFrontIfShowing(&d)) return;
            ++commandsRun;
            d.setWindowTitle(QStringLiteral("洞窟を掘る"));
            d.Password->setText(QStringLiteral("新しい洞窟"));
            d.exec();
        };
        QVERIFY(!bringToFrontIfShowing(nullptr));
        bool stillShowing = false;
        QTimer::singleShot(0, &d, [&] {
            d.Password->setText(QStringLiteral("打ちかけ"));
            other.show();
            other.activateWindow();
            command();
            stillShowing = d.isVisible();
            d.accept();
        });
        command();
        QCOMPARE(commandsRun, 1);
        QVERIFY(stillShowing);
        QCOMPARE(d.Password->text(), QStringLiteral("打ちかけ"));
        QVERIFY(!bringToFrontIfShowing(&d));
    }
};

QTEST_MAIN(PasswordDlgTest)
#include "Unit1_qtest.moc"
