#include "app/startup.h"

#include "app/mein.h"
#include "platform/pump.h"

#include <QApplication>
#include <QElapsedTimer>

namespace g3 {

void installThrottledPump() {
    // A walk that meets hundreds of thousands of entries calls the pump at every one; going
    // into the event loop at most every 2 ms keeps the window responsive without spending
    // the walk's time there.
    setMessagePump([] {
        static QElapsedTimer since;
        if (since.isValid() && since.nsecsElapsed() < 2'000'000) return;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        since.restart();
    });
}

int runGrottan3(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Grottan3"));
    QApplication::setApplicationDisplayName(QStringLiteral("Grottan3"));
    installThrottledPump();
    TForm1 form;
    form.show();
    return app.exec();
}

} // namespace g3
