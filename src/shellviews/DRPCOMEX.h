// DRPCOMEX: the two components through which the file list and the folder tree hand items
// of one folder to the desktop. TDropSourceEx drags them out to any program; TContextMenuEx
// shows their context menu, with the send-to submenu filled from the SendTo folder
// (sendto.h), and runs the chosen command. The main window has one of each, shared by both
// views. User-interface thread only; both calls return when the drag or the menu is over.
//
// Whatever a command does beyond the views (paste, the trash, restoring, the properties
// window) goes to a ContextMenuHost, which the program implements and tests script.
#pragma once

#include "shellviews/itemidlist.h"
#include "shellviews/shellnamespace.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QDrag;
class QMenu;
class QWidget;

namespace g3 {

class MenuChooser;
class MessageBoxes;
class Opener;

// Items per call, for both components.
inline constexpr int kMaxShellItems = 65536;

// What the menu's commands ask of the program. Each command answers 0 when done,
// kErrorCancelled (platform/errors.h) when the user called it off, any other code when it
// failed; the program shows its own errors, the menu adds its failure notice.
class ContextMenuHost {
public:
    virtual ~ContextMenuHost() = default;
    // While true (a copy or move run lasts) the commands that change files are off.
    virtual bool busy() const = 0;
    // Whether the clipboard names files (paste is offered only then).
    virtual bool clipboardHasFiles() const = 0;
    // 開く on a folder: the window shows it.
    virtual int openFolder(const std::string& path) = 0;
    // 貼り付け: the clipboard's files copied into folder by the shell file operation.
    virtual int pasteInto(const std::string& folder) = 0;
    // 貼り付け on an application entry (send to): its program started with the clipboard's
    // files.
    virtual int startWithPastedFiles(const std::string& desktopEntry) = 0;
    // 削除: to the trash, after the trash's own confirmation.
    virtual int evict(const std::vector<std::string>& paths) = 0;
    // 元に戻す: items of a trash's files/ folder back where they were.
    virtual int restore(const std::vector<std::string>& paths) = 0;
    // プロパティ: the properties window of the items.
    virtual int showProperties(const std::vector<std::string>& paths) = 0;
};

// One program the items can be opened with (プログラムから開く).
struct OpenWithChoice {
    QString caption;
    std::function<bool(const std::vector<std::string>& paths)> launch;
};
// The program's own association store: the programs it knows for the items.
using OwnAssociations = std::function<std::vector<OpenWithChoice>(const std::vector<std::string>& paths)>;

class TContextMenuEx : public QObject {
    Q_OBJECT
public:
    // Command numbers of the menu. A send-to entry is kSendToFirst + its position; the
    // programs of プログラムから開く are kOpenWithFirst + theirs.
    enum Command : int {
        cmdOpen = 1,
        cmdDelete = 18,
        cmdRename = 19,
        cmdProperties = 20,
        cmdRestore = 21,
        cmdCut = 25,
        cmdCopy = 26,
        cmdPaste = 27,
        kOpenWithFirst = 100,
        kOpenWithMax = 400,
        kSendToFirst = 1525,
        kSendToMax = 100,
    };

    explicit TContextMenuEx(QObject* owner = nullptr);
    ~TContextMenuEx() override;

    // Held for the owner; the component never reads it.
    std::vector<std::string> CMFileName;

    // Where the limit notice and the failure notice go, who chooses from the menu, and who
    // opens items. Without boxes no notice is shown; without a chooser no menu opens.
    void setServices(MessageBoxes* boxes, MenuChooser* menus, Opener* opener);
    void setHost(ContextMenuHost* host) { host_ = host; }
    OwnAssociations ownAssociations;

    // Shows the menu of count items of folder (joined: their relative IDs, concatenated) at
    // a screen point, and runs the chosen command on all of them. True when a command ran
    // successfully (for a send-to entry: and the items were delivered); false when the
    // menu was dismissed, the count lies outside 1..65536 (the limit notice), or the command
    // failed.
    virtual bool ShowContextMenu(QWidget* window, const ShellFolderPtr& folder,
                                 const QPoint& screenPos, int count, const ItemIDList& joined);

    // The 1-based index of the first top-level entry of menu that is neither disabled nor
    // a separator and whose caption, in the system code page (CP932) and cut at 255 bytes,
    // holds pattern from the 1-based byte position on; -1 for none. "送る(&N)" has "(&N)"
    // at 5, "貼り付け(&P)" has "(&P)" at 9.
    static int FindMenuItem(const QMenu& menu, std::string_view pattern, int position);

protected:
    struct Items;
    // The menu of items, owned by parent. forTarget: the menu of a send-to target, which
    // offers paste on an application entry too.
    QMenu* buildMenu(const Items& items, QWidget* parent, bool forTarget);
    // Fills the send-to submenu of menu; true when its entries are usable.
    bool FillSendToMenu(QMenu& menu);
    bool InvokeCommand(int command, const Items& items);
    bool SendToItem(int position, QWidget* window);
    bool InvokeItemCommand(QWidget* window, const std::string& item);

private:
    int runCommand(int command, const Items& items);
    int open(const Items& items);
    int rename(const Items& items);
    void putOnClipboard(const Items& items, bool cut);
    void showLimitNotice(QWidget* window);
    std::vector<OpenWithChoice> openWithChoices(const Items& items) const;

    MessageBoxes* boxes_ = nullptr;
    MenuChooser* menus_ = nullptr;
    Opener* opener_ = nullptr;
    ContextMenuHost* host_ = nullptr;
    std::vector<OpenWithChoice> openWith_; // the choices of the menu being shown
};

// The rules of a running drag, as a drop source answers them: Escape cancels, the drag goes
// on while the left or the right button is held, releasing both drops.
class TDropSourceObject : public QObject {
    Q_OBJECT
public:
    enum class Answer { Continue, Drop, Cancel };
    static Answer QueryContinueDrag(bool escapePressed, Qt::MouseButtons keyState);

protected:
    // Installed on the application while the drag runs, before the drag's own filter: a
    // release that leaves the other button held does not end the drag.
    bool eventFilter(QObject* watched, QEvent* event) override;
};

class TDropSourceEx : public QObject {
    Q_OBJECT
public:
    explicit TDropSourceEx(QObject* owner = nullptr);

    // Held for the owner; the component never reads it.
    std::vector<std::string> DSFileName;

    // Where the limit notice goes (none: it is not shown).
    void setMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes; }

    // Drags count items of folder (joined: their relative IDs, concatenated), offered as
    // copy, move and link in every format the desktop's file managers read, with copy as
    // the action without modifier keys. Returns when the drag has ended; what the target
    // did is the target's: a target that moves the files moves them itself, and nothing is
    // ever deleted here. Nothing happens without a window, folder or list; a count outside
    // 1..65536 gives the limit notice.
    virtual void StartDrag(QWidget* window, const ShellFolderPtr& folder, int count,
                           const ItemIDList& joined);

protected:
    // Runs the drag until it ends (QDrag::exec); tests replace it.
    virtual Qt::DropAction DoDragDrop(QDrag& drag, Qt::DropActions allowed, Qt::DropAction preferred);

private:
    MessageBoxes* boxes_ = nullptr;
};

// The limit notice of both components, as a platform box over window.
void showSelectionLimit(MessageBoxes& boxes, QWidget* window);

} // namespace g3
