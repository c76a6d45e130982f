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

    void onRunState(bool running) override;

private:
    QAction* past_;
};

} // namespace g3
