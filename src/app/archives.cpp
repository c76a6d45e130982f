#include "app/archives.h"

#include "app/Unit1.h"
#include "platform/paths.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace g3 {

ArchiveController::ArchiveController(WindowContext& window, ToolPlaces& places, QObject* parent,
                                     std::string moduleFolder)
    : FeatureController(window, parent), moduleFolder_(std::move(moduleFolder)) {
    kaito_ = makeTool(places, ToolSlot::Kaito, [this] { tbtnKaitoClick(); });
    asyuk_ = makeTool(places, ToolSlot::Asyuk, [this] { tbtnAsyukClick(); });
}

void ArchiveController::tbtnKaitoClick() { ArchiveBridge(*this, moduleFolder_).failkaito(); }
void ArchiveController::tbtnAsyukClick() { ArchiveBridge(*this, moduleFolder_).failasyuk(); }

void ArchiveController::onRunState(bool running) {
    kaito_->setEnabled(!running);
    asyuk_->setEnabled(!running);
}

int ArchiveController::selectionCount() const { return static_cast<int>(window_.selectedNames().size()); }

std::string ArchiveController::selectedPath() const {
    const std::vector<std::string> names = window_.selectedNames();
    return names.empty() ? std::string() : joinPath(window_.CurDir(), names.front());
}

std::string ArchiveController::currentFolder() const { return window_.CurDir(); }
void* ArchiveController::ownerWindow() const { return window_.dialogOwner(); }

bool ArchiveController::confirm(const std::string& text) {
    return window_.services().boxes.messageDlg(QString::fromUtf8(text), MsgKind::Confirmation, mbYes | mbNo) ==
           MsgResult::Yes;
}

void ArchiveController::inform(const std::string& text) {
    window_.services().boxes.messageDlg(QString::fromUtf8(text), MsgKind::Information, mbOK);
}

bool ArchiveController::askArchiveName(const std::string& caption, const std::string& prompt, std::string& text) {
    return window_.askInput({caption, prompt, {}, true}, text);
}

void ArchiveController::monitorOff() { window_.pauseMonitor(); }
void ArchiveController::monitorOn() { window_.resumeMonitor(); }
void ArchiveController::treeRefresh() { window_.treeRefresh(); }

bool ArchiveController::navigateTo(const std::string& path) {
    return window_.navigateTo(currentFolderForm(path));
}

} // namespace g3
