// Files through the desktop's clipboard: the tool bar's copy of the selection and paste into
// the current folder.
#pragma once

#include "app/feature.h"

namespace g3 {

class ClipboardController final : public FeatureController {
    Q_OBJECT
public:
    ClipboardController(WindowContext& window, ToolPlaces& places, QObject* parent);

    void tbtnCopyClick();
    void tbtnPastClick();
    // The clipboard's files copied into folder, with the monitor off meanwhile and one
    // refresh after; the shell file operation's result.
    int pasteInto(const std::string& folder);

    void onRunState(bool running) override;

private:
    QAction* past_;
};

} // namespace g3
