// TDropDst: lets a control accept files dropped from any program. The hooked control (for a
// scroll area its viewport) is registered as a drop site while AcceptDrop is true; a drop
// of files raises OnFileDrop once, before the control sees the drop.
#pragma once

#include "fscomp/CTLHOOK.h"

#include <QDropEvent>

#include <functional>
#include <string>
#include <vector>

namespace g3 {

class MessageBoxes;

// Sender, the dropped full paths (exact bytes, in the order given; valid during the call),
// and the drop point in client coordinates of the hooked control (of its viewport for a
// scroll area).
using TFileDropEvent =
    std::function<void(QObject* Sender, const std::vector<std::string>& Files, int X, int Y)>;

// Asked as a drag of files moves over the control, and once more at the drop, with the
// point as OnFileDrop gets it: false when the control takes no files there.
using TDropQueryEvent = std::function<bool(QObject* Sender, int X, int Y)>;

class TDropDst : public TControlHook {
    Q_OBJECT
public:
    explicit TDropDst(QObject* owner = nullptr);
    ~TDropDst() override;

    TFileDropEvent OnFileDrop;
    // Where it answers false the pointer shows the refusal and a drop raises nothing.
    // Without it every point of the control takes files.
    TDropQueryEvent OnDragOver;

    // Where an exception of OnFileDrop is shown, once (none: it is dropped, and the next
    // drop is handled as any other).
    MessageBoxes* ErrorDisplay = nullptr;

    bool AcceptDrop() const { return acceptDrop_; }
    void setAcceptDrop(bool accept);
    // Registers or unregisters the hooked control as a drop site, when one is hooked.
    void UpdateAcceptFiles();

protected:
    void HandleChanged(int Kind) override;
    void hookChanged() override { UpdateAcceptFiles(); }
    bool HookedMessage(QObject* watched, QEvent* event) override;

private:
    void DoFileDrop(const std::vector<std::string>& files, const QPoint& at);
    void restoreSite();
    // No drops while AcceptDrop is false, nor while a drop's handler runs (a menu or a
    // modal window of the handler processes events; a second drop must not run inside it).
    bool refusing() const { return !acceptDrop_ || busy_; }
    static void acceptAsCopy(QDropEvent* e);
    bool takesAt(const QPointF& at);

    bool acceptDrop_ = true;
    QPointer<QWidget> site_; // the widget registered by us, and what it accepted before
    bool siteAccepted_ = false;
    bool busy_ = false;
};

} // namespace g3
