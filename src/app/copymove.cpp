#include "app/copymove.h"

#include "app/FldrDlg.h"
#include "app/OKRightDlg.h"
#include "engine/Unit3.h"
#include "engine/copyhost.h"
#include "engine/copyworker.h"
#include "engine/shellfileopdlg.h"
#include "platform/fileops.h"
#include "platform/paths.h"

#include <QAction>

namespace g3 {

namespace {

// What the worker asks of the window, answered by the controller and its window.
class WindowCopyHost final : public CopyHost {
public:
    WindowCopyHost(CopyMoveController& c, WindowContext& w) : c_(c), w_(w) {}

    bool openProgress(bool showCancel, const std::string& caption, int max, int min) override {
        return w_.progress().OpenProgress(showCancel, caption, max, min);
    }
    bool updateProgress(bool step, const std::string& line1, const std::string& line2,
                        const std::string& line3) override {
        return w_.progress().UpdateProgress(step, line1, line2, line3);
    }
    void closeProgress() override { w_.progress().CloseProgress(); }
    void clearErrors() override { c_.errors().clear(); }
    void addErrorMessage(const std::string& first, const std::string& second, int code) override {
        c_.errors().AddErrorMessage(first, second, code);
    }
    int errorCount() override { return c_.errors().ErrorCount(); }
    void offerErrorReport() override {
        if (TOKRightDlg* dlg = c_.errorWindow()) dlg->reportErrors();
    }
    void prepareSameName() override { c_.Form3()->prepareRun(); }
    int askSameName(const std::string& label, const std::string& dst, std::int64_t srcSize,
                    std::int64_t dstSize, const std::string& srcTime,
                    const std::string& dstTime) override {
        return c_.Form3()->domeiKakunin(label, dst, srcSize, dstSize, srcTime, dstTime);
    }
    void setMonitorActive(bool active) override {
        if (active)
            w_.resumeMonitor();
        else
            w_.pauseMonitor();
    }
    void refreshTree() override { w_.treeRefresh(); }
    void runStateChanged(bool running) override { w_.runStateChanged(running); }
    void showRefusal(const std::string& text) override {
        w_.services().boxes.messageDlg(QString::fromStdString(text), MsgKind::Warning, mbOK);
    }
    bool chooseFolder(const std::string& title, std::string& folder) override {
        TFolderDialog* dlg = c_.FolderDialog1();
        dlg->Title = title;
        if (!dlg->Execute()) return false;
        folder = dlg->Folder;
        return true;
    }
    int runShellOperation(ShellFileOperation& op) override {
        return runShellFileOperation(op, w_.services().boxes, w_.dialogOwner());
    }

private:
    CopyMoveController& c_;
    WindowContext& w_;
};

} // namespace

CopyMoveController::CopyMoveController(WindowContext& window, ToolPlaces& places, QObject* parent)
    : FeatureController(window, parent),
      host_(std::make_unique<WindowCopyHost>(*this, window)),
      engine_(std::make_unique<TCopyEngine>(*host_, window.services().pump)) {
    tatemas_ = makeTool(places, ToolSlot::Tatemas, [this] { tbtnTatemasClick(); });
    hikos_ = makeTool(places, ToolSlot::Hikos, [this] { tbtnHikosClick(); });
}

CopyMoveController::~CopyMoveController() = default;

// The list lives in the error-list window; without one (a window alone, in a test) the
// controller keeps it and the report asks nothing.
ErrorList& CopyMoveController::errors() {
    return errorWindow_ ? errorWindow_->errorList() : ownErrors_;
}

bool CopyMoveController::runDrop(const std::vector<std::string>& files, int kind) {
    engine_->OpKind = kind;
    return engine_->copinew(files, window_.CurDir());
}

bool CopyMoveController::running() const { return engine_->running(); }

void CopyMoveController::tbtnTatemasClick() {
    engine_->copimuv2(opCopy, window_.selectedNames(), window_.CurDir());
}

void CopyMoveController::tbtnHikosClick() {
    engine_->copimuv2(opMove, window_.selectedNames(), window_.CurDir());
}

// While a run lasts a second request would interleave with it.
void CopyMoveController::onRunState(bool running) {
    tatemas_->setEnabled(!running);
    hikos_->setEnabled(!running);
}

bool CopyMoveController::worksBelow(const std::string& folder) const {
    if (!engine_->running()) return false;
    for (const std::string& p : {engine_->runDir(), engine_->SrcBaseDir})
        if (!p.empty() && isSameFolderOrInside(p, folder)) return true;
    return false;
}

TForm3* CopyMoveController::Form3() {
    if (!form3_) {
        form3_ = new TForm3(window_.dialogOwner());
        form3_->setObjectName(QStringLiteral("Form3"));
        form3_->bindAnswerState(engine_->SameNameAnswer, engine_->SameNameForAll);
    }
    return form3_;
}

TFolderDialog* CopyMoveController::FolderDialog1() {
    if (!folderDialog1_) {
        folderDialog1_ = new TFolderDialog(window_.dialogOwner());
        folderDialog1_->setObjectName(QStringLiteral("FolderDialog1"));
    }
    return folderDialog1_;
}

} // namespace g3
