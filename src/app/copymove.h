// Copy and move: the worker with the host it reaches the window through, the same-name and
// folder dialogs, the tool bar's 建て増す and 引っ越す, and the runs of the window's drops.
#pragma once

#include "app/feature.h"
#include "engine/errorlist.h"

#include <memory>
#include <string>
#include <vector>

namespace g3 {

class CopyHost;
class TCopyEngine;
class TFolderDialog;
class TForm3;
class TOKRightDlg;

class CopyMoveController final : public FeatureController {
    Q_OBJECT
public:
    CopyMoveController(WindowContext& window, ToolPlaces& places, QObject* parent);
    ~CopyMoveController() override;

    // Where the list of a run's failures lives and is reported (none: the list is kept
    // here and nothing is asked).
    void setErrorWindow(TOKRightDlg* dlg) { errorWindow_ = dlg; }
    ErrorList& errors();
    TOKRightDlg* errorWindow() const { return errorWindow_; }

    // The dropped list, with the kind the drop menu chose, into the current folder
    // (copinew). False when refused (a run is going on, or a folder into itself).
    bool runDrop(const std::vector<std::string>& files, int kind);
    bool running() const;

    void tbtnTatemasClick();
    void tbtnHikosClick();

    TCopyEngine* engine() const { return engine_.get(); }
    // Made on first use: most sessions never need either.
    TForm3* Form3();
    TFolderDialog* FolderDialog1();

    void onRunState(bool running) override;
    // A run writes into its destination and reads the dropped items' folders.
    bool worksBelow(const std::string& folder) const override;

private:
    std::unique_ptr<CopyHost> host_;
    std::unique_ptr<TCopyEngine> engine_;
    QAction* tatemas_;
    QAction* hikos_;
    TForm3* form3_ = nullptr;
    TFolderDialog* folderDialog1_ = nullptr;
    TOKRightDlg* errorWindow_ = nullptr;
    ErrorList ownErrors_;
};

} // namespace g3
