#include "app/clipboardcmds.h"

#include "engine/clipboard_ui.h"

#include <QAction>

namespace g3 {

ClipboardController::ClipboardController(WindowContext& window, ToolPlaces& places, QObject* parent)
    : FeatureController(window, parent) {
    past_ = makeTool(places, ToolSlot::Past, [this] { tbtnPastClick(); });
    makeTool(places, ToolSlot::Copy, [this] { tbtnCopyClick(); });
}

void ClipboardController::tbtnCopyClick() {
    CopyFilesToClipboard(window_.CurDir(), window_.selectedNames());
}

// The monitor is off while the files arrive; one refresh shows them all.
void ClipboardController::tbtnPastClick() {
    {
        MonitorOff quiet(window_);
        PasteFiles(window_.CurDir(), window_.services().boxes, window_.dialogOwner());
    }
    window_.treeRefresh();
}

// A paste beside a copy or move run would interleave with it.
void ClipboardController::onRunState(bool running) { past_->setEnabled(!running); }

} // namespace g3
