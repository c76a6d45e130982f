#include "platform/pump.h"

#include <memory>

namespace g3 {

Pump throttledPump(Pump inner, std::chrono::nanoseconds gap) {
    using Clock = std::chrono::steady_clock;
    auto last = std::make_shared<Clock::time_point>();
    return [inner = std::move(inner), gap, last] {
        const auto now = Clock::now();
        if (*last != Clock::time_point() && now - *last < gap) return;
        inner();
        *last = Clock::now();
    };
}

} // namespace g3
