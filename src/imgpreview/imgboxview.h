// The image box's arithmetic without the widget: where a picture goes in the client area in
// either sizing mode, the view bitmap composed from it, and how one scroll code moves an
// offset. The box (ImgBox.h) and its decoding thread (imgdecoder.h) share these, so both
// place a picture the same way.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

namespace g3 {

// ispImage: natural size, centred when smaller than the client area, scrollable when larger.
// ispStretch: fitted to the client area, aspect kept to whole percents, enlarged or shrunk.
enum TSizeType { ispImage, ispStretch };

// The scroll codes of a scroll bar, by their numbers.
enum TScrollCode {
    scLineUp = 0,
    scLineDown = 1,
    scPageUp = 2,
    scPageDown = 3,
    scPosition = 4,
    scTrack = 5,
    scTop = 6,
    scBottom = 7,
    scEndScroll = 8,
};

// ispStretch: the rectangle a w x h picture takes in a client of `client`. The scale is a
// whole percentage (truncated) of whichever side decides; the other side is centred. Each
// side is at least one pixel, so a picture a hundred times wider than the client still
// shows. Empty when the picture or the client has no area.
QRect stretchRect(QSize client, QSize picture);

// ispImage: the rectangle of the picture at its natural size, centred on each axis where it
// is smaller than the client, at 0 where it is not. Not clipped.
QRect centredRect(QSize client, QSize picture);

// The view bitmap (QImage::Format_RGB888) for a client area: `picture` put into the
// rectangle `at`, resampled to its size with ResizeBitmap when it has another, the rest of
// the area `color`. The bitmap is as large as the client and the rectangle together.
// `picture` is left as it is. Throws what ResizeBitmap throws.
QImage composeView(QSize client, const QImage& picture, QRect at, QColor color);

// One axis of a scroll bar for scrollDelta: the offset, the picture's last pixel (length
// - 1, as the bar was given it), the page (the client's length), the line step and, for
// scPosition and scTrack, where the user put the thumb.
struct ScrollAxis {
    int pos = 0;
    int max = 0;
    int page = 0;
    int lineStep = 0;
    int track = 0;
};

// The distance one scroll code moves the offset. Never before 0 and never past max - page
// + 1, where the picture's last row (or column) is the client's last; 0 for codes past
// scBottom.
int scrollDelta(int code, const ScrollAxis& axis);

} // namespace g3
