#include "app/tabstrip.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTab>
#include <QTabBar>

#include <algorithm>

namespace g3 {

TTabStrip::TTabStrip(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void TTabStrip::setTabSize(int width, int height) {
    tabWidth_ = std::max(1, width);
    tabHeight_ = std::max(1, height);
    rowsMayHaveChanged();
    update();
}

void TTabStrip::addTab(const QString& caption) {
    captions_.append(caption);
    rowsMayHaveChanged();
    update();
}

void TTabStrip::removeTab(int index) {
    if (index < 0 || index >= count()) return;
    captions_.removeAt(index);
    if (tabIndex_ == index) tabIndex_ = -1;
    else if (tabIndex_ > index) --tabIndex_;
    rowsMayHaveChanged();
    update();
}

void TTabStrip::setTabIndex(int index) {
    tabIndex_ = (index >= 0 && index < count()) ? index : -1;
    update();
}

int TTabStrip::perRow(int stripWidth) const { return std::max(1, stripWidth / tabWidth_); }

int TTabStrip::rowsFor(int stripWidth) const {
    const int n = count();
    return n == 0 ? 0 : (n + perRow(stripWidth) - 1) / perRow(stripWidth);
}

QRect TTabStrip::tabRect(int index) const {
    if (index < 0 || index >= count()) return {};
    const int per = perRow(width());
    return QRect((index % per) * tabWidth_, (index / per) * tabHeight_, tabWidth_, tabHeight_);
}

int TTabStrip::indexOfTabAt(const QPoint& pos) const {
    for (int i = 0; i < count(); ++i)
        if (tabRect(i).contains(pos)) return i;
    return -1;
}

QSize TTabStrip::sizeHint() const {
    return {tabWidth_ * 4, std::max(1, rowCount()) * tabHeight_};
}

void TTabStrip::rowsMayHaveChanged() {
    const int rows = rowCount();
    if (rows == lastRows_) return;
    lastRows_ = rows;
    emit rowCountChanged(rows);
}

void TTabStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab opt;
        opt.initFrom(this);
        opt.shape = QTabBar::RoundedSouth;
        opt.rect = tabRect(i);
        opt.text = fontMetrics().elidedText(captions_[i], Qt::ElideRight, tabWidth_ - 8);
        opt.state &= ~QStyle::State_MouseOver;
        if (i == tabIndex_) opt.state |= QStyle::State_Selected;
        if (opt.rect.contains(mapFromGlobal(QCursor::pos())) && underMouse())
            opt.state |= QStyle::State_MouseOver;
        style()->drawControl(QStyle::CE_TabBarTab, &opt, &p, this);
    }
}

void TTabStrip::mouseMoveEvent(QMouseEvent* e) {
    emit tabMouseMove(e->position().toPoint());
    update();
}

void TTabStrip::mouseReleaseEvent(QMouseEvent* e) {
    emit tabMouseUp(e->button(), e->position().toPoint());
}

void TTabStrip::resizeEvent(QResizeEvent*) { rowsMayHaveChanged(); }

} // namespace g3
