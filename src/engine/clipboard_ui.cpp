#include "engine/clipboard_ui.h"

#include "engine/clipformats.h"
#include "engine/shellfileopdlg.h"
#include "platform/paths.h"

#include <QClipboard>
#include <QGuiApplication>

namespace g3 {

void CopyFilesToClipboard(const std::string& curDir, const std::vector<std::string>& names) {
    if (names.empty()) return;
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const auto& n : names) paths.push_back(joinPath(curDir, n));
    auto* data = new QMimeData;
    writeClipFiles(*data, paths, false);
    QGuiApplication::clipboard()->setMimeData(data); // the clipboard owns it
}

int PasteFiles(const std::string& curDir, MessageBoxes& boxes, QWidget* owner) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ClipFiles files;
    if (!data || !readClipFiles(*data, files)) return 0;
    ShellFileOpRequest req;
    req.func = FO_COPY;
    req.from = std::move(files.paths);
    req.to = curDir.empty() ? std::string("/") : curDir;
    req.flags = FOF_ALLOWUNDO;
    ShellFileOperation op(std::move(req));
    return runShellFileOperation(op, boxes, owner);
}

} // namespace g3
