#include "platform/pump.h"

#include <utility>

namespace g3 {

namespace {
Pump& installedPump() {
    static Pump pump;
    return pump;
}
} // namespace

void setMessagePump(Pump pump) { installedPump() = std::move(pump); }

void pumpMessages() {
    if (auto& p = installedPump()) p();
}

} // namespace g3
