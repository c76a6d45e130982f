// The message pump of long work: called at the points where the window must get a chance
// to handle pending events (a stop button, a repaint, a drop menu's choice). The program
// makes one at start and hands it to whatever runs long work; tests hand in their own or
// none (then pumping does nothing).
#pragma once

#include <chrono>
#include <functional>

namespace g3 {

using Pump = std::function<void()>;

// A pump that runs inner at most once every gap and returns at once otherwise: a walk that
// calls it at every one of hundreds of thousands of entries then stays responsive without
// spending its time in the event loop.
Pump throttledPump(Pump inner, std::chrono::nanoseconds gap = std::chrono::milliseconds(2));

} // namespace g3
