#include "engine/progress.h"

#include "platform/pump.h"

namespace g3 {

namespace {

// Without a window the routines still follow their rules; "processing messages" is then the
// program's installed pump (none in most tests).
class HeadlessProgress final : public ProgressHost {
public:
    bool exists() const override { return open_; }
    void create(bool, const std::string&, std::int32_t, std::int32_t) override { open_ = true; }
    void setLines(const std::string&, const std::string&, const std::string&) override {}
    void setPosition(std::int32_t) override {}
    void scheduleDestroy() override { pendingClose_ = true; }
    void destroyNow() override { open_ = pendingClose_ = false; }
    void processMessages() override {
        pumpMessages();
        if (pendingClose_) destroyNow();
    }

private:
    bool open_ = false;
    bool pendingClose_ = false;
};

HeadlessProgress headless;
ProgressHost* installed = nullptr;
ProgressState state;

ProgressHost& host() { return installed ? *installed : headless; }

} // namespace

ProgressHost* setProgressHost(ProgressHost* h) {
    ProgressHost* old = installed;
    installed = h;
    return old;
}

const ProgressState& progressState() { return state; }

bool OpenProgress(bool ShowCancel, const std::string& Caption, std::int32_t Max,
                  std::int32_t Min) {
    ProgressHost& h = host();
    if (h.exists()) return false;
    h.create(ShowCancel, Caption, Min, Max);
    state.ProgressMax = Max;
    state.ProgressPos = Min;
    state.ProgressCancelled = false;
    h.processMessages();
    return true;
}

bool UpdateProgress(bool Step, const std::string& Line1, const std::string& Line2,
                    const std::string& Line3) {
    ProgressHost& h = host();
    if (!h.exists()) return false;
    h.setLines(Line1, Line2, Line3);
    if (Step) ++state.ProgressPos;
    bool result = true;
    if (state.ProgressPos > state.ProgressMax || state.ProgressCancelled) {
        h.scheduleDestroy();
        result = false;
    }
    h.setPosition(state.ProgressPos);
    h.processMessages();
    return result;
}

void CloseProgress() {
    ProgressHost& h = host();
    if (h.exists()) h.destroyNow();
    h.processMessages();
}

void CancelProgress() {
    state.ProgressCancelled = true;
    CloseProgress();
}

} // namespace g3
