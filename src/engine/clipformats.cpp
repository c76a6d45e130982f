#include "engine/clipformats.h"

namespace g3 {

void writeClipFiles(QMimeData& data, const std::vector<std::string>& paths, bool cut) {
    QByteArray uriList, copied = cut ? "cut" : "copy", text;
    for (const auto& p : paths) {
        QByteArray uri = fileUriOf(p);
        uriList += uri + "\r\n";
        copied += "\n" + uri;
        if (!text.isEmpty()) text += '\n';
        text += QByteArray(p.data(), static_cast<qsizetype>(p.size()));
    }
    data.setData("text/uri-list", uriList);
    data.setData("x-special/gnome-copied-files", copied);
    data.setData("x-special/mate-copied-files", copied);
    data.setData("application/x-kde-cutselection", cut ? "1" : "0");
    data.setData("text/plain;charset=utf-8", text);
}

} // namespace g3
