// Arrangement of the panels: the tree panel left of the list (layout 0) or above it
// (layout 1), the 5-pixel splitter between them, and the height of the tab panel.
#include "app/mein.h"

#include "app/splitter.h"
#include "app/tabstrip.h"

#include <QComboBox>
#include <QEvent>

#include <algorithm>

namespace g3 {

namespace {
constexpr int kSplitterThickness = 5;
}

// The tree panel keeps treeSize_ (clamped to the area) along the layout's axis; the
// splitter follows it and the list panel takes the rest.
void TForm1::arrangePanels() {
    const QRect r = area_->rect();
    if (layout_ == 1) {
        const int h = std::clamp(treeSize_, 0, std::max(0, r.height() - kSplitterThickness));
        paneTree_->setGeometry(0, 0, r.width(), h);
        splitter_->setGeometry(0, h, r.width(), kSplitterThickness);
        paneListQuick_->setGeometry(0, h + kSplitterThickness, r.width(),
                                    std::max(0, r.height() - h - kSplitterThickness));
    } else {
        const int w = std::clamp(treeSize_, 0, std::max(0, r.width() - kSplitterThickness));
        paneTree_->setGeometry(0, 0, w, r.height());
        splitter_->setGeometry(w, 0, kSplitterThickness, r.height());
        paneListQuick_->setGeometry(w + kSplitterThickness, 0,
                                    std::max(0, r.width() - w - kSplitterThickness), r.height());
    }
}

void TForm1::applyLayout() {
    if (layout_ == 1) {
        splitter_->setAlign(TdfsSplitter::Align::Top);
        treeSize_ = stackedTreeHeight_;
    } else {
        splitter_->setAlign(TdfsSplitter::Align::Left);
        treeSize_ = sideTreeWidth_;
    }
    arrangePanels();
}

void TForm1::setTreeSize(int size) {
    treeSize_ = size;
    arrangePanels();
}

void TForm1::tbtnTateYokoClick() {
    if (layout_ == 1) {
        stackedTreeHeight_ = paneTree_->height();
        layout_ = 0;
    } else {
        sideTreeWidth_ = paneTree_->width();
        layout_ = 1;
    }
    applyLayout();
}

// The strip spans the window less the 45 pixels of the buttons left of it; computing from
// the window's width gives the right rows also before the layout has placed the strip.
void TForm1::updatePaneBotom() {
    const int rows = tabs_->rowsFor(std::max(1, width() - 45));
    paneBotom_->setFixedHeight(std::max(rows, 1) * tabRowHeight_);
}

void TForm1::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    updatePaneBotom(); // FormResize
}

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Resize) {
        if (watched == area_) arrangePanels();
        if (watched == paneTreeTop_) combo_->setGeometry(0, 0, paneTreeTop_->width(), 25);
    }
    return QMainWindow::eventFilter(watched, e);
}

} // namespace g3
