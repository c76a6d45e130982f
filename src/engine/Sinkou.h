// The progress window TDlgSinkou: three text lines, a bar, the looping clip "cool" and an
// optional cancel button; modeless and kept on top. It is driven only through the progress
// routines of engine/progress.h; installProgressDialog makes them show this window.
#pragma once

#include "engine/progress.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

namespace g3 {

// Plays the clip "cool" from its first frame to its last, repeating without end.
class TCoolAnimation : public QWidget {
    Q_OBJECT
public:
    explicit TCoolAnimation(QWidget* parent = nullptr);
    void play();
    void stop();
    bool isPlaying() const;
    int currentFrame() const { return frame_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QTimer timer_;
    int frame_ = 0;
};

class TDlgSinkou : public QDialog {
    Q_OBJECT
public:
    explicit TDlgSinkou(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QProgressBar* pbSinkou;
    TCoolAnimation* anmSinkou;
    QPushButton* btnToriyame;

    // The cancel button: what the driving progress routines gave (CancelProgress).
    std::function<void()> onCancel;
    void btnToriyameClick();

    // True once the dialog has been removed; it may linger until Qt frees it.
    bool isGone() const { return gone_; }
    bool inHandler() const { return handlerDepth_ > 0; }
    void markGone() { gone_ = true; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    bool gone_ = false;
    int handlerDepth_ = 0;
};

// The window side of the progress routines (engine/progress.h): each OpenProgress shows a
// new TDlgSinkou, centred on the screen.
class SinkouWindows final : public ProgressHost {
public:
    bool exists() const override;
    void create(bool showCancel, const std::string& caption, std::int32_t min,
                std::int32_t max) override;
    void setLines(const std::string& l1, const std::string& l2, const std::string& l3) override;
    void setPosition(std::int32_t pos) override;
    void scheduleDestroy() override;
    void destroyNow() override;
    void processMessages() override;
    void setCancelHandler(std::function<void()> cancel) override { cancel_ = std::move(cancel); }

    // The dialog of the last OpenProgress while it exists, else nullptr.
    TDlgSinkou* current() const;

private:
    QPointer<TDlgSinkou> dialog_;
    std::function<void()> cancel_;
};

} // namespace g3
