#include "fscomp/CTLHOOK.h"

#include <QAbstractScrollArea>
#include <QEvent>

#include <stdexcept>

namespace g3 {

TControlHook::TControlHook(QObject* owner) : QObject(owner) {}

TControlHook::~TControlHook() { Hook(false); }

void TControlHook::setControl(QWidget* control) {
    Hook(false);
    control_ = control;
    Hook(true);
}

void TControlHook::setTarget(THookTarget target) {
    Hook(false);
    target_ = target;
    Hook(true);
}

QWidget* TControlHook::HookTarget() const {
    if (target_ == htControl) return control_;
    for (QObject* o = control_ ? static_cast<QObject*>(control_.data()) : parent(); o;
         o = o->parent())
        if (auto* w = qobject_cast<QWidget*>(o)) return w->window();
    return nullptr;
}

qintptr TControlHook::currentHandle() const {
    if (!hooked_) return 0;
    if (WId id = hooked_->internalWinId()) return static_cast<qintptr>(id);
    return reinterpret_cast<qintptr>(hooked_.data());
}

QWidget* TControlHook::eventWidget() const {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(hooked_.data())) return area->viewport();
    return hooked_;
}

void TControlHook::Hook(bool Enable) {
    if (!Enable) {
        if (filtered_) filtered_->removeEventFilter(this);
        if (hooked_ && hooked_ != filtered_) hooked_->removeEventFilter(this);
        forgetHooked();
        hookChanged();
        return;
    }
    QWidget* t = HookTarget();
    if (!t) {
        if (target_ == htForm) throw std::runtime_error("フック先を特定できません。");
        return;
    }
    hooked_ = t;
    handle_ = currentHandle();
    destroyedConn_ = connect(t, &QObject::destroyed, this, [this] {
        HandleChanged(1);
        forgetHooked();
    });
    // The control itself always (its window events); its viewport too for a scroll area.
    t->installEventFilter(this);
    filtered_ = eventWidget();
    if (filtered_ != t) filtered_->installEventFilter(this);
    hookChanged();
}

void TControlHook::forgetHooked() {
    disconnect(destroyedConn_);
    hooked_ = nullptr;
    filtered_ = nullptr;
    handle_ = 0;
}

void TControlHook::HandleChanged(int Kind) { handle_ = Kind == 1 ? 0 : currentHandle(); }

bool TControlHook::HookedMessage(QObject*, QEvent*) { return false; }

bool TControlHook::eventFilter(QObject* watched, QEvent* event) {
    if (!hooked_ || (watched != hooked_ && watched != filtered_)) return false;
    if (watched == hooked_ && event->type() == QEvent::WinIdChange) {
        // A native window came or went: gone when the control has none now, else the new
        // one is taken at once.
        if (!hooked_->internalWinId()) {
            HandleChanged(1);
        } else {
            handle_ = kRecreating;
            HandleChanged(2);
        }
    } else if (handle_ == kRecreating || handle_ == 0) {
        HandleChanged(2);
    }
    return HookedMessage(watched, event);
}

} // namespace g3
