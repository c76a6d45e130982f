// The message-pump hook. Long walks and copies call it at the points where the window must
// get a chance to handle pending events (a stop button, a repaint, a drop menu's choice).
// The program installs its event-loop pump at start; tests and benchmarks install their own
// or none (then pumping does nothing).
#pragma once

#include <functional>

namespace g3 {

using Pump = std::function<void()>;

// Installs the pump that pumpMessages() calls. Main thread only.
void setMessagePump(Pump pump);
// Runs the installed pump, if any.
void pumpMessages();

} // namespace g3
