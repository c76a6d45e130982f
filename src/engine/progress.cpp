#include "engine/progress.h"

namespace g3 {

namespace {

// Without a window the routines still follow their rules; "processing messages" is then the
// pump given (none in most tests).
class HeadlessProgress final : public ProgressHost {
public:
    explicit HeadlessProgress(Pump pump) : pump_(std::move(pump)) {}
    bool exists() const override { return open_; }
    void create(bool, const std::string&, std::int32_t, std::int32_t) override { open_ = true; }
    void setLines(const std::string&, const std::string&, const std::string&) override {}
    void setPosition(std::int32_t) override {}
    void scheduleDestroy() override { pendingClose_ = true; }
    void destroyNow() override { open_ = pendingClose_ = false; }
    void processMessages() override {
        if (pump_) pump_();
        if (pendingClose_) destroyNow();
    }

private:
    Pump pump_;
    bool open_ = false;
    bool pendingClose_ = false;
};

} // namespace

Progress::Progress(ProgressHost* window, Pump pump)
    : headless_(std::make_unique<HeadlessProgress>(std::move(pump))), window_(window) {
    if (window_) window_->setCancelHandler([this] { CancelProgress(); });
}

Progress::~Progress() {
    if (window_) window_->setCancelHandler({});
}

ProgressHost& Progress::host() { return window_ ? *window_ : *headless_; }

bool Progress::OpenProgress(bool ShowCancel, const std::string& Caption, std::int32_t Max,
                            std::int32_t Min) {
    ProgressHost& h = host();
    if (h.exists()) return false;
    h.create(ShowCancel, Caption, Min, Max);
    state_.ProgressMax = Max;
    state_.ProgressPos = Min;
    state_.ProgressCancelled = false;
    h.processMessages();
    return true;
}

bool Progress::UpdateProgress(bool Step, const std::string& Line1, const std::string& Line2,
                              const std::string& Line3) {
    ProgressHost& h = host();
    if (!h.exists()) return false;
    h.setLines(Line1, Line2, Line3);
    if (Step) ++state_.ProgressPos;
    bool result = true;
    if (state_.ProgressPos > state_.ProgressMax || state_.ProgressCancelled) {
        h.scheduleDestroy();
        result = false;
    }
    h.setPosition(state_.ProgressPos);
    h.processMessages();
    return result;
}

void Progress::CloseProgress() {
    ProgressHost& h = host();
    if (h.exists()) h.destroyNow();
    h.processMessages();
}

void Progress::CancelProgress() {
    state_.ProgressCancelled = true;
    CloseProgress();
}

} // namespace g3
