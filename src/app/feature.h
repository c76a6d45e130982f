// Feature controllers: each command group of the main window is one controller that owns
// its actions (caption, hint, picture, enabled rule) and their handlers, and sees the window
// only through a WindowContext. The window lays out the tool bar from the places the
// controllers fill; a place no controller fills yet shows its button disabled.
//
// A new feature adds one controller (a header and a .cpp in src/app/), fills its places in
// the constructor, and is made once in TForm1::createControllers.
#pragma once

#include "app/windowcontext.h"

#include <QObject>

#include <functional>
#include <string>

class QAction;
class QMenu;
class QToolButton;

namespace g3 {

// The tool bar's places, in the order the window shows them.
enum class ToolSlot {
    Horu, Umeru, Saisin, Kensak,
    Style, NamHenkou, Past, Copy, ZenSentak, Tatinok, GomiOpen, Tatemas, Hikos, NamHenCopy,
    PasCopy, Kaito, Asyuk,
    Quick, Sort, TateYoko, shotokato, VajHel,
};

// The button of a place: its name, hint and picture (ui/programicon.h).
struct ToolSpec {
    ToolSlot slot;
    const char* name;
    const char* hint;
    const char* picture;
    bool separatorBefore;
};
const ToolSpec& toolSpec(ToolSlot slot);
// Every place in the order of the tool bar.
const std::vector<ToolSpec>& toolSpecs();

// Where controllers put their actions: the window's tool bar.
class ToolPlaces {
public:
    virtual ~ToolPlaces() = default;
    // The button of slot shows action (enabled, checked and clicked through it); with a
    // menu the button opens it from either part.
    virtual QToolButton* placeTool(ToolSlot slot, QAction* action, QMenu* menu = nullptr) = 0;
};

class FeatureController : public QObject {
    Q_OBJECT
public:
    FeatureController(WindowContext& window, QObject* parent);

    // A copy or move run starts (true) or ends: commands that must not run beside one are
    // off meanwhile. Nothing by default.
    virtual void onRunState(bool running) { (void)running; }
    // True while work of this controller (a run, a search) goes on at or below folder.
    virtual bool worksBelow(const std::string& folder) const {
        (void)folder;
        return false;
    }

protected:
    // The action of a place, with its spec's name, hint and picture; its handler runs
    // guarded (an exception goes to the general error display), and the action is put in
    // the place.
    QAction* makeTool(ToolPlaces& places, ToolSlot slot, std::function<void()> handler,
                      QMenu* menu = nullptr);
    // An action of a menu item, with its name and caption, whose handler runs guarded.
    QAction* makeAction(const char* name, const QString& caption, std::function<void()> handler);

    WindowContext& window_;
};

} // namespace g3
