#include "app/shortcuts.h"

#include "app/nyuryok.h"
#include "app/tikamiti.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/fileops.h"
#include "platform/paths.h"
#include "platform/shelllink.h"
#include "ui/msgbox.h"

#include <QLabel>
#include <QLineEdit>

namespace g3 {

namespace {

const QString kNotice = QStringLiteral("Grottan2 近道(ショートカット)の作成でのお知らせ");

QString text(const std::string& bytes) { return QString::fromStdString(displayTextOf(bytes)); }

} // namespace

ShortcutController::ShortcutController(WindowContext& window, ToolPlaces& places, QObject* parent)
    : FeatureController(window, parent) {
    makeTool(places, ToolSlot::shotokato, [this] { tbtnshotokatoClick(); });
}

TdlgNyuryok* ShortcutController::dlgNyuryok() {
    if (!nyuryok_) nyuryok_ = new TdlgNyuryok(window_.dialogOwner(), this);
    return nyuryok_;
}

TdlgTikamiti* ShortcutController::dlgTikamiti() {
    if (!tikamiti_) tikamiti_ = new TdlgTikamiti(dlgNyuryok()->FolderDialog1, window_.dialogOwner());
    return tikamiti_;
}

void ShortcutController::tbtnshotokatoClick() {
    const std::vector<std::string> names = window_.selectedNames();
    if (names.size() == 1) CreateShortcut(names.front(), window_.CurDir());
}

void ShortcutController::CreateShortcut(const std::string& name, const std::string& folder) {
    TdlgTikamiti* dlg = dlgTikamiti();
    MessageBoxes& boxes = window_.services().boxes;
    dlg->lblFailu->setText(text(name));
    TdlgTikamiti::setField(dlg->edNamae, namePart(name) + "への近道");
    TdlgTikamiti::setField(dlg->edsagyoBasyo, folder);
    TdlgTikamiti::setField(dlg->edOkubasyo, TdlgTikamiti::fieldBytes(dlg->edsagyoBasyo));
    std::string linkName, place;
    for (;;) {
        if (dlg->exec() != QDialog::Accepted) return;
        linkName = TdlgTikamiti::fieldBytes(dlg->edNamae);
        place = TdlgTikamiti::fieldBytes(dlg->edOkubasyo);
        bool warned = false;
        if (linkName.empty()) {
            boxes.messageBox(window_.dialogOwner(), QStringLiteral("近道(ショートカット)の名前を入力してね"), kNotice,
                             MsgKind::Warning, mbOK);
            warned = true;
        }
        if (!isFolder(place)) {
            boxes.messageBox(window_.dialogOwner(),
                             text("ショートカットを置くディレクトリ\r\n\r\n" + place +
                                  " が無いかもしれないよ\r\n\r\nもう一度「近道の場所」を入力してね"),
                             kNotice, MsgKind::Warning, mbOK);
            warned = true;
        }
        if (!warned) break;
    }
    const std::string linkPath = joinPath(currentFolderForm(place), linkName + ".lnk");
    // A house already there (another shortcut, or anything else of that name) is replaced
    // only when the user says so.
    if (pathExists(linkPath) && !isFolder(linkPath) &&
        boxes.messageBox(window_.dialogOwner(), text(linkPath + "\r\nが既に有ります。上書きしますか？"), kNotice,
                         MsgKind::Confirmation, mbYes | mbNo) != MsgResult::Yes)
        return;
    SaveShellLink(linkPath, joinPath(folder, name), TdlgTikamiti::fieldBytes(dlg->edsagyoBasyo));
}

bool ShortcutController::SaveShellLink(const std::string& linkPath, const std::string& target,
                                       const std::string& workDir) {
    const int error = writeShellLink(linkPath, target, workDir);
    if (error == 0) return true;
    window_.services().boxes.messageBox(window_.dialogOwner(),
                                        text("ショートカットの作成 " + target + " で\r\nディスクにセーブする " +
                                             linkPath + " ときに\r\n" + systemErrorText(error)),
                                        kNotice, MsgKind::Warning, mbOK);
    return false;
}

} // namespace g3
