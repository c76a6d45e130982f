#include "fscomp/dropformats.h"

#include <QList>

namespace g3 {

namespace {

using namespace fileformats;

// Lines split on LF with a trailing CR removed and blank lines skipped.
QList<QByteArray> linesOf(const QByteArray& payload) {
    QList<QByteArray> lines;
    for (QByteArray line : payload.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (!line.trimmed().isEmpty()) lines.append(line);
    }
    return lines;
}

// URIs of a list; comment lines ("#") are skipped, non-file URIs ignored.
void addUris(const QList<QByteArray>& lines, qsizetype from, ClipFiles& out) {
    for (qsizetype i = from; i < lines.size(); ++i) {
        if (lines[i].startsWith('#')) continue;
        std::string path;
        if (pathOfFileUri(lines[i].trimmed(), path)) out.paths.push_back(path);
    }
}

// The "copy"/"cut" header form of gnome, mate and the old nautilus text.
bool readCopiedFiles(const QByteArray& payload, ClipFiles& out, bool withMark) {
    QList<QByteArray> lines = linesOf(payload);
    qsizetype head = 0;
    if (withMark) {
        if (lines.isEmpty() || lines[0].trimmed() != kNautilusMark) return false;
        head = 1;
    }
    if (lines.size() <= head) return false;
    QByteArray verb = lines[head].trimmed();
    if (verb != "copy" && verb != "cut") return false;
    out.cut = verb == "cut";
    addUris(lines, head + 1, out);
    return !out.paths.empty();
}

} // namespace

QByteArray fileUriOf(const std::string& path) { return QByteArray::fromStdString(fileUri(path)); }

bool pathOfFileUri(const QByteArray& uri, std::string& path) {
    static const QByteArray scheme = "file://";
    if (!uri.toLower().startsWith(scheme)) return false;
    QByteArray rest = uri.mid(scheme.size());
    qsizetype slash = rest.indexOf('/');
    if (slash < 0) return false;
    QByteArray host = rest.left(slash).toLower();
    if (!host.isEmpty() && host != "localhost") return false;
    QByteArray bytes = QByteArray::fromPercentEncoding(rest.mid(slash));
    if (bytes.contains('\0')) return false; // no path has one; the name would be cut short there
    path.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    return !path.empty();
}

bool readClipFiles(const QMimeData& data, ClipFiles& out) {
    out = {};
    for (const char* f : {kGnomeCopied, kMateCopied}) {
        if (data.hasFormat(f) && readCopiedFiles(data.data(f), out, false)) return true;
        out = {};
    }
    for (const char* f : {kUriList, kKdeUris}) {
        if (!data.hasFormat(f)) continue;
        addUris(linesOf(data.data(f)), 0, out);
        if (out.paths.empty()) continue;
        QByteArray mark = data.data(kKdeCut);
        out.cut = !mark.isEmpty() && mark[0] == '1';
        return true;
    }
    out = {};
    if (data.hasFormat(kPlain) && readCopiedFiles(data.data(kPlain), out, true))
        return true;
    out = {};
    return false;
}

std::vector<std::string> readDroppedFiles(const QMimeData& data) {
    ClipFiles files;
    if (readClipFiles(data, files)) return files.paths;
    // Plain paths: only when every line names a file, so that dropped prose is no list.
    std::vector<std::string> paths;
    for (const char* f : {kPlainUtf8, kPlain}) {
        if (!data.hasFormat(f)) continue;
        for (const QByteArray& line : linesOf(data.data(f))) {
            std::string path;
            if (line.startsWith('/'))
                path.assign(line.constData(), static_cast<size_t>(line.size()));
            else if (!pathOfFileUri(line.trimmed(), path))
                return {};
            paths.push_back(path);
        }
        return paths;
    }
    return {};
}

} // namespace g3
