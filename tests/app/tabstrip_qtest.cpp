// TTabStrip: rows by width, hit tests, removal and the row-count signal.
#include "app/tabstrip.h"

#include <QSignalSpy>
#include <QTest>

using g3::TTabStrip;

class TabStripTest : public QObject {
    Q_OBJECT
private slots:
    void rowsFollowWidthAndCount_data() {
        QTest::addColumn<int>("tabs");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("rows");
        QTest::newRow("none") << 0 << 400 << 0;
        QTest::newRow("one") << 1 << 400 << 1;
        QTest::newRow("exactly one row") << 5 << 400 << 1;
        QTest::newRow("one more wraps") << 6 << 400 << 2;
        QTest::newRow("narrower than a tab: one a row") << 3 << 50 << 3;
    }
    void rowsFollowWidthAndCount() {
        QFETCH(int, tabs);
        QFETCH(int, width);
        QFETCH(int, rows);
        TTabStrip s;
        for (int i = 0; i < tabs; ++i) s.addTab(QString::number(i));
        QCOMPARE(s.rowsFor(width), rows);
    }

    void hitTestAndRemoval() {
        TTabStrip s;
        s.resize(200, 66); // two tabs a row
        for (const char* t : {"a", "b", "c"}) s.addTab(QString::fromLatin1(t));
        QCOMPARE(s.tabRect(2), QRect(0, 22, 80, 22));
        QCOMPARE(s.indexOfTabAt(QPoint(85, 5)), 1);
        QCOMPARE(s.indexOfTabAt(QPoint(165, 5)), -1); // past the last tab of the row
        QCOMPARE(s.indexOfTabAt(QPoint(85, 30)), -1);
        s.setTabIndex(2);
        s.removeTab(0);
        QCOMPARE(s.tabIndex(), 1);
        QCOMPARE(s.tabText(0), QStringLiteral("b"));
        s.removeTab(1);
        QCOMPARE(s.tabIndex(), -1);
        s.removeTab(5); // out of range: ignored
        QCOMPARE(s.count(), 1);
    }

    void signalsRowChangesOnly() {
        TTabStrip s;
        s.resize(170, 44);
        s.show(); // a hidden widget gets its resize events only when shown
        QSignalSpy spy(&s, &TTabStrip::rowCountChanged);
        s.addTab(QStringLiteral("1"));
        s.addTab(QStringLiteral("2"));
        s.addTab(QStringLiteral("3"));
        QCOMPARE(spy.count(), 2); // 0 -> 1, 1 -> 2
        s.resize(250, 44);
        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy.last().at(0).toInt(), 1);
    }

    void mouseReportsButtonAndPoint() {
        TTabStrip s;
        s.resize(200, 22);
        s.addTab(QStringLiteral("x"));
        QSignalSpy up(&s, &TTabStrip::tabMouseUp);
        QTest::mouseClick(&s, Qt::RightButton, {}, QPoint(10, 10));
        QCOMPARE(up.count(), 1);
        QCOMPARE(up.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(up.at(0).at(1).toPoint(), QPoint(10, 10));
    }
};

QTEST_MAIN(TabStripTest)
#include "tabstrip_qtest.moc"
