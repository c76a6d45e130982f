// The narrow view a feature controller has of the main window: the current folder, the
// list's selection, the monitor, the tree refresh, navigation, the owner of its dialogs, the
// shared input dialog and the services. The main window implements it; a controller's test hands in a fake.
#pragma once

#include "app/services.h"

#include <string>
#include <vector>

class QWidget;

namespace g3 {

class TPasswordDlg;
class TPasswordDlg2;

// What a command shows in the window's single-line input dialog. Texts are UTF-8; in the
// prompt "\r\n" (or "\n\r") starts a second line.
struct InputRequest {
    std::string caption;
    std::string prompt;
    std::string okCaption; // empty: the OK button keeps the caption it had
    bool prefill = false;  // the field starts with the text handed in, else with the last one
};

class WindowContext {
public:
    virtual ~WindowContext() = default;

    // The current folder: "/" for the root, any other folder without a trailing "/".
    virtual const std::string& CurDir() const = 0;
    // Names of the rows selected in the list, exact bytes, in row order.
    virtual std::vector<std::string> selectedNames() const = 0;
    // The text column shows for the one selected row, as the list shows it (UTF-8); ""
    // unless exactly one row is selected.
    virtual std::string selectedItemText(int column) const = 0;
    // The monitor of the shown folder stays off from the first pause to the last resume
    // (see MonitorOff); it is on again after that.
    virtual void pauseMonitor() = 0;
    virtual void resumeMonitor() = 0;
    // The tree refresh: the tree is rebuilt with its folder (or path, when it is one)
    // selected again.
    virtual void treeRefresh(const std::string& path = {}) = 0;
    // Shows path in the tree and the list; false when it is no folder the tree can show.
    virtual bool navigateTo(const std::string& path) = 0;
    // The window the dialogs of a command belong to.
    virtual QWidget* dialogOwner() = 0;
    // The input dialogs the commands share; their texts stay from one use to the next.
    virtual TPasswordDlg& PasswordDlg() = 0;
    virtual TPasswordDlg2& PasswordDlg2() = 0;
    // True while a run or a search of the window works at or below folder.
    virtual bool busyBelow(const std::string& folder) const = 0;
    // Shows the main window in front of the others (restored when it was minimised).
    virtual void raiseWindow() = 0;
    // The window's single-line input dialog (TPasswordDlg), one for every command, so its
    // field keeps what was typed last: shown modally with req's texts; true when closed
    // with OK, the typed text then in text. While it is already showing it is only brought
    // to the front and the answer is false.
    virtual bool askInput(const InputRequest& req, std::string& text) = 0;
    virtual const Services& services() const = 0;
    virtual Progress& progress() = 0;
    // A copy or move run starts (true) or ends: the window's other ways in (drops, the
    // commands that would run beside it) are closed meanwhile.
    virtual void runStateChanged(bool running) = 0;
};

// The monitor off for as long as the object lives.
class MonitorOff {
public:
    explicit MonitorOff(WindowContext& window) : window_(window) { window_.pauseMonitor(); }
    ~MonitorOff() { window_.resumeMonitor(); }
    MonitorOff(const MonitorOff&) = delete;
    MonitorOff& operator=(const MonitorOff&) = delete;

private:
    WindowContext& window_;
};

} // namespace g3
