#include "shellviews/mousetrack.h"

#include <cstdlib>

namespace g3 {

void MouseTracker::press(int x, int y, bool rightButton) {
    x_ = x;
    y_ = y;
    tracking_ = true;
    right_ = rightButton;
}

bool MouseTracker::within(int x, int y) const {
    return std::abs(x - x_) <= kThreshold && std::abs(y - y_) <= kThreshold;
}

MouseTracker::Action MouseTracker::move(int x, int y, bool buttonDown) const {
    if (!tracking_) return Action::None;
    if (within(x, y)) return !buttonDown && right_ ? Action::ContextMenu : Action::None;
    return buttonDown ? Action::Drag : Action::None;
}

MouseTracker::Action MouseTracker::release(int x, int y) {
    // Qt hands the release to the view, so the menu opens here rather than at the next move.
    Action a = tracking_ && right_ && within(x, y) ? Action::ContextMenu : Action::None;
    clear();
    return a;
}

void MouseTracker::clear() {
    tracking_ = right_ = false;
    x_ = y_ = 0;
}

} // namespace g3
