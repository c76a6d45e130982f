#include "engine/coolclip.h"

#include <QPainter>
#include <QPainterPath>

namespace g3 {

namespace {

void paintHill(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8b, 0x5a, 0x2b));
    p.drawEllipse(QRectF(8, 10, 34, 40));
    p.setBrush(QColor(0x3a, 0x7d, 0x2a));
    p.drawRect(QRectF(0, 28, 32, 5));
    // The cave mouth: a dark arch at the foot of the hill.
    QPainterPath mouth;
    mouth.moveTo(17, 28);
    mouth.arcTo(QRectF(17, 16, 12, 24), 180, -180);
    mouth.closeSubpath();
    p.setBrush(QColor(0x10, 0x10, 0x10));
    p.drawPath(mouth);
}

// The house walks right; from frame 5 on it slips behind the mouth's edge.
void paintHouse(QPainter& p, int frame) {
    const qreal x = 1 + frame * 2.5;
    const qreal bob = (frame % 2) ? 1 : 0;
    p.setClipRect(QRectF(0, 0, frame >= 5 ? 23 : 32, 33));
    p.setPen(QPen(QColor(0x40, 0x20, 0x10), 1));
    p.setBrush(QColor(0xf4, 0xe4, 0xc1));
    p.drawRect(QRectF(x, 19 + bob, 9, 8));
    QPolygonF roof;
    roof << QPointF(x - 1.5, 19.5 + bob) << QPointF(x + 4.5, 13 + bob)
         << QPointF(x + 10.5, 19.5 + bob);
    p.setBrush(QColor(0xc0, 0x30, 0x20));
    p.drawPolygon(roof);
    p.setBrush(QColor(0x60, 0x90, 0xd0));
    p.drawRect(QRectF(x + 5, 21 + bob, 2.5, 2.5));
    p.setClipping(false);
}

// A lantern inside the cave flickers on alternate frames.
void paintLantern(QPainter& p, int frame) {
    p.setPen(Qt::NoPen);
    p.setBrush(frame % 2 ? QColor(0xff, 0xd8, 0x40) : QColor(0xc0, 0x90, 0x20));
    p.drawEllipse(QRectF(23, 22, 3, 3));
}

} // namespace

QImage coolFrame(int index) {
    const int frame = ((index % kCoolFrameCount) + kCoolFrameCount) % kCoolFrameCount;
    QImage img(kCoolFrameWidth, kCoolFrameHeight, QImage::Format_RGB888);
    img.fill(QColor(0xcf, 0xe8, 0xf8));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paintHill(p);
    paintLantern(p, frame);
    paintHouse(p, frame);
    return img;
}

} // namespace g3
