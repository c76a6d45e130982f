// TImgBox: the control that shows the picture of one file. The owner hands it a path; the
// box asks its own loader (TImgUtil) for the picture at the box's size, composes a view
// bitmap (the picture at natural size with scroll bars, or fitted to the client area) and
// paints that bitmap with one copy. TCustomImgBox holds the behaviour, TImgBox publishes it.
//
// Empty (no picture: after construction or a load that failed) shows the box's Color;
// Showing (after a load that returned 0) shows the picture. The view is composed again on a
// load, on a size change while Showing and on a SizeType change, always from the picture
// kept in the loader.
//
// User-interface thread only. RequestFile decodes on a thread of the box's own
// (imgdecoder.h); LoadFile decodes on the calling thread.
#pragma once

#include "imgpreview/ImgUtils.h"
#include "imgpreview/imgboxview.h"

#include <QFrame>
#include <QImage>
#include <QRect>

#include <cstdint>
#include <memory>
#include <string>

class QScrollBar;

namespace g3 {

class TImgDecoder;
struct DecodeResult;

enum TBorderStyle { bsNone, bsSingle };

class TCustomImgBox : public QFrame {
    Q_OBJECT
public:
    // 250 x 150, white, bsSingle, ispImage, a loader with igtNormal, taking the focus.
    explicit TCustomImgBox(QWidget* parent = nullptr);
    ~TCustomImgBox() override;

    // Shows a file: the loader's picture for the box's outer size. Returns GetImage's result
    // (0: shown); any other result leaves the box Empty with ShownFile emptied. A request
    // still being decoded is dropped. Exceptions of the resampler reach the caller.
    int LoadFile(const std::string& FileName);
    // Shows a file as LoadFile does, decoded on the box's thread: the box goes on showing
    // what it shows until the picture arrives, and a newer RequestFile or LoadFile drops
    // it. A file shown as its icon is drawn here when its answer arrives.
    void RequestFile(const std::string& FileName);
    // Waits for the decode under way, if any, and drops every answer still to come; the
    // next RequestFile starts the thread again. For an owner about to release what the
    // loader's CustomImage points to.
    void StopDecoding();
    // True while a RequestFile has not been answered.
    bool Decoding() const { return waitingTicket_ != 0; }

    QColor Color() const { return color_; }
    void setColor(QColor c);

    // --- State, as the box keeps it (read-outs for the window and tests) ------------------
    const std::string& ShownFile() const { return shownFile_; }
    bool HasImage() const { return hasImage_; }
    // Where the last composition put the picture, in client coordinates, clipped to the
    // client; ResetMarker() until the next composition after a reset.
    QRect ImageRect() const { return imageRect_; }
    static QRect ResetMarker() { return QRect(-1, -1, 0, 0); }
    bool HScrollVisible() const { return hScrollVisible_; }
    bool VScrollVisible() const { return vScrollVisible_; }
    int ScrollX() const { return scrollX_; }
    int ScrollY() const { return scrollY_; }
    int ScrollMaxX() const { return scrollMaxX_; }
    int ScrollMaxY() const { return scrollMaxY_; }
    // One line of scrolling: the scroll bars' thickness, asked once.
    int LineStep();
    const QImage& ViewBitmap() const { return viewBitmap_; }
    // The area inside the border and beside the scroll bars that are shown.
    QRect clientRect() const;
    QScrollBar* horizontalBar() const { return hBar_; }
    QScrollBar* verticalBar() const { return vBar_; }

    // One scroll code on one bar, as the bar, the wheel or the keys send it.
    void scrollMessage(Qt::Orientation bar, int code);

signals:
    // After every paint.
    void OnPaint();

protected:
    TImgUtil& ImgUtil() { return *imgUtil_; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void setBorderStyle(TBorderStyle s);
    TSizeType SizeType() const { return sizeType_; }
    void setSizeType(TSizeType t);

    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void ResetView();
    void UpdateView();
    void UpdateScrollBars(bool Reset);
    void ScrollBy(int DX, int DY);

    // After the loader (or the decoding thread) answered R: the state and the view.
    void showResult(int R);
    void showDecoded(DecodeResult& r);
    void dropRequest();
    void layoutBars();
    void barAction(Qt::Orientation bar, int action);

    std::unique_ptr<TImgUtil> imgUtil_;
    QImage viewBitmap_;
    TSizeType sizeType_ = ispImage;
    TBorderStyle borderStyle_ = bsSingle;
    std::string shownFile_;
    bool hasImage_ = false;
    QRect imageRect_{0, 0, 0, 0};
    bool hScrollVisible_ = false, vScrollVisible_ = false;
    int scrollX_ = 0, scrollY_ = 0;
    int scrollMaxX_ = 0, scrollMaxY_ = 0;
    int lineStep_ = -1;
    QColor color_{Qt::white};
    QScrollBar* hBar_;
    QScrollBar* vBar_;

    // The picture in the loader's Bitmap stands for a picture of pictureSize_; when it came
    // from the decoding thread already resampled (heldResampled_), a view of any other size
    // asks the thread for the file again.
    QSize pictureSize_;
    bool heldResampled_ = false;
    std::unique_ptr<TImgDecoder> decoder_;
    std::uint64_t lastTicket_ = 0;
    std::uint64_t waitingTicket_ = 0; // 0: no request unanswered
};

class TImgBox : public TCustomImgBox {
    Q_OBJECT
public:
    using TCustomImgBox::TCustomImgBox;
    using TCustomImgBox::ImgUtil;
    using TCustomImgBox::BorderStyle;
    using TCustomImgBox::setBorderStyle;
    using TCustomImgBox::SizeType;
    using TCustomImgBox::setSizeType;
};

} // namespace g3
