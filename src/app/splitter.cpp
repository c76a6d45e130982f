#include "app/splitter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace g3 {

TdfsSplitter::TdfsSplitter(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAlign(Align::Left);
}

void TdfsSplitter::setAlign(Align a) {
    align_ = a;
    setCursor(a == Align::Left ? Qt::SplitHCursor : Qt::SplitVCursor);
    update();
}

QRect TdfsSplitter::buttonRect() const {
    // Centred along the bar, clipped so at least one pixel of bar remains at either end.
    const int length = align_ == Align::Left ? height() : width();
    const int len = std::max(0, std::min(kButtonLength, length - 2));
    const int start = (length - len) / 2;
    return align_ == Align::Left ? QRect(0, start, width(), len) : QRect(start, 0, len, height());
}

int TdfsSplitter::along(const QPoint& global) const {
    return align_ == Align::Left ? global.x() : global.y();
}

int TdfsSplitter::panelSize() const {
    if (!control_) return 0;
    return align_ == Align::Left ? control_->width() : control_->height();
}

int TdfsSplitter::maxPanelSize() const {
    const QWidget* p = parentWidget();
    if (!p) return panelSize();
    const int extent = align_ == Align::Left ? p->width() : p->height();
    const int bar = align_ == Align::Left ? width() : height();
    return std::max(kMinSize, extent - bar - kMinSize);
}

void TdfsSplitter::setHot(bool hot) {
    if (hot == hot_) return;
    hot_ = hot;
    // Over the button the pointer is the ordinary arrow; elsewhere it sizes.
    if (hot)
        setCursor(Qt::ArrowCursor);
    else
        setCursor(align_ == Align::Left ? Qt::SplitHCursor : Qt::SplitVCursor);
    update();
}

void TdfsSplitter::toggleCollapsed(int currentSize) {
    if (!control_) return;
    if (collapsed_) {
        collapsed_ = false;
        emit sizeRequested(restoreSize_);
    } else {
        restoreSize_ = currentSize;
        collapsed_ = true;
        emit sizeRequested(kMinSize);
    }
}

void TdfsSplitter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QRect b = buttonRect();
    p.fillRect(b, hot_ ? palette().highlight() : palette().mid());
    // A small arrow pointing where the click moves the bar.
    const bool towardsPanel = !collapsed_;
    p.setPen(Qt::NoPen);
    p.setBrush(hot_ ? palette().highlightedText() : palette().windowText());
    const QPoint c = b.center();
    QPolygon tri;
    if (align_ == Align::Left) {
        const int d = towardsPanel ? -1 : 1;
        tri << QPoint(c.x() + d * 2, c.y()) << QPoint(c.x() - d * 1, c.y() - 3)
            << QPoint(c.x() - d * 1, c.y() + 3);
    } else {
        const int d = towardsPanel ? -1 : 1;
        tri << QPoint(c.x(), c.y() + d * 2) << QPoint(c.x() - 3, c.y() - d * 1)
            << QPoint(c.x() + 3, c.y() - d * 1);
    }
    p.drawPolygon(tri);
}

void TdfsSplitter::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    sizing_ = control_ != nullptr;
    pressOnButton_ = buttonRect().contains(e->position().toPoint());
    pressGlobal_ = along(e->globalPosition().toPoint());
    pressSize_ = panelSize();
}

void TdfsSplitter::mouseMoveEvent(QMouseEvent* e) {
    setHot(buttonRect().contains(e->position().toPoint()));
    if (!sizing_ || !(e->buttons() & Qt::LeftButton)) return;
    const int delta = along(e->globalPosition().toPoint()) - pressGlobal_;
    emit sizeRequested(std::clamp(pressSize_ + delta, kMinSize, maxPanelSize()));
}

void TdfsSplitter::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const bool wasSizing = sizing_;
    sizing_ = false;
    const int moved = along(e->globalPosition().toPoint()) - pressGlobal_;
    if (pressOnButton_ && buttonRect().contains(e->position().toPoint()) &&
        std::abs(moved) <= kClickSlop) {
        // A click on the button: undo the few pixels of sizing, then toggle.
        if (wasSizing && panelSize() != pressSize_) emit sizeRequested(pressSize_);
        toggleCollapsed(wasSizing ? pressSize_ : panelSize());
    }
    pressOnButton_ = false;
}

void TdfsSplitter::leaveEvent(QEvent*) { setHot(false); }

} // namespace g3
