// The progress window TDlgSinkou: three text lines, a bar, the looping clip "cool" and an
// optional cancel button; modeless and kept on top. It is driven only through the progress
// routines of engine/progress.h; installProgressDialog makes them show this window.
#pragma once

#include <QDialog>
#include <QTimer>

#include <cstdint>
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

    // The progress routines work on the program's one dialog, never on an instance.
    static bool OpenProgress(bool ShowCancel, const std::string& Caption, std::int32_t Max,
                             std::int32_t Min);
    static bool UpdateProgress(bool Step, const std::string& Line1, const std::string& Line2,
                               const std::string& Line3);
    static void CloseProgress();

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

// Makes the progress routines show TDlgSinkou (until the application ends).
void installProgressDialog();

// The dialog of the last OpenProgress while it exists, else nullptr.
TDlgSinkou* currentProgressDialog();

} // namespace g3
