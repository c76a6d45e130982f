#include "fscomp/Trashbin.h"

#include "platform/mounts.h"
#include "platform/paths.h"
#include "platform/xdgdirs.h"

#include <QString>

namespace g3 {

namespace {

// The system's folders, in both forms the program may meet them.
constexpr const char* kProtected[] = {
    "c:\\windows", "c:\\winnt", "c:\\program files", "c:\\program files (x86)",
    "/", "/bin", "/boot", "/dev", "/etc", "/lib", "/lib32", "/lib64", "/proc", "/root",
    "/run", "/sbin", "/sys", "/usr", "/var",
};

bool isValidUtf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())).toUtf8() ==
           QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

std::string pathList(const std::vector<std::string>& paths) {
    std::string list;
    for (const auto& p : paths) {
        list += p;
        list += '\0';
    }
    list += '\0';
    return list;
}

std::vector<std::string> splitPathList(std::string_view list) {
    std::vector<std::string> paths;
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t end = list.find('\0', at);
        const std::string_view p = list.substr(at, end == std::string_view::npos ? end : end - at);
        if (p.empty()) break;
        paths.emplace_back(p);
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    return paths;
}

// Letters of every script are lowered where the name is text; a name that is no valid
// UTF-8 keeps its other bytes as they are.
std::string TTrashbin::lowerCased(std::string_view path) {
    if (isValidUtf8(path))
        return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())).toLower().toStdString();
    std::string out(path);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

// Compared as exact text, as the user typed or the list built it: "/usr/" is not "/usr".
// The home folder and every mount point are read now, since both may change while the
// program runs.
bool TTrashbin::isProtected(const std::string& lowered) {
    for (const char* p : kProtected)
        if (lowered == p) return true;
    if (lowered == lowerCased(homeFolder())) return true;
    for (const auto& m : readMountTable())
        if (lowered == lowerCased(m.mountPoint)) return true;
    return false;
}

bool TTrashbin::SendToTrash(std::string_view list) {
    const std::string first = lowerCased(list.substr(0, list.find('\0')));
    if (isProtected(first)) {
        host_.showInformation(first + "\n\r" + "は埋めませんのでご了承ください");
        return true;
    }
    std::vector<std::string> paths = splitPathList(list);
    if (!paths.empty()) host_.deleteToTrash(paths, Title);
    return true;
}

} // namespace g3
