// TControlHook: sees every event of one control (or of the window that holds it) before the
// control does, as an event filter installed on it, and learns when the control's native
// window is destroyed and created again (QEvent::WinIdChange).
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace g3 {

enum THookTarget { htControl = 0, htForm = 1 };

class TControlHook : public QObject {
    Q_OBJECT
public:
    // The hooked handle while the control's window is being created anew.
    static constexpr qintptr kRecreating = -1;

    explicit TControlHook(QObject* owner = nullptr);
    ~TControlHook() override;

    QWidget* Control() const { return control_; }
    // Unhooks, stores the control, hooks again.
    void setControl(QWidget* control);
    THookTarget Target() const { return target_; }
    // Unhooks, stores the target, hooks again. Throws std::runtime_error
    // "フック先を特定できません。" when htForm finds no window to hook.
    void setTarget(THookTarget target);

    // The control whose events are intercepted, and its window: its native id when it has
    // one, else its own address (a widget drawn inside its window); 0 when not hooked,
    // kRecreating between the destruction and the next event of a re-created window.
    QWidget* hookedControl() const { return hooked_; }
    qintptr hookedHandle() const { return handle_; }

    void Hook(bool Enable);
    // htControl: Control. htForm: the window of Control, or of the first widget among the
    // hook's owners when Control is not set; nullptr when there is none.
    QWidget* HookTarget() const;

protected:
    // Kind 1: the hooked window is gone (the handle is forgotten); any other Kind: it exists
    // again (the handle is fetched anew).
    virtual void HandleChanged(int Kind);
    // Every event of the hooked control; true consumes it. The base passes it on.
    virtual bool HookedMessage(QObject* watched, QEvent* event);
    // Called after every Hook(true) or Hook(false).
    virtual void hookChanged() {}
    // The object events are filtered on: the hooked control, or for a scroll area its
    // viewport (where the mouse and drag events go).
    QWidget* eventWidget() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void forgetHooked();
    qintptr currentHandle() const;

    QPointer<QWidget> control_;
    THookTarget target_ = htControl;
    QPointer<QWidget> hooked_;
    QPointer<QWidget> filtered_; // the object the filter is installed on
    qintptr handle_ = 0;
    QMetaObject::Connection destroyedConn_;
};

} // namespace g3
