// The drop menu: its items in order, and the kind each answer gives.
#include "engine/dropmenu.h"
#include "support/testservices.h"
#include "engine/opkind.h"

#include <QMenu>
#include <QtTest>

using namespace g3;
using namespace g3test;

namespace {

QStringList describe(const QMenu& m) {
    QStringList out;
    for (QAction* a : m.actions()) {
        if (a->isSeparator())
            out << "-" + a->objectName();
        else if (a->menu())
            out << a->text() + "{" + describe(*a->menu()).join(',') + "}";
        else
            out << a->text() + "=" + QString::number(a->data().toInt());
    }
    return out;
}


} // namespace

class DropMenuTest : public QObject {
    Q_OBJECT
private slots:
    void itemsInOrder() {
        std::unique_ptr<QMenu> m(buildPopupMenu3());
        const QStringList expected = {
            "建て増しnew(&A)=10", "上書き建て増し(&B)=11", "家のみ引っ越しnew(&C)=2",
            "家のみ上書き引っ越し(&D)=4", "-N2",
            "同名確認{建て増し(&E)=7,家のみ引っ越し(&F)=8}", "-N3",
            "windows標準コピー(&G)=5", "windows標準移動(&H)=6", "-N1", "キャンセル(&X)=0"};
        QCOMPARE(describe(*m), expected);
    }

    void answersGiveTheirKinds() {
        auto pick = [](const char* name) {
            TestServices chooser;
            chooser.menuItem = name ? QString::fromLatin1(name) : QString();
            return PopupMenu3(chooser, QPoint(10, 10));
        };
        QCOMPARE(pick("popMcopyFast"), int(okCopyNewer));
        QCOMPARE(pick("psmDomeIdo"), int(okAskMove));
        QCOMPARE(pick("pmIdoWin"), int(okShellMove));
        QCOMPARE(pick("popMcancel"), int(okNone));
        QCOMPARE(pick(nullptr), int(okNone));        // Escape
        QCOMPARE(pick("popCopyDomei"), int(okNone)); // the submenu's own entry chooses nothing
    }

    void escapeOnTheShownMenu() {
        QTimer::singleShot(50, [] {
            if (QWidget* popup = QApplication::activePopupWidget())
                QTest::keyClick(popup, Qt::Key_Escape);
        });
        ScreenMenuChooser screen;
        QCOMPARE(PopupMenu3(screen, QPoint(20, 20)), int(okNone));
    }
};

QTEST_MAIN(DropMenuTest)
#include "dropmenu_qtest.moc"
