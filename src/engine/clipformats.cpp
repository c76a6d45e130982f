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
    using namespace fileformats;
    data.setData(kUriList, uriList);
    data.setData(kGnomeCopied, copied);
    data.setData(kMateCopied, copied);
    data.setData(kKdeCut, cut ? "1" : "0");
    data.setData(kPlainUtf8, text);
}

} // namespace g3
