#include "imgpreview/imgboxview.h"

#include "imgpreview/resample.h"

#include <QPainter>

#include <algorithm>

namespace g3 {

QRect stretchRect(QSize client, QSize picture) {
    const int cw = client.width(), ch = client.height();
    const int w = picture.width(), h = picture.height();
    if (cw <= 0 || ch <= 0 || w <= 0 || h <= 0) return {};
    // In 64 bits: a client of some 20 million pixels' width would overflow the product.
    const long long wp = static_cast<long long>(cw) * 100 / w;
    const long long hp = static_cast<long long>(ch) * 100 / h;
    if (wp <= hp) {
        const int newH = static_cast<int>(std::clamp<long long>(h * wp / 100, 1, ch));
        return {0, (ch - newH) / 2, cw, newH};
    }
    const int newW = static_cast<int>(std::clamp<long long>(w * hp / 100, 1, cw));
    return {(cw - newW) / 2, 0, newW, ch};
}

QRect centredRect(QSize client, QSize picture) {
    const int w = picture.width(), h = picture.height();
    const int left = w < client.width() ? (client.width() - w) / 2 : 0;
    const int top = h < client.height() ? (client.height() - h) / 2 : 0;
    return {left, top, w, h};
}

QImage composeView(QSize client, const QImage& picture, QRect at, QColor color) {
    const QSize size(std::max(client.width(), at.right() + 1),
                     std::max(client.height(), at.bottom() + 1));
    QImage view(size.expandedTo(QSize(0, 0)), QImage::Format_RGB888);
    if (view.isNull()) return view;
    view.fill(color);
    if (at.isEmpty() || picture.isNull()) return view;
    QImage scaled;
    const QImage* source = &picture;
    if (picture.size() != at.size()) {
        scaled = picture;
        ResizeBitmap(scaled, at.width(), at.height());
        source = &scaled;
    }
    QPainter p(&view);
    p.drawImage(at.topLeft(), *source);
    return view;
}

int scrollDelta(int code, const ScrollAxis& a) {
    int d = 0;
    switch (code) {
    case scLineUp: d = -a.lineStep; break;
    case scLineDown: d = a.lineStep; break;
    case scPageUp: d = -a.page; break;
    case scPageDown: d = a.page; break;
    case scPosition:
    case scTrack: d = a.track - a.pos; break;
    case scTop: d = -a.pos; break;
    case scBottom: d = a.max - a.pos; break;
    default: return 0;
    }
    if (a.pos + d < 0)
        d = -a.pos;
    else if (a.pos + d > a.max - a.page)
        d = a.max - a.page - a.pos + 1;
    // A picture shorter than the page has no room to scroll: the offset stays at 0.
    return std::max(d, -a.pos);
}

} // namespace g3
