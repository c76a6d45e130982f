// The program's event pump for the benchmarks that run a walk or a copy in an event loop:
// the one the program makes at start (pending events at most every 2 ms).
#pragma once

#include "platform/pump.h"

#include <QCoreApplication>

namespace bench {

inline const g3::Pump& programPump() {
    static const g3::Pump pump =
        g3::throttledPump([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
    return pump;
}

} // namespace bench
