// Answers a modal dialog each time it shows, as a user would: the next step of the script
// runs from the event loop once the dialog is up and closes it. A step that leaves it open,
// or a showing past the last step, cancels it, so no test hangs.
#pragma once

#include <QDialog>
#include <QEvent>
#include <QTimer>

#include <deque>
#include <functional>

namespace g3test {

class DialogScript : public QObject {
public:
    DialogScript(QDialog* dialog, std::deque<std::function<void()>> steps)
        : dialog_(dialog), steps_(std::move(steps)) {
        dialog_->installEventFilter(this);
    }
    ~DialogScript() override { dialog_->removeEventFilter(this); }

    int shown() const { return shown_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == dialog_ && e->type() == QEvent::Show) {
            ++shown_;
            QTimer::singleShot(0, this, [this] {
                if (!steps_.empty()) {
                    const std::function<void()> step = std::move(steps_.front());
                    steps_.pop_front();
                    step();
                }
                if (dialog_->isVisible()) dialog_->reject();
            });
        }
        return false;
    }

private:
    QDialog* dialog_;
    std::deque<std::function<void()>> steps_;
    int shown_ = 0;
};

} // namespace g3test
