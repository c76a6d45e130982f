#include "shellviews/DRPCOMEX.h"

#include "platform/codepage.h"
#include "platform/desktopapps.h"
#include "platform/errors.h"
#include "platform/fileops.h"
#include "platform/filelists.h"
#include "platform/paths.h"
#include "platform/trash.h"
#include "shellviews/ShView.h"
#include "shellviews/mimetypes.h"
#include "shellviews/sendto.h"
#include "shellviews/shellexec.h"
#include "ui/menuchooser.h"
#include "ui/msgbox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <set>

namespace g3 {

struct TContextMenuEx::Items {
    QWidget* window = nullptr;
    std::vector<std::string> paths;
    std::vector<bool> folder;  // per item: a folder (a link to one included)
    bool desktopItems = false; // the items are the desktop's: home, "/", volumes
    bool inTrash = false;      // the items stand in a trash's files/ folder
};

namespace {

QMimeData* fileListData(const std::vector<std::string>& paths, bool cut) {
    auto* data = new QMimeData;
    for (const FileListPayload& p : fileListPayloads(paths, cut))
        data->setData(QString::fromLatin1(p.format), QByteArray::fromStdString(p.bytes));
    return data;
}

// A caption taken from a name: "&" stands for itself, not for an accelerator.
QString captionOf(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QAction* addCommand(QMenu* menu, const QString& name, const QString& caption, int command,
                    bool enabled = true) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setData(command);
    a->setEnabled(enabled);
    return a;
}

QMenu* addSubmenu(QMenu* menu, const char* name, const char* caption) {
    QMenu* sub = menu->addMenu(QString::fromUtf8(caption));
    sub->setObjectName(QString::fromLatin1(name));
    sub->menuAction()->setObjectName(QString::fromLatin1(name));
    return sub;
}

// The split items of a joined list: the first count IDs; false when it holds fewer.
bool splitItems(const ItemIDList& joined, int count, std::vector<ItemIDList>& ids) {
    ids = SplitIDList(joined);
    if (ids.size() < static_cast<std::size_t>(count)) return false;
    ids.resize(static_cast<std::size_t>(count));
    return true;
}

std::string mimeTypeOf(const std::string& path, bool folder) {
    if (folder) return "inode/directory";
    return typeInfo(typeIndexForFileName(namePart(path))).mimeName.toStdString();
}

} // namespace

void showSelectionLimit(MessageBoxes& boxes, QWidget* window) {
    boxes.messageBox(window,
                     QStringLiteral("一度に選択できるファイルの数は") + QString::number(kMaxShellItems) +
                         QStringLiteral("までだよ^^;"),
                     QStringLiteral("ファイル選択でのお知らせ"), MsgKind::Warning, mbOK);
}

// --- TContextMenuEx ------------------------------------------------------------------

TContextMenuEx::TContextMenuEx(QObject* owner) : QObject(owner) {}
TContextMenuEx::~TContextMenuEx() = default;

void TContextMenuEx::setServices(MessageBoxes* boxes, MenuChooser* menus, Opener* opener) {
    boxes_ = boxes;
    menus_ = menus;
    opener_ = opener;
}

void TContextMenuEx::showLimitNotice(QWidget* window) {
    if (boxes_) showSelectionLimit(*boxes_, window);
}

bool TContextMenuEx::ShowContextMenu(QWidget* window, const ShellFolderPtr& folder,
                                     const QPoint& screenPos, int count, const ItemIDList& joined) {
    if (!window || !folder || joined.isNull() || count < 1 || count > kMaxShellItems) {
        showLimitNotice(window);
        return false;
    }
    std::vector<ItemIDList> ids;
    if (!splitItems(joined, count, ids)) return false;
    Items items;
    items.window = window;
    items.desktopItems = folder->idList().idCount() == 0;
    items.inTrash = !items.desktopItems && isTrashFilesFolder(folder->pathOf(ItemIDList::empty()));
    for (const ItemIDList& id : ids) {
        items.paths.push_back(folder->pathOf(id));
        items.folder.push_back(folder->GetAttributesOf(id, SFGAO_FOLDER) != 0);
    }
    ids.clear();

    std::unique_ptr<QMenu> menu(buildMenu(items, window, false));
    const bool sendToUsable = FillSendToMenu(*menu);
    QAction* chosen = menus_ ? menus_->choose(*menu, screenPos) : nullptr;
    int command = chosen && !chosen->menu() ? chosen->data().toInt() : 0;
    int sendTo = -1;
    if (command >= kSendToFirst && command < kSendToFirst + kSendToMax) {
        // With 100 entries or more the send-to handling is off: the entry runs nothing
        // rather than whatever command shares its number.
        if (sendToUsable) sendTo = command - kSendToFirst;
        command = sendToUsable ? cmdCopy : 0;
    }
    if (command == 0) return false;
    bool ok = InvokeCommand(command, items);
    // The copy put the items on the clipboard; the chosen target now pastes them.
    if (ok && sendTo >= 0) ok = SendToItem(sendTo, window);
    return ok;
}

QMenu* TContextMenuEx::buildMenu(const Items& items, QWidget* parent, bool forTarget) {
    auto* m = new QMenu(parent);
    m->setObjectName(QStringLiteral("ContextMenu"));
    const bool one = items.paths.size() == 1;
    const bool changes = host_ && !host_->busy();
    if (items.inTrash) {
        addCommand(m, QStringLiteral("undelete"), QStringLiteral("元に戻す(&U)"), cmdRestore, changes);
        m->addSeparator();
    }
    addCommand(m, QStringLiteral("open"), QStringLiteral("開く(&O)"), cmdOpen);
    QMenu* with = addSubmenu(m, "openwith", "プログラムから開く(&H)");
    openWith_ = forTarget ? std::vector<OpenWithChoice>() : openWithChoices(items);
    for (std::size_t i = 0; i < openWith_.size(); ++i) {
        const int command = kOpenWithFirst + static_cast<int>(i);
        addCommand(with, QStringLiteral("openwith%1").arg(command), openWith_[i].caption, command);
    }
    with->menuAction()->setEnabled(!openWith_.empty());
    m->addSeparator();
    // The shell puts one entry of its own into the submenu; FillSendToMenu replaces it by
    // the SendTo folder's items.
    QMenu* send = addSubmenu(m, "sendto", "送る(&N)");
    addCommand(send, QStringLiteral("sendtoNone"), QStringLiteral("(なし)"), 0, false);
    send->menuAction()->setEnabled(changes);
    m->addSeparator();
    addCommand(m, QStringLiteral("cut"), QStringLiteral("切り取り(&T)"), cmdCut);
    addCommand(m, QStringLiteral("copy"), QStringLiteral("コピー(&C)"), cmdCopy);
    const SendToTarget target = one && (items.folder[0] || forTarget) ? sendToTargetOf(items.paths[0]) : SendToTarget();
    const bool pastes = target.kind == SendToTarget::Folder || (forTarget && target.kind == SendToTarget::Application);
    if (pastes)
        addCommand(m, QStringLiteral("paste"), QStringLiteral("貼り付け(&P)"), cmdPaste,
                   changes && host_->clipboardHasFiles());
    m->addSeparator();
    // What stands in a trash is evicted already; the desktop's items are volumes.
    addCommand(m, QStringLiteral("delete"), QStringLiteral("削除(&D)"), cmdDelete,
               changes && !items.desktopItems && !items.inTrash);
    const bool renames = changes && one && !items.desktopItems && qobject_cast<QAbstractItemView*>(items.window);
    addCommand(m, QStringLiteral("rename"), QStringLiteral("名前の変更(&M)"), cmdRename, renames);
    m->addSeparator();
    addCommand(m, QStringLiteral("properties"), QStringLiteral("プロパティ(&R)"), cmdProperties, host_ != nullptr);
    return m;
}

// The programs that take every item: those the desktop lists for all of the items' types
// (the first type's order, its default first), then the program's own.
std::vector<OpenWithChoice> TContextMenuEx::openWithChoices(const Items& items) const {
    std::set<std::string> types;
    for (std::size_t i = 0; i < items.paths.size(); ++i) types.insert(mimeTypeOf(items.paths[i], items.folder[i]));
    std::vector<DesktopApp> apps = applicationsForType(mimeTypeOf(items.paths[0], items.folder[0]));
    for (const std::string& type : types) {
        const std::vector<DesktopApp> others = applicationsForType(type);
        std::erase_if(apps, [&](const DesktopApp& a) {
            return std::none_of(others.begin(), others.end(), [&](const DesktopApp& o) { return o.id == a.id; });
        });
    }
    std::vector<OpenWithChoice> out;
    for (const DesktopApp& a : apps) {
        if (out.size() >= static_cast<std::size_t>(kOpenWithMax)) break;
        out.push_back({captionOf(a.name), [id = a.id](const std::vector<std::string>& paths) {
                           return launchApplication(id, paths);
                       }});
    }
    if (ownAssociations)
        for (OpenWithChoice& c : ownAssociations(items.paths))
            if (out.size() < static_cast<std::size_t>(kOpenWithMax)) out.push_back(std::move(c));
    return out;
}

int TContextMenuEx::FindMenuItem(const QMenu& menu, std::string_view pattern, int position) {
    if (position < 1) return -1;
    const QList<QAction*> entries = menu.actions();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QAction* a = entries[i];
        if (a->isSeparator() || !a->isEnabled()) continue;
        std::string caption = utf8ToCp932(a->text().toStdString());
        if (caption.size() > 255) caption.resize(255);
        const std::size_t at = static_cast<std::size_t>(position - 1);
        if (caption.size() >= at + pattern.size() && caption.compare(at, pattern.size(), pattern) == 0)
            return static_cast<int>(i + 1);
    }
    return -1;
}

bool TContextMenuEx::FillSendToMenu(QMenu& menu) {
    int at = FindMenuItem(menu, "(&N)", 5);
    if (at < 0) at = FindMenuItem(menu, "(&T)", 5);
    if (at < 0) return false;
    QMenu* sub = menu.actions().at(at - 1)->menu();
    if (!sub) return false;
    std::vector<SendToEntry> entries;
    if (!ensureSendToFolder() || !listSendTo(sendToFolder(), kSendToMax, entries)) return false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int command = kSendToFirst + static_cast<int>(i);
        addCommand(sub, QStringLiteral("sendto%1").arg(command), captionOf(entries[i].caption), command);
    }
    if (QAction* first = sub->actions().value(0)) {
        sub->removeAction(first);
        delete first;
    }
    return entries.size() < static_cast<std::size_t>(kSendToMax);
}

bool TContextMenuEx::InvokeCommand(int command, const Items& items) {
    const int result = runCommand(command, items);
    if (result == 0) return true;
    if (result != kErrorCancelled && boxes_)
        boxes_->messageBox(items.window, QStringLiteral(" InvokeCommand failed! "),
                           QStringLiteral(" TContextMenuEx component version 2.05"), MsgKind::Information, mbOK);
    return false;
}

int TContextMenuEx::runCommand(int command, const Items& items) {
    if (command >= kOpenWithFirst && command < kOpenWithFirst + kOpenWithMax) {
        const std::size_t i = static_cast<std::size_t>(command - kOpenWithFirst);
        return i < openWith_.size() && openWith_[i].launch(items.paths) ? 0 : ENOENT;
    }
    switch (command) {
    case cmdOpen: return open(items);
    case cmdRename: return rename(items);
    case cmdCut:
    case cmdCopy: putOnClipboard(items, command == cmdCut); return 0;
    default: break;
    }
    if (!host_) return EINVAL;
    switch (command) {
    case cmdDelete: return host_->evict(items.paths);
    case cmdRestore: return host_->restore(items.paths);
    case cmdProperties: return host_->showProperties(items.paths);
    case cmdPaste: {
        const SendToTarget target = items.paths.size() == 1 ? sendToTargetOf(items.paths[0]) : SendToTarget();
        if (target.kind == SendToTarget::Folder) return host_->pasteInto(target.path);
        if (target.kind == SendToTarget::Application) return host_->startWithPastedFiles(target.path);
        return EINVAL;
    }
    default: return EINVAL;
    }
}

// Folders open in the window (the first of them: it shows one folder); every other item
// goes to the opener, in its own folder.
int TContextMenuEx::open(const Items& items) {
    int result = 0;
    bool folderShown = false;
    for (std::size_t i = 0; i < items.paths.size(); ++i) {
        const std::string& path = items.paths[i];
        if (items.folder[i]) {
            if (folderShown) continue;
            folderShown = true;
            const int e = host_ ? host_->openFolder(path) : EINVAL;
            if (e != 0) result = e;
            continue;
        }
        if (!opener_ || !opener_->ShellExecuteItem(path, parentFolder(path))) result = ENOENT;
    }
    return result;
}

// The name editor of the view the menu belongs to, on its current item (the one a right
// click or the keyboard chose), or on the first selected one when the current is not.
int TContextMenuEx::rename(const Items& items) {
    auto* view = qobject_cast<QAbstractItemView*>(items.window);
    if (!view || items.paths.size() != 1 || !view->selectionModel()) return EINVAL;
    QModelIndex at = view->currentIndex();
    if (!at.isValid() || !view->selectionModel()->isSelected(at)) {
        const QModelIndexList selected = view->selectionModel()->selectedIndexes();
        at = selected.isEmpty() ? QModelIndex() : selected.first();
    }
    if (!at.isValid()) return EINVAL;
    at = at.siblingAtColumn(0);
    if (!(at.flags() & Qt::ItemIsEditable)) return EACCES; // a read-only view or item
    view->edit(at);
    return 0;
}

void TContextMenuEx::putOnClipboard(const Items& items, bool cut) {
    QGuiApplication::clipboard()->setMimeData(fileListData(items.paths, cut)); // the clipboard owns it
}

bool TContextMenuEx::SendToItem(int position, QWidget* window) {
    std::vector<SendToEntry> entries;
    if (!listSendTo(sendToFolder(), kSendToMax, entries)) return false;
    if (position < 0 || static_cast<std::size_t>(position) >= entries.size()) return false;
    return InvokeItemCommand(window, entries[static_cast<std::size_t>(position)].path);
}

// The target's own menu decides: only a target that offers paste gets the items.
bool TContextMenuEx::InvokeItemCommand(QWidget* window, const std::string& item) {
    if (!window || item.empty() || !pathExists(item)) return false;
    Items target;
    target.window = window;
    target.paths = {item};
    target.folder = {isFolder(item)};
    std::unique_ptr<QMenu> menu(buildMenu(target, window, true));
    if (FindMenuItem(*menu, "(&P)", 9) < 0) return false;
    return InvokeCommand(cmdPaste, target);
}

// --- TDropSourceObject ---------------------------------------------------------------

TDropSourceObject::Answer TDropSourceObject::QueryContinueDrag(bool escapePressed, Qt::MouseButtons keyState) {
    if (escapePressed) return Answer::Cancel;
    return keyState & (Qt::LeftButton | Qt::RightButton) ? Answer::Continue : Answer::Drop;
}

// The drag itself cancels on Escape and drops on a release; a release that leaves the other
// button down is kept from it.
bool TDropSourceObject::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease) return false;
    const auto* e = static_cast<QMouseEvent*>(event);
    return QueryContinueDrag(false, e->buttons()) == Answer::Continue;
}

// --- TDropSourceEx -------------------------------------------------------------------

TDropSourceEx::TDropSourceEx(QObject* owner) : QObject(owner) {}

void TDropSourceEx::StartDrag(QWidget* window, const ShellFolderPtr& folder, int count, const ItemIDList& joined) {
    if (!window || !folder || joined.isNull()) return;
    if (count < 1 || count > kMaxShellItems) {
        if (boxes_) showSelectionLimit(*boxes_, window);
        return;
    }
    std::vector<ItemIDList> ids;
    if (!splitItems(joined, count, ids)) return;
    std::vector<std::string> paths;
    paths.reserve(ids.size());
    for (const ItemIDList& id : ids) paths.push_back(folder->pathOf(id));
    // Qt lets the drag go itself: the target may still be reading the data when the drag
    // has returned here.
    auto* drag = new QDrag(window);
    drag->setMimeData(fileListData(paths, false));
    const int type = typeIndexOfItem(ConcatIDList(folder->idList(), ids.front()));
    drag->setPixmap(typeIcon(type, true).pixmap(32, 32));
    // What the target did is its own business: a move is the target's to carry out.
    (void)DoDragDrop(*drag, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
}

Qt::DropAction TDropSourceEx::DoDragDrop(QDrag& drag, Qt::DropActions allowed, Qt::DropAction preferred) {
    TDropSourceObject source;
    // The drag installs its own filter when it starts; this one, installed from inside the
    // drag's loop, comes before it.
    QTimer::singleShot(0, &source, [&source] { qApp->installEventFilter(&source); });
    return drag.exec(allowed, preferred);
}

} // namespace g3
