// The views' drag source and context menu (DropSourceEx1, ContextMenuEx1), shared by the
// file list and the folder tree, and what the menu's commands do beyond the views: paste
// through the clipboard controller, eviction to the trash, restoring from it, the properties
// window, and starting a send-to program with the pasted files.
#pragma once

#include "app/feature.h"
#include "shellviews/DRPCOMEX.h"

#include <functional>
#include <string>
#include <vector>

namespace g3 {

class ClipboardController;

class ShellMenuController final : public FeatureController, public ContextMenuHost {
    Q_OBJECT
public:
    ShellMenuController(WindowContext& window, ClipboardController& clipboard, QObject* parent);

    TContextMenuEx* ContextMenuEx1() const { return menu_; }
    TDropSourceEx* DropSourceEx1() const { return drag_; }

    // The window's eviction of full paths to the trash (its confirmation, refusals, progress
    // and errors); without it 削除 fails.
    std::function<void(const std::vector<std::string>& paths)> evictPaths;

    void onRunState(bool running) override { running_ = running; }

    // ContextMenuHost
    bool busy() const override { return running_; }
    bool clipboardHasFiles() const override;
    int openFolder(const std::string& path) override;
    int pasteInto(const std::string& folder) override;
    int startWithPastedFiles(const std::string& desktopEntry) override;
    int evict(const std::vector<std::string>& paths) override;
    int restore(const std::vector<std::string>& paths) override;
    int showProperties(const std::vector<std::string>& paths) override;

private:
    ClipboardController& clipboard_;
    TContextMenuEx* menu_;
    TDropSourceEx* drag_;
    bool running_ = false;
};

} // namespace g3
