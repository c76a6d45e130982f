// The program's event pump for the benchmarks that run a walk or a copy in an event loop.
// It is the pump the program installs at start (installThrottledPump, src/app/startup.cpp:
// pending events at most every 2 ms); the benchmarks keep their own copy of its throttle
// so that they link the logic libraries only and a window half built in the tree cannot
// keep them from building.
#pragma once

#include "platform/pump.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace bench {

inline void installProgramPump() {
    g3::setMessagePump([] {
        static QElapsedTimer since;
        if (since.isValid() && since.nsecsElapsed() < 2'000'000) return;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        since.restart();
    });
}

} // namespace bench
