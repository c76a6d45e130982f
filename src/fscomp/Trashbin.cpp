#include "fscomp/Trashbin.h"

#include "platform/fileops.h"
#include "platform/mounts.h"
#include "platform/paths.h"
#include "platform/xdgdirs.h"

#include <QString>

#include <algorithm>

#include <sys/stat.h>

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

// Every path is checked, not only the first: a system folder selected beside a house would
// otherwise go to the trash with it. And a protected folder is recognised by its identity
// too, however the path reaches it ("/usr/", a link or a second mount above it). A link is
// no folder to protect: evicting it leaves its target where it is.
bool TTrashbin::SendToTrash(std::string_view list) {
    std::vector<std::string> paths = splitPathList(list);
    std::vector<std::string> folders;
    for (const char* p : kProtected)
        if (p[0] == '/') folders.emplace_back(p);
    folders.push_back(homeFolder());
    for (const auto& m : readMountTable()) folders.push_back(m.mountPoint);
    for (const std::string& path : paths) {
        const std::string lowered = lowerCased(path);
        struct stat st {};
        const bool folder = ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        const bool reached = folder && std::any_of(folders.begin(), folders.end(), [&](const std::string& f) {
                                 return isSameFolder(path, f);
                             });
        if (reached || isProtected(lowered)) {
            host_.showInformation(lowered + "\n\r" + "は埋めませんのでご了承ください");
            return true;
        }
    }
    if (!paths.empty()) host_.deleteToTrash(paths, Title);
    return true;
}

} // namespace g3
