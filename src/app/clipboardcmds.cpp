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

void ClipboardController::tbtnPastClick() { pasteInto(window_.CurDir()); }

// The monitor is off while the files arrive; one refresh shows them all.
int ClipboardController::pasteInto(const std::string& folder) {
    int result = 0;
    {
        MonitorOff quiet(window_);
        result = PasteFiles(folder, window_.services().boxes, window_.dialogOwner());
    }
    window_.treeRefresh();
    return result;
}

// A paste beside a copy or move run would interleave with it.
void ClipboardController::onRunState(bool running) { past_->setEnabled(!running); }

} // namespace g3
