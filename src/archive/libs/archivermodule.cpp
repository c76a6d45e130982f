#include "archive/libs/archivermodule.h"

#include "archive/archiverapi.h"
#include "archive/libs/archiverwindow.h"
#include "archive/libs/freezejob.h"
#include "archive/libs/thawjob.h"
#include "platform/paths.h"
#include "platform/xdgdirs.h"
#include "ui/msgbox.h"

#include <QApplication>
#include <QThread>

#include <cstring>
#include <memory>

namespace g3 {

namespace {

void putOutput(const std::string& text, char* output, std::uint32_t size) {
    if (!output || size == 0) return;
    std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    // Never cut a character in two.
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    std::memcpy(output, text.data(), n);
    output[n] = '\0';
}

std::string absoluteFrom(const std::string& base, const std::string& path) {
    if (!path.empty() && path.front() == '/') return path;
    return joinPath(base, path);
}

std::unique_ptr<ArchiverJob> jobFor(const ArchiverCommand& cmd, unsigned families) {
    const std::string here = processFolder();
    const std::string archive = absoluteFrom(here, cmd.archive);
    if (cmd.op == ArchiverOp::Create) return std::make_unique<FreezeJob>(archive, here, cmd.files);
    return std::make_unique<ThawJob>(archive, absoluteFrom(here, cmd.destination), families);
}

// The module's windows are shown only on the thread of a QApplication.
bool canShowWindows() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && app->thread() == QThread::currentThread();
}

QString badCommandText(const char* line) {
    return QString::fromUtf8("このコマンド行は分かりません:\n") + QString::fromUtf8(line);
}

} // namespace

int runArchiverModule(const ArchiverModuleSpec& spec, void* ownerWindow, const char* commandLine,
                      char* output, std::uint32_t outputSize) {
    const char* line = commandLine ? commandLine : "";
    auto* owner = static_cast<QWidget*>(ownerWindow);
    std::optional<ArchiverCommand> cmd = parseCommandLine(line, spec.style);
    if (!cmd) {
        putOutput(badCommandText(line).toStdString(), output, outputSize);
        if (canShowWindows())
            ScreenMessageBoxes().messageBox(owner, badCommandText(line), QString::fromUtf8("冷凍団地のエラー"),
                       MsgKind::Error, mbOK);
        return kArchiverBadCommand;
    }
    std::unique_ptr<ArchiverJob> job = jobFor(*cmd, spec.families);
    int result;
    if (canShowWindows()) {
        ScreenMessageBoxes boxes; // the module's own: it is called with a window, nothing else
        {
            TArchiverProgressDlg dlg(*job, boxes, owner);
            result = dlg.execute();
        }
        showArchiverReport(owner, boxes, *job);
    } else {
        result = job->run();
    }
    std::string text = reportText(*job);
    if (text.empty()) text = result == kArchiverCancelled ? "中止しました" : "終わりました";
    putOutput(text, output, outputSize);
    return result;
}

} // namespace g3
