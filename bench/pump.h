// The program's event pump for the benchmarks that run a walk or a copy in an event loop:
// the one the program makes at start (pending events at most every 2 ms), and a meter of
// the longest time the event loop went unserved.
#pragma once

#include "platform/pump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

namespace bench {

inline const g3::Pump& programPump() {
    static const g3::Pump pump =
        g3::throttledPump([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
    return pump;
}

// The longest time between two timeouts of a 1 ms timer: the longest the event loop went
// unserved while it ran.
class GapMeter {
public:
    GapMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (clock_.isValid()) maxNs_ = std::max(maxNs_, clock_.nsecsElapsed());
            clock_.start();
        });
    }
    // Measures from now until stop(); the longest gap is kept over several such spans.
    void start() {
        clock_.invalidate();
        timer_.start();
        QCoreApplication::processEvents(); // arm it
    }
    void stop() { timer_.stop(); }
    double takeMaxMs() {
        double ms = maxNs_ / 1e6;
        maxNs_ = 0;
        return ms;
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 maxNs_ = 0;
};

} // namespace bench
