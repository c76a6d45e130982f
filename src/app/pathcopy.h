// The path-copy menu of the tool bar (popPasCopy): the selected house's full path as it
// stands, with "/" and ":" made "_", or with ":" made "_", and its size and date texts, put
// on the clipboard as plain text. Its items are enabled only with exactly one selected row.
#pragma once

#include "app/feature.h"

#include <string>

class QMenu;

namespace g3 {

class PathCopyController final : public FeatureController {
    Q_OBJECT
public:
    PathCopyController(WindowContext& window, ToolPlaces& places, QObject* parent);

    QMenu* popPasCopy() const { return popPasCopy_; }
    // Another controller's item joins the menu at its end (and its enabled rule).
    void addItem(QAction* item);

    void popPasCopyPopup();
    void pmF01Click();
    void pmF05Click();
    void pmF02Click();
    void pmF03Click();

    // The texts the items put on the clipboard.
    static std::string flatPath(const std::string& path);  // every "/" and ":" to "_"
    static std::string slashPath(const std::string& path); // every ":" to "_"

private:
    void toClipboard(const std::string& text);
    std::string selectedPath() const;

    QMenu* popPasCopy_;
};

} // namespace g3
