#include "app/shellmenu.h"

#include "app/clipboardcmds.h"
#include "app/properties.h"
#include "fscomp/dropformats.h"
#include "platform/codepage.h"
#include "platform/desktopapps.h"
#include "platform/errors.h"
#include "platform/trash.h"

#include <QClipboard>
#include <QGuiApplication>

#include <cerrno>

namespace g3 {

namespace {

bool clipboardFiles(ClipFiles& files) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && readClipFiles(*data, files);
}

} // namespace

ShellMenuController::ShellMenuController(WindowContext& window, ClipboardController& clipboard, QObject* parent)
    : FeatureController(window, parent), clipboard_(clipboard), menu_(new TContextMenuEx(this)),
      drag_(new TDropSourceEx(this)) {
    const Services& s = window.services();
    menu_->setObjectName(QStringLiteral("ContextMenuEx1"));
    menu_->setServices(&s.boxes, &s.menus, &s.opener);
    menu_->setHost(this);
    drag_->setObjectName(QStringLiteral("DropSourceEx1"));
    drag_->setMessageBoxes(&s.boxes);
}

bool ShellMenuController::clipboardHasFiles() const {
    ClipFiles files;
    return clipboardFiles(files);
}

int ShellMenuController::openFolder(const std::string& path) { return window_.navigateTo(path) ? 0 : ENOENT; }

int ShellMenuController::pasteInto(const std::string& folder) { return clipboard_.pasteInto(folder); }

// A cut is handed over as a copy would be: the program decides what it does with files.
int ShellMenuController::startWithPastedFiles(const std::string& desktopEntry) {
    ClipFiles files;
    if (!clipboardFiles(files)) return ENOENT;
    return launchDesktopEntry(desktopEntry, files.paths) ? 0 : ENOEXEC;
}

// The trash shows its own confirmation, refusals and errors.
int ShellMenuController::evict(const std::vector<std::string>& paths) {
    if (!evictPaths) return EINVAL;
    evictPaths(paths);
    return 0;
}

int ShellMenuController::restore(const std::vector<std::string>& paths) {
    int first = 0;
    QString failed;
    {
        MonitorOff quiet(window_);
        for (const std::string& p : paths) {
            TrashEntry entry;
            const int e = trashEntryOf(p, entry) ? restoreFromTrash(entry) : ENOENT;
            if (e == 0) continue;
            if (first == 0) first = e;
            const std::string to = entry.originalPath.empty() ? p : entry.originalPath;
            failed += QStringLiteral("\r\n") + QString::fromStdString(displayTextOf(to)) + QStringLiteral("（") +
                      QString::fromStdString(systemErrorText(e)) + QStringLiteral("）");
        }
    }
    window_.treeRefresh();
    if (first != 0)
        window_.services().boxes.messageDlg(QStringLiteral("元の場所に戻せなかった家や洞窟があります。") + failed,
                                            MsgKind::Warning, mbOK);
    return first;
}

int ShellMenuController::showProperties(const std::vector<std::string>& paths) {
    if (paths.empty()) return EINVAL;
    auto* w = new TPropertiesWindow(paths, window_.dialogOwner());
    w->show();
    return 0;
}

} // namespace g3
