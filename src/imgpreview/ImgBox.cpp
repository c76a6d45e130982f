#include "imgpreview/ImgBox.h"

#include "imgpreview/imgdecoder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <memory>

namespace g3 {

namespace {

int codeOfAction(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return scLineUp;
    case QAbstractSlider::SliderSingleStepAdd: return scLineDown;
    case QAbstractSlider::SliderPageStepSub: return scPageUp;
    case QAbstractSlider::SliderPageStepAdd: return scPageDown;
    case QAbstractSlider::SliderMove: return scTrack;
    case QAbstractSlider::SliderToMinimum: return scTop;
    case QAbstractSlider::SliderToMaximum: return scBottom;
    default: return scEndScroll;
    }
}

} // namespace

TCustomImgBox::TCustomImgBox(QWidget* parent)
    : QFrame(parent), imgUtil_(std::make_unique<TImgUtil>()),
      hBar_(new QScrollBar(Qt::Horizontal, this)), vBar_(new QScrollBar(Qt::Vertical, this)) {
    imgUtil_->setGetType(igtNormal);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // Only the picture rectangles a composition changes are painted again after a resize.
    setAttribute(Qt::WA_StaticContents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    hBar_->hide();
    vBar_->hide();
    connect(hBar_, &QAbstractSlider::actionTriggered, this,
            [this](int a) { barAction(Qt::Horizontal, a); });
    connect(vBar_, &QAbstractSlider::actionTriggered, this,
            [this](int a) { barAction(Qt::Vertical, a); });
    resize(250, 150);
}

// The thread goes first: it may still use the loader's settings and post its answer here.
TCustomImgBox::~TCustomImgBox() { decoder_.reset(); }

int TCustomImgBox::LineStep() {
    if (lineStep_ < 0) lineStep_ = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return lineStep_;
}

QRect TCustomImgBox::clientRect() const {
    QRect r = contentsRect();
    if (vScrollVisible_) r.setRight(r.right() - vBar_->sizeHint().width());
    if (hScrollVisible_) r.setBottom(r.bottom() - hBar_->sizeHint().height());
    return QRect(r.topLeft(), r.size().expandedTo(QSize(0, 0)));
}

void TCustomImgBox::layoutBars() {
    const QRect c = contentsRect();
    const QRect client = clientRect();
    vBar_->setGeometry(client.right() + 1, c.top(), c.right() - client.right(), client.height());
    hBar_->setGeometry(c.left(), client.bottom() + 1, client.width(), c.bottom() - client.bottom());
}

// --- Loading ------------------------------------------------------------------------------

int TCustomImgBox::LoadFile(const std::string& FileName) {
    dropRequest();
    shownFile_ = FileName;
    ResetView();
    const int R = imgUtil_->GetImage(FileName, width(), height(), 0);
    pictureSize_ = imgUtil_->Bitmap.size();
    heldResampled_ = false;
    showResult(R);
    return R;
}

void TCustomImgBox::showResult(int R) {
    // A picture without pixels has nothing to place (and no percentages to work out).
    hasImage_ = R == 0 && !pictureSize_.isEmpty() && !imgUtil_->Bitmap.isNull();
    UpdateScrollBars(true);
    UpdateView();
    if (!hasImage_) update(); // Empty shows Color, not what was there before
}

void TCustomImgBox::RequestFile(const std::string& FileName) {
    if (!decoder_) {
        // Answers come back to this thread through the event loop; the box outlives the
        // thread (the destructor stops it first), and a posted answer dies with the box.
        decoder_ = std::make_unique<TImgDecoder>([this](DecodeResult r) {
            auto answer = std::make_shared<DecodeResult>(std::move(r));
            QMetaObject::invokeMethod(this, [this, answer] { showDecoded(*answer); },
                                      Qt::QueuedConnection);
        });
    }
    DecodeRequest r;
    r.ticket = waitingTicket_ = ++lastTicket_;
    r.fileName = FileName;
    r.box = size();
    r.client = clientRect().size();
    r.sizeType = sizeType_;
    const TImgUtil& u = *imgUtil_;
    r.settings = {u.GetType(), u.Performance(), u.Font(), u.BKColor(),
                  u.TextExt(),  u.AviFramePos(), u.CustomImage};
    decoder_->request(std::move(r));
}

void TCustomImgBox::showDecoded(DecodeResult& r) {
    if (r.ticket != waitingTicket_) return; // overtaken by a newer request or a LoadFile
    waitingTicket_ = 0;
    if (r.result == 0 && r.iconDeferred) {
        LoadFile(r.fileName); // icons are drawn on this thread, and quickly
        return;
    }
    shownFile_ = r.fileName;
    ResetView();
    imgUtil_->Bitmap = std::move(r.bitmap);
    pictureSize_ = r.pictureSize;
    heldResampled_ = r.resampled;
    showResult(r.result);
}

void TCustomImgBox::dropRequest() {
    waitingTicket_ = 0;
    if (decoder_) decoder_->cancel();
}

void TCustomImgBox::StopDecoding() {
    waitingTicket_ = 0;
    decoder_.reset();
}

// --- Composition ----------------------------------------------------------------------------

void TCustomImgBox::ResetView() {
    imageRect_ = ResetMarker();
    viewBitmap_ = QImage();
}

void TCustomImgBox::UpdateView() {
    if (!hasImage_) {
        shownFile_.clear();
        return;
    }
    const QRect client = clientRect();
    const QImage& picture = imgUtil_->Bitmap;
    const QRect at = sizeType_ == ispStretch ? stretchRect(client.size(), pictureSize_)
                                             : centredRect(client.size(), pictureSize_);
    // A picture the thread resampled for another view is only a stand-in for this one
    // until the thread sends the picture for this size.
    if (heldResampled_ && at.size() != picture.size() && !shownFile_.empty() && !Decoding())
        RequestFile(shownFile_);
    viewBitmap_ = composeView(client.size(), picture, at, color_);
    const QRect newRect = at.intersected(QRect(QPoint(0, 0), client.size()));

    QRegion dirty;
    if (imageRect_ == ResetMarker()) {
        dirty = client;
    } else {
        if (imageRect_ != newRect) dirty += imageRect_.translated(client.topLeft());
        dirty += newRect.translated(client.topLeft());
    }
    imageRect_ = newRect;
    if (isVisible()) repaint(dirty);
}

void TCustomImgBox::UpdateScrollBars(bool Reset) {
    const int w = pictureSize_.width(), h = pictureSize_.height();
    const int oldX = scrollX_, oldY = scrollY_;
    if (Reset || sizeType_ == ispStretch) {
        scrollX_ = scrollY_ = 0;
    } else {
        const QSize c = clientRect().size();
        if (scrollY_ > h - c.height()) scrollY_ = h - c.height();
        if (scrollX_ > w - c.width()) scrollX_ = w - c.width();
    }
    if (sizeType_ == ispImage && hasImage_) {
        // Each bar takes room from the other's side, so the decision is made twice: a
        // horizontal bar that appears second may make the vertical one needed after all.
        for (int pass = 0; pass < 2; ++pass) {
            vScrollVisible_ = clientRect().height() + (hScrollVisible_ ? LineStep() : 0) < h;
            hScrollVisible_ = clientRect().width() + (vScrollVisible_ ? LineStep() : 0) < w;
        }
    } else {
        vScrollVisible_ = hScrollVisible_ = false;
    }
    const QSize c = clientRect().size();
    auto setBar = [](QScrollBar* bar, bool shown, int length, int page, int& pos, int& max) {
        bar->setVisible(shown);
        if (!shown) {
            pos = 0;
            return;
        }
        pos = std::clamp(pos, 0, std::max(0, length - page));
        bar->setRange(0, std::max(0, length - page));
        bar->setPageStep(page);
        bar->setValue(pos);
        max = length - 1;
    };
    setBar(vBar_, vScrollVisible_, h, c.height(), scrollY_, scrollMaxY_);
    setBar(hBar_, hScrollVisible_, w, c.width(), scrollX_, scrollMaxX_);
    vBar_->setSingleStep(LineStep());
    hBar_->setSingleStep(LineStep());
    layoutBars();
    if ((scrollX_ != oldX || scrollY_ != oldY) && imageRect_ != ResetMarker())
        imageRect_ = ResetMarker(); // the whole view moved: everything is painted again
}

// --- Scrolling ------------------------------------------------------------------------------

void TCustomImgBox::barAction(Qt::Orientation bar, int action) {
    QScrollBar* b = bar == Qt::Vertical ? vBar_ : hBar_;
    const int code = codeOfAction(action);
    if (code == scTrack) {
        // The thumb is where the user put it; the box follows.
        const int d = (bar == Qt::Vertical ? scrollY_ : scrollX_);
        ScrollBy(bar == Qt::Horizontal ? b->sliderPosition() - d : 0,
                 bar == Qt::Vertical ? b->sliderPosition() - d : 0);
        return;
    }
    scrollMessage(bar, code);
    // The bar would apply its own step after this; it stays where the box put it.
    b->setSliderPosition(bar == Qt::Vertical ? scrollY_ : scrollX_);
}

void TCustomImgBox::scrollMessage(Qt::Orientation bar, int code) {
    if (code > scBottom) return;
    const bool vertical = bar == Qt::Vertical;
    const QSize c = clientRect().size();
    ScrollAxis a;
    a.pos = vertical ? scrollY_ : scrollX_;
    a.max = vertical ? scrollMaxY_ : scrollMaxX_;
    a.page = vertical ? c.height() : c.width();
    a.lineStep = LineStep();
    a.track = (vertical ? vBar_ : hBar_)->sliderPosition();
    const int d = scrollDelta(code, a);
    ScrollBy(vertical ? 0 : d, vertical ? d : 0);
}

void TCustomImgBox::ScrollBy(int DX, int DY) {
    if (DX == 0 && DY == 0) return;
    scrollX_ += DX;
    scrollY_ += DY;
    if (DX != 0) hBar_->setValue(scrollX_);
    if (DY != 0) vBar_->setValue(scrollY_);
    // The pixels move; only the strip they uncover is painted from the view bitmap.
    scroll(-DX, -DY, clientRect());
}

void TCustomImgBox::keyPressEvent(QKeyEvent* e) {
    struct KeyCode {
        int key;
        Qt::Orientation bar;
        int code;
    };
    static constexpr KeyCode keys[] = {
        {Qt::Key_Up, Qt::Vertical, scLineUp},       {Qt::Key_Down, Qt::Vertical, scLineDown},
        {Qt::Key_Left, Qt::Horizontal, scLineUp},   {Qt::Key_Right, Qt::Horizontal, scLineDown},
        {Qt::Key_PageUp, Qt::Vertical, scPageUp},   {Qt::Key_PageDown, Qt::Vertical, scPageDown},
        {Qt::Key_Home, Qt::Vertical, scTop},        {Qt::Key_End, Qt::Vertical, scBottom},
    };
    for (const KeyCode& k : keys) {
        if (e->key() != k.key) continue;
        if ((k.bar == Qt::Vertical ? vScrollVisible_ : hScrollVisible_)) scrollMessage(k.bar, k.code);
        e->accept();
        return;
    }
    QFrame::keyPressEvent(e);
}

void TCustomImgBox::wheelEvent(QWheelEvent* e) {
    const QPoint delta = e->angleDelta();
    const bool horizontal = delta.x() != 0 || (e->modifiers() & Qt::ShiftModifier);
    const Qt::Orientation bar = horizontal ? Qt::Horizontal : Qt::Vertical;
    if (!(horizontal ? hScrollVisible_ : vScrollVisible_)) {
        e->ignore();
        return;
    }
    const int steps = (horizontal && delta.x() != 0 ? delta.x() : delta.y()) / 120;
    const int lines = steps * QApplication::wheelScrollLines();
    for (int i = 0; i < std::abs(lines); ++i) scrollMessage(bar, lines > 0 ? scLineUp : scLineDown);
    e->accept();
}

// --- Events -------------------------------------------------------------------------------

void TCustomImgBox::paintEvent(QPaintEvent* e) {
    QFrame::paintEvent(e);
    QPainter p(this);
    const QRect client = clientRect();
    p.setClipRect(client);
    // One copy from the view bitmap; Color only where it has nothing (an Empty box).
    const QRect source = QRect(QPoint(scrollX_, scrollY_), client.size()).intersected(viewBitmap_.rect());
    const QPoint at = client.topLeft() + source.topLeft() - QPoint(scrollX_, scrollY_);
    if (source.size() != client.size())
        p.fillRect(client, color_);
    if (!source.isEmpty()) p.drawImage(at, viewBitmap_, source);
    if (hScrollVisible_ && vScrollVisible_) {
        p.setClipping(false);
        p.fillRect(QRect(client.right() + 1, client.bottom() + 1, vBar_->width(), hBar_->height()),
                   palette().window());
    }
    emit OnPaint();
}

void TCustomImgBox::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    layoutBars();
    if (!hasImage_) return;
    UpdateScrollBars(false);
    UpdateView();
}

void TCustomImgBox::mousePressEvent(QMouseEvent* e) {
    QFrame::mousePressEvent(e);
    if ((e->button() == Qt::LeftButton || e->button() == Qt::RightButton) && !hasFocus())
        setFocus(Qt::MouseFocusReason);
}

void TCustomImgBox::setColor(QColor c) {
    if (c == color_) return;
    color_ = c;
    imageRect_ = ResetMarker();
    UpdateView();
    update();
}

void TCustomImgBox::setSizeType(TSizeType t) {
    if (t == sizeType_) return;
    sizeType_ = t;
    ResetView();
    UpdateScrollBars(true);
    UpdateView();
}

void TCustomImgBox::setBorderStyle(TBorderStyle s) {
    if (s == borderStyle_) return;
    borderStyle_ = s;
    setFrameStyle(s == bsSingle ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
    imageRect_ = ResetMarker();
    layoutBars();
    if (hasImage_) {
        UpdateScrollBars(false);
        UpdateView();
    }
    update();
}

} // namespace g3
