// The main of a test that talks to other X clients: on the display named by
// G3_XVFB_DISPLAY (tools/test starts one) through the xcb platform, else offscreen, where
// such a test skips itself (xvfbDisplay() is empty).
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QtTest>

namespace g3test {

inline QByteArray xvfbDisplay() { return qgetenv("G3_XVFB_DISPLAY"); }

template <class Test>
int runOnXvfb(int argc, char** argv) {
    const QByteArray d = xvfbDisplay();
    if (!d.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", d);
    } else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    Test t;
    return QTest::qExec(&t, argc, argv);
}

} // namespace g3test
