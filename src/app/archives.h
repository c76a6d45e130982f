// Thaw and freeze: the tool bar's 解凍 and 凍結 run the archive bridge with the window lent
// to it as its command context.
#pragma once

#include "app/feature.h"
#include "archive/archivebridge.h"

#include <string>

namespace g3 {

class ArchiveController final : public FeatureController, private ArchiveCommandContext {
    Q_OBJECT
public:
    // Modules are loaded from moduleFolder (the DLL folder beside the executable).
    ArchiveController(WindowContext& window, ToolPlaces& places, QObject* parent,
                      std::string moduleFolder = dllFolder());

    void tbtnKaitoClick();
    void tbtnAsyukClick();

    // A thaw or freeze is modal; beside a copy or move run it would interleave with it.
    void onRunState(bool running) override;

private:
    int selectionCount() const override;
    std::string selectedPath() const override;
    std::string currentFolder() const override;
    void* ownerWindow() const override;
    bool confirm(const std::string& text) override;
    void inform(const std::string& text) override;
    bool askArchiveName(const std::string& caption, const std::string& prompt, std::string& text) override;
    void monitorOff() override;
    void monitorOn() override;
    void treeRefresh() override;
    bool navigateTo(const std::string& path) override;

    std::string moduleFolder_;
    QAction* kaito_;
    QAction* asyuk_;
};

} // namespace g3
