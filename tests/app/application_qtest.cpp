// The general error display of the application object: an exception escaping an event
// handler is shown once and the next event is handled as usual.
#include "app/application.h"
#include "ui/msgbox.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace g3;

namespace {

class Thrower : public QWidget {
public:
    int presses = 0;
    bool throwNext = true;

protected:
    void mousePressEvent(QMouseEvent*) override {
        ++presses;
        if (std::exchange(throwNext, false)) throw std::runtime_error("押されました");
    }
};

} // namespace

// The texts of the boxes shown.
struct ShownTexts : MessageBoxes {
    std::vector<QString> texts;
    MsgResult show(const MessageRequest& r, QWidget*) override {
        texts.push_back(r.text);
        return MsgResult::OK;
    }
};

class ApplicationTest : public QObject {
    Q_OBJECT
    ShownTexts boxes;
    std::vector<QString>& shown = boxes.texts;

private slots:
    void init() {
        shown.clear();
        static_cast<Application*>(qApp)->setErrorDisplay(&boxes);
    }
    void cleanup() { static_cast<Application*>(qApp)->setErrorDisplay(nullptr); }

    void exceptionFromASlotIsShownOnceAndTheLoopGoesOn() {
        int later = 0;
        QPushButton b;
        QObject::connect(&b, &QPushButton::clicked, [] { throw std::runtime_error("壊れた"); });
        QTimer::singleShot(0, &b, [&] { b.click(); });
        QTimer::singleShot(0, &b, [&] { ++later; });
        QTRY_COMPARE(later, 1);
        QCOMPARE(shown, std::vector<QString>{QStringLiteral("壊れた")});
    }

    void exceptionFromAnEventHandlerThenTheNextEventWorks() {
        Thrower w;
        w.resize(50, 50);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(&w, Qt::LeftButton);
        QTest::mouseClick(&w, Qt::LeftButton);
        QCOMPARE(w.presses, 2);
        QCOMPARE(shown, std::vector<QString>{QStringLiteral("押されました")});
    }

    // An exception inside a nested dispatch is shown by the inner one only.
    void nestedDispatchShowsItOnce() {
        QPushButton inner;
        QObject::connect(&inner, &QPushButton::clicked, [] { throw std::logic_error("内側"); });
        QPushButton outer;
        QObject::connect(&outer, &QPushButton::clicked, [&] {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            inner.resize(20, 20);
            QCoreApplication::sendEvent(&inner, &press);
            QCoreApplication::sendEvent(&inner, &release);
        });
        bool done = false;
        QTimer::singleShot(0, &outer, [&] {
            outer.click();
            done = true;
        });
        QTRY_VERIFY(done);
        QCOMPARE(shown, std::vector<QString>{QStringLiteral("内側")});
    }
};

int main(int argc, char** argv) {
    Application app(argc, argv);
    ApplicationTest t;
    return QTest::qExec(&t, argc, argv);
}
#include "application_qtest.moc"
