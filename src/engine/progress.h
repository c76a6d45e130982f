// The progress routines OpenProgress, UpdateProgress and CloseProgress. The state (position,
// maximum, cancel flag) and the rules live here; the window itself is a ProgressHost of the
// user interface (Sinkou.h). Without one a headless stand-in keeps the same rules, so the
// engine runs in tests without widgets. User-interface thread only.
#pragma once

#include "platform/pump.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace g3 {

// The window side of the progress routines.
class ProgressHost {
public:
    virtual ~ProgressHost() = default;
    // True while this program's own progress window exists (one scheduled for destruction
    // still exists until the next processMessages).
    virtual bool exists() const = 0;
    // Creates and shows the window (not modal) with its animation playing; the cancel
    // button only when showCancel. Bar range min..max at min.
    virtual void create(bool showCancel, const std::string& caption, std::int32_t min,
                        std::int32_t max) = 0;
    virtual void setLines(const std::string& line1, const std::string& line2,
                          const std::string& line3) = 0;
    virtual void setPosition(std::int32_t pos) = 0;
    // Stops the animation; the window goes away at the next processMessages.
    virtual void scheduleDestroy() = 0;
    // The window goes away at once (exists() is false on return).
    virtual void destroyNow() = 0;
    // Processes pending user-interface messages; scheduled destructions happen here.
    virtual void processMessages() = 0;
    // What the window's cancel button calls (set by the Progress that drives the window).
    virtual void setCancelHandler(std::function<void()> cancel) { (void)cancel; }
};

struct ProgressState {
    std::int32_t ProgressPos = 0;
    std::int32_t ProgressMax = 0;
    bool ProgressCancelled = false;
};

// The progress routines of one program, over its window side. Made once with the
// program's services and handed to whoever runs long work. Without a window the
// routines keep the same rules headless, "processing messages" with the pump given.
class Progress {
public:
    explicit Progress(ProgressHost* window = nullptr, Pump pump = {});
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Creates and shows the progress window; false, changing nothing, when it exists.
    bool OpenProgress(bool ShowCancel, const std::string& Caption, std::int32_t Max,
                      std::int32_t Min);
    // Sets the three lines and, with Step, advances by one. False when the window does
    // not exist, when the position has passed the maximum, or after a cancel; the last two
    // also remove the window. Processes pending messages.
    bool UpdateProgress(bool Step, const std::string& Line1, const std::string& Line2,
                        const std::string& Line3);
    // Removes the window if it exists, then processes pending messages.
    void CloseProgress();
    // The cancel button: marks the run cancelled and removes the window.
    void CancelProgress();

    const ProgressState& state() const { return state_; }

private:
    ProgressHost& host();

    std::unique_ptr<ProgressHost> headless_;
    ProgressHost* window_;
    ProgressState state_;
};

} // namespace g3
