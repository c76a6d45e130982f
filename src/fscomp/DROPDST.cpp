#include "fscomp/DROPDST.h"

#include "ui/msgbox.h"
#include "fscomp/dropformats.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

#include <stdexcept>

namespace g3 {

TDropDst::TDropDst(QObject* owner) : TControlHook(owner) {}

TDropDst::~TDropDst() {
    Hook(false);
    restoreSite();
}

void TDropDst::setAcceptDrop(bool accept) {
    if (accept == acceptDrop_) return;
    acceptDrop_ = accept;
    UpdateAcceptFiles();
}

// What the widget accepted before we registered it is given back when the hook moves on.
void TDropDst::restoreSite() {
    if (site_) site_->setAcceptDrops(siteAccepted_);
    site_ = nullptr;
}

void TDropDst::UpdateAcceptFiles() {
    QWidget* w = hookedHandle() > 0 ? eventWidget() : nullptr;
    if (site_ != w) {
        restoreSite();
        if (!w) return;
        site_ = w;
        siteAccepted_ = w->acceptDrops();
    }
    if (w) w->setAcceptDrops(acceptDrop_);
}

void TDropDst::HandleChanged(int Kind) {
    TControlHook::HandleChanged(Kind);
    UpdateAcceptFiles();
}

// The handler decides what happens to the files (its menu); the source is told Copy, so it
// never deletes anything on its own.
void TDropDst::acceptAsCopy(QDropEvent* e) {
    if (e->possibleActions() & Qt::CopyAction) {
        e->setDropAction(Qt::CopyAction);
        e->accept();
    } else {
        e->acceptProposedAction();
    }
}

bool TDropDst::takesAt(const QPointF& at) {
    if (!OnDragOver) return true;
    TDropQueryEvent query = OnDragOver;
    const QPoint p = at.toPoint();
    return query(this, p.x(), p.y());
}

bool TDropDst::HookedMessage(QObject* watched, QEvent* event) {
    if (watched != eventWidget()) return TControlHook::HookedMessage(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        if (refusing()) {
            e->ignore();
            return true;
        }
        if (!e->mimeData() || readDroppedFiles(*e->mimeData()).empty())
            return false; // not files: the control may take it
        // An enter is always taken, or the moves that follow would not come here; the move
        // that follows every enter answers for the point.
        if (event->type() == QEvent::DragMove && !takesAt(e->position()))
            e->ignore();
        else
            acceptAsCopy(e);
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        std::vector<std::string> files;
        if (e->mimeData()) files = readDroppedFiles(*e->mimeData());
        if (refusing() || (!files.empty() && !takesAt(e->position()))) {
            e->ignore();
            return true;
        }
        if (files.empty()) return false;
        acceptAsCopy(e);
        busy_ = true;
        DoFileDrop(files, e->position().toPoint());
        busy_ = false;
        return true;
    }
    default: return TControlHook::HookedMessage(watched, event);
    }
}

// The handler's exceptions end here: shown once by the general error display, and the
// next drop is handled as any other.
void TDropDst::DoFileDrop(const std::vector<std::string>& files, const QPoint& at) {
    if (!OnFileDrop) return;
    TFileDropEvent handler = OnFileDrop; // the handler may replace itself
    try {
        handler(this, files, at.x(), at.y());
    } catch (const std::exception& e) {
        if (ErrorDisplay) ErrorDisplay->showException(e);
    } catch (...) {
        if (ErrorDisplay) ErrorDisplay->showException(std::runtime_error("不明な例外が発生しました。"));
    }
}

} // namespace g3
