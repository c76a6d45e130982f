#include "engine/Sinkou.h"

#include "engine/coolclip.h"
#include "engine/progress.h"
#include "ui/placement.h"

#include <QApplication>
#include <algorithm>
#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace g3 {

TCoolAnimation::TCoolAnimation(QWidget* parent) : QWidget(parent) {
    timer_.setInterval(kCoolFrameMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % kCoolFrameCount;
        update();
    });
}

void TCoolAnimation::play() {
    frame_ = 0;
    timer_.start();
    update();
}

void TCoolAnimation::stop() { timer_.stop(); }

bool TCoolAnimation::isPlaying() const { return timer_.isActive(); }

void TCoolAnimation::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(QPoint(0, 0), coolFrame(frame_));
}

TDlgSinkou::TDlgSinkou(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TDlgSinkou"));
    setFixedSize(575, 166);
    auto label = [this](int top) {
        auto* l = new QLabel(this);
        l->setGeometry(8, top, 553, 18);
        return l;
    };
    Label1 = label(8);
    Label2 = label(30);
    Label3 = label(50);
    pbSinkou = new QProgressBar(this);
    pbSinkou->setGeometry(8, 80, 553, 25);
    pbSinkou->setTextVisible(false);
    anmSinkou = new TCoolAnimation(this);
    anmSinkou->setGeometry(16, 120, 33, 33);
    btnToriyame = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    btnToriyame->setGeometry(72, 120, 113, 25);
    connect(btnToriyame, &QPushButton::clicked, this, &TDlgSinkou::btnToriyameClick);
}

void TDlgSinkou::btnToriyameClick() {
    // The dialog is removed from inside its own button's click: the host must not free it
    // while the button is still handling the click.
    ++handlerDepth_;
    if (onCancel) onCancel();
    --handlerDepth_;
}

// There is no close button; the dialog only goes away through the progress routines.
void TDlgSinkou::closeEvent(QCloseEvent* e) { e->ignore(); }
void TDlgSinkou::reject() {}

namespace {

// The program's own progress dialog, found the way the window list would: a top-level
// TDlgSinkou of this process that has not been removed.
TDlgSinkou* findOwnDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<TDlgSinkou*>(w); d && !d->isGone()) return d;
    return nullptr;
}

void removeDialog(TDlgSinkou* d) {
    d->markGone();
    d->anmSinkou->stop();
    d->hide();
    // Inside the dialog's own click handler Qt frees it once the click has been handled;
    // anywhere else it goes at once.
    if (d->inHandler())
        d->deleteLater();
    else
        delete d;
}

} // namespace

bool SinkouWindows::exists() const { return findOwnDialog() != nullptr; }

void SinkouWindows::create(bool showCancel, const std::string& caption, std::int32_t min,
                           std::int32_t max) {
    auto* d = new TDlgSinkou;
    dialog_ = d;
    d->onCancel = [this] {
        if (cancel_) cancel_();
    };
    centreOnScreen(d);
    d->show();
    d->anmSinkou->play();
    d->btnToriyame->setVisible(showCancel);
    d->pbSinkou->setRange(min, max);
    d->pbSinkou->setValue(min);
    d->setWindowTitle(QString::fromUtf8(caption));
}

void SinkouWindows::setLines(const std::string& l1, const std::string& l2, const std::string& l3) {
    if (TDlgSinkou* d = findOwnDialog()) {
        d->Label1->setText(QString::fromUtf8(l1));
        d->Label2->setText(QString::fromUtf8(l2));
        d->Label3->setText(QString::fromUtf8(l3));
    }
}

// The bar clamps a position past its maximum; the routines keep the true count.
void SinkouWindows::setPosition(std::int32_t pos) {
    if (TDlgSinkou* d = findOwnDialog()) d->pbSinkou->setValue(std::min(pos, d->pbSinkou->maximum()));
}

// Not deleteLater: QCoreApplication::processEvents never runs deferred deletes posted at
// its own level, and flushing them with sendPostedEvents(nullptr, DeferredDelete) would
// also free objects others scheduled. A queued call on the dialog runs at the next
// processEvents and removes exactly this dialog.
void SinkouWindows::scheduleDestroy() {
    TDlgSinkou* d = findOwnDialog();
    if (!d) return;
    d->anmSinkou->stop();
    QMetaObject::invokeMethod(
        d, [d] { if (!d->isGone()) removeDialog(d); }, Qt::QueuedConnection);
}

void SinkouWindows::destroyNow() {
    if (TDlgSinkou* d = findOwnDialog()) removeDialog(d);
}

// Every progress call processes pending messages, unthrottled: a cancel click, the
// removal scheduled above and the drop menu's choice are seen only here, and these calls
// come once per run or per job row, not once per file entry.
void SinkouWindows::processMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

TDlgSinkou* SinkouWindows::current() const {
    TDlgSinkou* d = dialog_;
    return d && !d->isGone() ? d : nullptr;
}

} // namespace g3
