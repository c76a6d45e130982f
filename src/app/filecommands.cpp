#include "app/filecommands.h"

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "engine/shellfileopdlg.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/fileops.h"
#include "platform/paths.h"
#include "platform/shelllink.h"
#include "platform/trash.h"
#include "platform/xdgdirs.h"
#include "ui/msgbox.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

#include <cerrno>

namespace g3 {

namespace {

constexpr const char* kOwnDesktopEntry = "grottan3.desktop";

// A nameplate with "/" would send the house to another cave ("../" out of this one) instead
// of naming it: refused with a box.
bool refusedForSlash(const std::string& name, MessageBoxes& boxes) {
    if (name.find_first_of(std::string_view("/\0", 2)) == std::string::npos) return false;
    boxes.messageDlg(QStringLiteral("表札名に「/」は使えません"), MsgKind::Warning, mbOK);
    return true;
}

QString text(const std::string& bytes) { return QString::fromUtf8(bytes); }
std::string bytes(const QString& s) { return s.toUtf8().toStdString(); }

// Every occurrence of before, left to right, none overlapping the one before it; exact
// bytes (UTF-8 never puts a character's byte inside another's).
std::string replaceEvery(const std::string& s, const std::string& before, const std::string& after) {
    std::string out;
    std::size_t at = 0;
    for (std::size_t hit; (hit = s.find(before, at)) != std::string::npos; at = hit + before.size())
        out.append(s, at, hit - at).append(after);
    return out.append(s, at, std::string::npos);
}

} // namespace

FileCommandsController::FileCommandsController(WindowContext& window, ToolPlaces& places, QObject* parent)
    : FeatureController(window, parent) {
    makeTool(places, ToolSlot::Horu, [this] { folderSaksei(); });
    makeTool(places, ToolSlot::Umeru, [this] { folderSakjo(); });
    makeTool(places, ToolSlot::Tatinok, [this] { gomiSakujo(); });
    makeTool(places, ToolSlot::GomiOpen, [this] { ShowRecycleBin(); });
    makeTool(places, ToolSlot::NamHenkou, [this] { failmeihenkou(); });
    makeTool(places, ToolSlot::NamHenCopy, [this] { namHenCopy(); });
    // The bulk rename lists the current cave itself, never below it.
    FindFile3.setSearchSubDir(false);
    FindFile3.MessagePump = window.services().pump;
    FindFile3.OnFind = [this](TFindFile& s, const FindData& d, const std::string& dir, bool& cancel) {
        FindFile3Find(s, d, dir, cancel);
    };
}

void FileCommandsController::folderSaksei() {
    std::string name;
    if (!window_.askInput({"現在の洞窟の下にサブ洞窟を掘ります", "新たに作る洞窟名を入力してね。", "作成"}, name)) return;
    const std::string path = joinPath(window_.CurDir(), name);
    MessageBoxes& boxes = window_.services().boxes;
    if (createDirectory(path)) {
        window_.treeRefresh();
        if (boxes.messageDlg("洞窟 " + text(path) + "\n\r\n\r" + "を作成しました。この洞窟へ進みますか？",
                             MsgKind::Custom, mbYes | mbNo) == MsgResult::Yes)
            window_.navigateTo(path);
        return;
    }
    const int code = lastError();
    boxes.messageDlg("洞窟 " + text(path) + "\n\r\n\r" + "の作成に失敗しました" + "\n\r" +
                         text(systemErrorText(code)),
                     MsgKind::Custom, mbOK);
}

// A cave that holds the program's own working folder (by device and inode: the cave may be
// shown through a linked path), or one where a run or a search of the window works, stays:
// its contents would be pulled away from under them.
std::string FileCommandsController::fillInRefusal(const std::string& folder) const {
    const std::string cwd = processFolder();
    if (!cwd.empty() && isSameFolderOrInside(cwd, folder))
        return "洞窟 " + folder + "\n\r" + "にはこのプログラムが今いるので、埋めることはできません";
    if (window_.busyBelow(folder))
        return "洞窟 " + folder + "\n\r" +
               "では今、建て増し・引っ越しや家探しが行われているので、埋めることはできません。" +
               "\n\r" + "終わってからもう一度どうぞ";
    return {};
}

void FileCommandsController::folderSakjo() {
    const std::string folder = window_.CurDir();
    MessageBoxes& boxes = window_.services().boxes;
    if (isVolumeRoot(folder)) {
        boxes.messageDlg(QStringLiteral("地表や惑星直下\n\rは埋めませんのでご了承ください"),
                         MsgKind::Information, mbOK);
        return;
    }
    if (const std::string why = fillInRefusal(folder); !why.empty()) {
        boxes.messageDlg(text(why), MsgKind::Information, mbOK);
        return;
    }
    const std::string parent = parentFolder(folder);
    window_.navigateTo(parent);
    trashbin_.SendToTrash(pathList({folder}));
    window_.treeRefresh();
    // Still there (refused or cancelled): back to it; gone: the parent stays shown.
    if (!window_.navigateTo(folder)) window_.navigateTo(parent);
}

void FileCommandsController::gomiSakujo() {
    std::vector<std::string> paths;
    for (const auto& name : window_.selectedNames()) paths.push_back(joinPath(window_.CurDir(), name));
    if (!paths.empty()) evict(paths);
}

void FileCommandsController::evict(const std::vector<std::string>& paths) {
    // What stands in a trash's files/ folder is in the trash already: sending it again would
    // give it a second record and leave the first pointing at nothing.
    if (!paths.empty() && isTrashFilesFolder(parentFolder(paths.front()))) {
        showInformation("ごみ箱の中の家や洞窟は、もうごみ箱に入っています");
        return;
    }
    trashbin_.SendToTrash(pathList(paths));
    window_.treeRefresh();
}

void FileCommandsController::showInformation(const std::string& message) {
    window_.services().boxes.messageDlg(text(message), MsgKind::Information, mbOK);
}

// The monitor stays off while the items go: one refresh afterwards shows the result.
void FileCommandsController::deleteToTrash(const std::vector<std::string>& paths, const std::string& title) {
    ShellFileOpRequest r;
    r.func = FO_DELETE;
    r.from = paths;
    r.flags = FOF_ALLOWUNDO | FOF_SIMPLEPROGRESS;
    r.title = title;
    ShellFileOperation op(std::move(r));
    MonitorOff quiet(window_);
    runShellFileOperation(op, window_.services().boxes, window_.dialogOwner());
}

std::string FileCommandsController::otherFileManager() {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("inode/directory")});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return {};
    const std::string id = query.readAllStandardOutput().trimmed().toStdString();
    return id == kOwnDesktopEntry ? std::string() : id;
}

// The desktop's file manager shows the trash with its own restore; without one, the
// program shows the home trash's houses itself.
void FileCommandsController::ShowRecycleBin() {
    const std::string id = otherFileManager();
    const std::string entry = id.empty() ? std::string() : desktopEntryPath(id);
    if (!entry.empty() && QProcess::startDetached(QStringLiteral("gio"),
                                                  {QStringLiteral("launch"), text(entry),
                                                   QStringLiteral("trash:///")}))
        return;
    const std::string trash = trashFor(homeFolder());
    if (trash.empty()) {
        window_.services().boxes.messageDlg("ごみ箱を開けません。\n" + text(systemErrorText(lastError())),
                                            MsgKind::Warning, mbOK);
        return;
    }
    window_.treeRefresh();
    window_.navigateTo(joinPath(trash, "files"));
}

void FileCommandsController::failmeihenkou() {
    TPasswordDlg2& dlg = window_.PasswordDlg2();
    if (bringToFrontIfShowing(&dlg)) return;
    dlg.setWindowTitle(QStringLiteral("現在洞窟内の表札名一括変更"));
    dlg.Label1->setText(QStringLiteral("表札名に含まれる文字の変更前と後をそれぞれ入力してね"));
    dlg.Label2->setText(QStringLiteral("例：前=AB,後=XYZとしたら、abcABde.txt →abcXYZde.txtになります"));
    dlg.Label3->setText(QStringLiteral("変更前の文字"));
    dlg.Label4->setText(QStringLiteral("変更後の文字"));
    if (dlg.exec() != QDialog::Accepted) return;
    renameBefore_ = bytes(dlg.Password->text());
    renameAfter_ = bytes(dlg.Edit1->text());
    if (renameBefore_.empty()) return; // nothing to look for: every name would match
    MessageBoxes& boxes = window_.services().boxes;
    if (refusedForSlash(renameAfter_, boxes)) return;
    // Every matching name is listed before any changes, so a new name that still
    // matches is never renamed twice.
    found_.clear();
    FindFile3.FileMask = "*" + renameBefore_ + "*";
    FindFile3.setBaseDir(window_.CurDir());
    FindFile3.Run();
    const std::string folder = window_.CurDir();
    QString failed;
    for (const auto& name : found_) {
        const std::string renamed = replaceEvery(name, renameBefore_, renameAfter_);
        if (renamed == name) continue;
        // An existing nameplate is never replaced: that house keeps its old one, and is
        // listed with every other that could not be renamed.
        const int e = renamed.empty() ? EINVAL : renameWithoutReplacing(joinPath(folder, name), joinPath(folder, renamed));
        if (e != 0)
            failed += QStringLiteral("\r\n") + text(displayTextOf(name)) + QStringLiteral("（") +
                      text(systemErrorText(e)) + QStringLiteral("）");
    }
    if (!failed.isEmpty())
        boxes.messageDlg(QStringLiteral("表札名を変えられなかった家や洞窟があります。") + failed, MsgKind::Warning, mbOK);
}

void FileCommandsController::FindFile3Find(TFindFile&, const FindData& data, const std::string&, bool&) {
    if (!data.isDotOrDotDot()) found_.push_back(data.name);
}

void FileCommandsController::namHenCopy() {
    const std::vector<std::string> names = window_.selectedNames();
    if (names.size() != 1) return;
    const std::string folder = window_.CurDir();
    const std::string source = joinPath(folder, names[0]);
    std::string name = names[0];
    if (!window_.askInput({folder, names[0] + "\r\n" + "を名前を変えて建て増しします。新たな表札名を入力してね", "建て増し", true},
                          name))
        return;
    MessageBoxes& boxes = window_.services().boxes;
    if (name.empty() || refusedForSlash(name, boxes)) return;
    const std::string target = joinPath(folder, name);
    // A cave of that name receives the house under its old nameplate, beside what is
    // there: each house the copy would replace in it is asked about on its own.
    const bool intoCave = isFolder(target);
    if (pathExists(target) && !intoCave &&
        boxes.messageDlg(text(target) + "\r\n" + "が既に有ります。上書き建て増ししますか？",
                         MsgKind::Confirmation, mbYes | mbNo) != MsgResult::Yes)
        return;
    ShellFileOpRequest r;
    r.func = FO_COPY;
    r.from = {source};
    r.to = target;
    r.toIsTarget = true;
    r.flags = FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR | (intoCave ? 0u : unsigned(FOF_NOCONFIRMATION));
    r.title = "只今家の操作をしています";
    {
        ShellFileOperation op(std::move(r));
        MonitorOff quiet(window_);
        runShellFileOperation(op, boxes, window_.dialogOwner());
    }
    window_.treeRefresh();
}

void FileCommandsController::ShellListView1KeyDown(int key, Qt::KeyboardModifiers) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return;
    const std::vector<std::string> names = window_.selectedNames();
    if (names.empty()) return;
    window_.services().boxes.runGuarded([&] { openItem(joinPath(window_.CurDir(), names[0])); });
}

void FileCommandsController::openItem(const std::string& path) {
    if (isFolder(path)) {
        window_.navigateTo(path);
        return;
    }
    // A shortcut to a folder is entered like the folder; one to a file is opened below.
    if (const std::optional<ShortcutTarget> link = readShortcut(path); link && isFolder(link->path)) {
        window_.navigateTo(link->path);
        return;
    }
    if (isExecutableHouse(path) &&
        window_.services().boxes.messageDlg(QStringLiteral("Grottan2 より確認\n\r\n\rEXEの家を実行しようとしてますが、いいですか？"),
                                            MsgKind::Confirmation, mbYes | mbNo) != MsgResult::Yes)
        return;
    window_.services().opener.ShellExecuteItem(path, parentFolder(path));
}

} // namespace g3
