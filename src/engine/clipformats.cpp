#include "engine/clipformats.h"

namespace g3 {

void writeClipFiles(QMimeData& data, const std::vector<std::string>& paths, bool cut) {
    for (const FileListPayload& p : fileListPayloads(paths, cut))
        data.setData(QString::fromLatin1(p.format), QByteArray::fromStdString(p.bytes));
}

} // namespace g3
