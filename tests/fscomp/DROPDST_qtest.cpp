// The drop target on a plain widget and on a list view, driven with synthesised drag events.
#include "ui/msgbox.h"
#include "fscomp/DROPDST.h"
#include "support/testservices.h"
#include "fscomp/dropformats.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QtTest>

#include <memory>
#include <stdexcept>

using namespace g3;

namespace {

struct Drop {
    int count = 0;
    std::vector<std::string> files;
    int x = -1, y = -1;
};

std::unique_ptr<QMimeData> uriData(const std::vector<std::string>& paths) {
    auto d = std::make_unique<QMimeData>();
    QByteArray list;
    for (const auto& p : paths) list += fileUriOf(p) + "\r\n";
    d->setData("text/uri-list", list);
    return d;
}

bool dragEnter(QWidget* w, const QMimeData& data, QPoint at = {5, 5}) {
    QDragEnterEvent e(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    e.ignore();
    QApplication::sendEvent(w, &e);
    return e.isAccepted();
}

// A move over the point after an enter; whether the control took the files there.
bool dragMove(QWidget* w, const QMimeData& data, QPoint at) {
    QDragMoveEvent e(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    e.ignore();
    QApplication::sendEvent(w, &e);
    return e.isAccepted();
}

// A drop as the platform delivers it: an enter at the point, then the drop.
void drop(QWidget* w, const QMimeData& data, QPoint at) {
    dragEnter(w, data, at);
    QDropEvent e(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                 Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void record(TDropDst& d, Drop& r) {
    d.OnFileDrop = [&r](QObject*, const std::vector<std::string>& f, int x, int y) {
        ++r.count;
        r.files = f;
        r.x = x;
        r.y = y;
    };
}

} // namespace

class DropDstTest : public QObject {
    Q_OBJECT
private slots:
    void threeOddNamesArriveExactWithThePoint() {
        QListWidget list;
        list.resize(200, 150);
        TDropDst dst;
        dst.setControl(&list);
        QVERIFY(list.viewport()->acceptDrops());
        Drop r;
        record(dst, r);
        const std::vector<std::string> names = {std::string("/t/raw\xff\x81.bin"),
                                                "/t/new\nline", "/t/100% \xe6\x97\xa5"};
        auto data = uriData(names);
        QVERIFY(dragEnter(list.viewport(), *data));
        drop(list.viewport(), *data, {17, 23});
        QCOMPARE(r.count, 1);
        QVERIFY(r.files == names);
        QCOMPARE(r.x, 17);
        QCOMPARE(r.y, 23);
    }

    void otherFormatsAndNonFiles() {
        QMimeData gnome;
        gnome.setData("x-special/gnome-copied-files", "cut\nfile:///a/b%0A\nfile:///c");
        QVERIFY((readDroppedFiles(gnome) == std::vector<std::string>{"/a/b\n", "/c"}));
        QMimeData plain;
        plain.setData("text/plain", "/x/y\r\nfile://localhost/z%FF\n");
        QVERIFY((readDroppedFiles(plain) == std::vector<std::string>{"/x/y", "/z\xff"}));
        QMimeData prose;
        prose.setText("/x/y\nnot a path");
        QVERIFY(readDroppedFiles(prose).empty());
        QMimeData web;
        web.setData("text/uri-list", "https://example.org/a\r\n");
        QVERIFY(readDroppedFiles(web).empty());

        QWidget w;
        TDropDst dst;
        dst.setControl(&w);
        Drop r;
        record(dst, r);
        QVERIFY(!dragEnter(&w, web));
        drop(&w, web, {1, 1});
        QCOMPARE(r.count, 0);
    }

    void acceptDropOffAndOn() {
        QWidget w;
        TDropDst dst;
        dst.setControl(&w);
        Drop r;
        record(dst, r);
        auto data = uriData({"/a"});
        dst.setAcceptDrop(false);
        QVERIFY(!w.acceptDrops());
        QVERIFY(!dragEnter(&w, *data));
        drop(&w, *data, {1, 2});
        QCOMPARE(r.count, 0);
        dst.setAcceptDrop(true);
        QVERIFY(w.acceptDrops());
        QVERIFY(dragEnter(&w, *data));
        drop(&w, *data, {1, 2});
        QCOMPARE(r.count, 1);
        // Moving the hook gives the widget back what it accepted before.
        dst.setControl(nullptr);
        QVERIFY(!w.acceptDrops());
    }

    // The control answers point by point: the enter is taken wherever it comes, so the
    // moves that follow are asked; a drop where the answer is no raises nothing.
    void refusedPointsTakeNoDrop() {
        QWidget w;
        w.resize(100, 50);
        TDropDst dst;
        dst.setControl(&w);
        Drop r;
        record(dst, r);
        std::vector<QPoint> asked;
        dst.OnDragOver = [&](QObject* sender, int x, int y) {
            if (sender == &dst) asked.emplace_back(x, y);
            return x >= 50;
        };
        auto data = uriData({"/a"});
        QVERIFY(dragEnter(&w, *data, {10, 10}));
        QVERIFY(!dragMove(&w, *data, {10, 10}));
        QVERIFY(dragMove(&w, *data, {60, 10}));
        drop(&w, *data, {10, 20});
        QCOMPARE(r.count, 0);
        drop(&w, *data, {70, 20});
        QCOMPARE(r.count, 1);
        QCOMPARE(r.x, 70);
        QVERIFY((asked == std::vector<QPoint>{{10, 10}, {60, 10}, {10, 20}, {70, 20}}));
        // Data that names no file is not asked about.
        QMimeData prose;
        prose.setText("no files");
        QVERIFY(!dragMove(&w, prose, {60, 10}));
        QCOMPARE(asked.size(), std::size_t(4));
    }

    void exceptionInTheHandlerShownOnceThenNextDropWorks() {
        QWidget w;
        TDropDst dst;
        dst.setControl(&w);
        g3test::TestServices shown;
        dst.ErrorDisplay = &shown;
        int calls = 0;
        dst.OnFileDrop = [&](QObject* sender, const std::vector<std::string>&, int, int) {
            QCOMPARE(sender, &dst);
            if (++calls == 1) throw std::runtime_error("壊れた");
        };
        auto data = uriData({"/a"});
        drop(&w, *data, {3, 3});
        drop(&w, *data, {3, 3});
        QCOMPARE(calls, 2);
        QCOMPARE(shown.seen.size(), std::size_t(1));
        QCOMPARE(shown.seen[0].text, QStringLiteral("壊れた"));
    }

    void noDropInsideARunningHandler() {
        QWidget w;
        TDropDst dst;
        dst.setControl(&w);
        auto data = uriData({"/a"});
        int calls = 0;
        bool innerAccepted = true;
        dst.OnFileDrop = [&](QObject*, const std::vector<std::string>&, int, int) {
            if (++calls == 1) {
                innerAccepted = dragEnter(&w, *data);
                drop(&w, *data, {1, 1});
            }
        };
        drop(&w, *data, {1, 1});
        QCOMPARE(calls, 1);
        QVERIFY(!innerAccepted);
        drop(&w, *data, {1, 1});
        QCOMPARE(calls, 2);
    }

    void sourceIsToldCopy() {
        QWidget w;
        TDropDst dst;
        dst.setControl(&w);
        dst.OnFileDrop = [](QObject*, const std::vector<std::string>&, int, int) {};
        auto data = uriData({"/a"});
        QDropEvent e(QPointF(1, 1), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton,
                     Qt::ShiftModifier);
        dragEnter(&w, *data);
        QApplication::sendEvent(&w, &e);
        QVERIFY(e.isAccepted());
        QCOMPARE(e.dropAction(), Qt::CopyAction);
    }

    void controlDestroyedBeforeTheHook() {
        TDropDst dst;
        auto* w = new QWidget;
        dst.setControl(w);
        QCOMPARE(dst.hookedControl(), w);
        QVERIFY(dst.hookedHandle() != 0);
        delete w;
        QVERIFY(dst.hookedControl() == nullptr);
        QVERIFY(dst.Control() == nullptr);
        QCOMPARE(dst.hookedHandle(), qintptr(0));
        dst.setAcceptDrop(false); // nothing left to touch
        dst.setAcceptDrop(true);
    }

    void targetForm() {
        QWidget form;
        auto* inner = new QWidget(&form);
        auto* child = new QWidget(inner);
        TDropDst dst;
        dst.setControl(child);
        QCOMPARE(dst.hookedControl(), child);
        dst.setTarget(htForm);
        QCOMPARE(dst.hookedControl(), &form);
        QVERIFY(form.acceptDrops());
        Drop r;
        record(dst, r);
        auto data = uriData({"/f"});
        drop(&form, *data, {4, 9});
        QCOMPARE(r.count, 1);

        // Without a control the owner chain decides; with no widget in it, nothing is found.
        TDropDst owned(inner);
        owned.setTarget(htForm);
        QCOMPARE(owned.hookedControl(), &form);
        TDropDst orphan;
        bool thrown = false;
        try {
            orphan.setTarget(htForm);
        } catch (const std::runtime_error& e) {
            thrown = QString::fromUtf8(e.what()) == QStringLiteral("フック先を特定できません。");
        }
        QVERIFY(thrown);
        // htControl without a control is silently not hooked.
        TDropDst none;
        none.setTarget(htControl);
        QVERIFY(none.hookedControl() == nullptr);
    }

    void recreatedWindowStillAcceptsDrops() {
        QListWidget list;
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        TDropDst dst;
        dst.setControl(&list);
        Drop r;
        record(dst, r);
        const qintptr before = dst.hookedHandle();
        QVERIFY(before > 0);
        list.setWindowFlags(Qt::Tool); // destroys and creates the native window
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QVERIFY(dst.hookedHandle() > 0);
        QCOMPARE(dst.hookedHandle(), qintptr(list.internalWinId()));
        QVERIFY(list.viewport()->acceptDrops());
        auto data = uriData({"/r"});
        drop(list.viewport(), *data, {2, 2});
        QCOMPARE(r.count, 1);
    }
};

QTEST_MAIN(DropDstTest)
#include "DROPDST_qtest.moc"
