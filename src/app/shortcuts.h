// Short cut paths: the tool bar's 近道を作る makes a shortcut file (.lnk) to the house
// selected in the list, with the name, working place and place the shortcut dialog
// collects.
#pragma once

#include "app/feature.h"

#include <string>

namespace g3 {

class TdlgNyuryok;
class TdlgTikamiti;

class ShortcutController final : public FeatureController {
    Q_OBJECT
public:
    ShortcutController(WindowContext& window, ToolPlaces& places, QObject* parent);

    // With exactly one item selected: CreateShortcut with its name and the current folder.
    void tbtnshotokatoClick();
    // Runs the dialog for the house name in folder until it is cancelled or its name and
    // place are usable (a box says what is missing, and the dialog shows again with what
    // was typed), then saves the shortcut; a house already of its name is replaced only
    // after a yes to the question.
    void CreateShortcut(const std::string& name, const std::string& folder);
    // Saves the shortcut file; false after a box with the system's reason when it cannot.
    bool SaveShellLink(const std::string& linkPath, const std::string& target,
                       const std::string& workDir);

    // Made on first use, then kept with what was typed.
    TdlgTikamiti* dlgTikamiti();
    TdlgNyuryok* dlgNyuryok();

private:
    TdlgNyuryok* nyuryok_ = nullptr;
    TdlgTikamiti* tikamiti_ = nullptr;
};

} // namespace g3
