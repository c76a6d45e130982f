// Quick view: the tool bar's check button クイックビュー switches the quick view window
// (TForm5) on and off; while it is on, the row under the pointer is selected at once (the
// list's hot tracking) and every change of the list shows the one selected house on the
// page the window shows.
#pragma once

#include "app/feature.h"

#include <string>

namespace g3 {

class TFileView;
class TForm5;

class QuickViewController final : public FeatureController {
    Q_OBJECT
public:
    // The list is the window's file list: the controller switches its hot tracking and
    // follows its changes, which WindowContext has no need to carry for anyone else.
    QuickViewController(WindowContext& window, ToolPlaces& places, TFileView& list,
                        QObject* parent);

    // On (the button down): both boxes hidden, the window shown over the main window, hot
    // tracking on. Off: playback stopped, the window hidden, the button up, hot tracking off.
    void tbtnQuickClick();
    // With exactly one row selected and the window shown: the window's caption takes the
    // name, and the chosen page shows the house (a cave or a vanished house hides the boxes).
    void ShellListView1Change();
    // The main window closes: the button is released without its click handler, and what
    // plays stops with the window hidden.
    void releaseOnClose();

    bool on() const;
    // Made the first time quick view is switched on.
    TForm5* Form5() const { return form5_; }

private:
    void switchOff();

    TFileView& list_;
    QAction* quick_;
    TForm5* form5_ = nullptr;
    // The last house shown and the page it went to: the list raises one change for the
    // selection and one for the current row, and a house already playing must not start
    // again.
    std::string shownPath_;
    int shownPage_ = -1;
};

} // namespace g3
