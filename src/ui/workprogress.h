// The modal window over work that runs on a thread of its own: the lines a subclass adds,
// a progress bar, and a cancel button (also the close box and Escape) that asks the work to
// stop and closes the window only once it has. The window's timer refreshes the lines and
// closes the window when the work has ended, while the event loop keeps every window
// painting.
//
// Its texts are made at run time, never kept as literals: the archiver modules show this
// window and are unloaded after their command, while Qt may keep a string a little longer.
#pragma once

#include <QDialog>
#include <QMetaObject>
#include <QThread>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QVBoxLayout;

namespace g3 {

class TWorkProgressDlg : public QDialog {
public:
    QProgressBar* bar; // 0..1000
    QPushButton* btnCancel;

    // Reads the work's counters into the lines and the bar (also done by the timer).
    virtual void refresh() = 0;

protected:
    TWorkProgressDlg(const QString& title, QWidget* parent);

    // A plain-text line above the bar (in the order added).
    QLabel* addLine(int minimumWidth = 0);
    // A line below the bar.
    QLabel* addLineBelow();
    // Shows the window until the work has ended: start() sets it going, wait() joins it.
    void runModal(const std::function<void()>& start, const std::function<void()>& wait);
    // The bar at done of total (an empty total: empty).
    void setBar(double done, double total);

    virtual bool workFinished() const = 0;
    virtual void cancelWork() = 0;
    void reject() override; // Escape and the close box: as the cancel button

private:
    void cancelClicked();

    QVBoxLayout* above_;
    QVBoxLayout* below_;
    QTimer* timer_;
};

// Runs f on window's thread and waits for it; on that thread, at once.
template <class F> void onWindowThread(QObject* window, F f) {
    if (window->thread() == QThread::currentThread())
        f();
    else
        QMetaObject::invokeMethod(window, f, Qt::BlockingQueuedConnection);
}

} // namespace g3
