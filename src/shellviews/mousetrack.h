// The mouse state the shell views share: a press is remembered, and the moves and the
// release that follow decide between a drag and a context menu.
#pragma once

namespace g3 {

class MouseTracker {
public:
    static constexpr int kThreshold = 4; // pixels on either axis

    enum class Action { None, ContextMenu, Drag };

    void press(int x, int y, bool rightButton);
    // A move while tracking. Within the threshold with no button down after a right press:
    // ContextMenu. Beyond it with a button down: Drag. Otherwise None (keep tracking).
    // The caller clears the state when it carried the action out.
    Action move(int x, int y, bool buttonDown) const;
    // A release ends tracking; ContextMenu when it ends a right press within the threshold.
    Action release(int x, int y);
    void clear();

    bool tracking() const { return tracking_; }
    bool rightPress() const { return right_; }
    int pressX() const { return x_; }
    int pressY() const { return y_; }

private:
    bool within(int x, int y) const;

    bool tracking_ = false;
    bool right_ = false;
    int x_ = 0, y_ = 0;
};

} // namespace g3
