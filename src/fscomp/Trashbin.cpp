#include "fscomp/Trashbin.h"

#include "platform/codepage.h"
#include "platform/mounts.h"
#include "platform/paths.h"
#include "platform/xdgdirs.h"

#include <QString>

#include <algorithm>
#include <iterator>
#include <utility>

#include <sys/stat.h>

namespace g3 {

namespace {

// The system's folders, in both forms the program may meet them.
constexpr const char* kProtected[] = {
    "c:\\windows", "c:\\winnt", "c:\\program files", "c:\\program files (x86)",
    "/", "/bin", "/boot", "/dev", "/etc", "/lib", "/lib32", "/lib64", "/proc", "/root",
    "/run", "/sbin", "/sys", "/usr", "/var",
};

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

namespace {

// The protected folders, read once for a list (the home folder and the mounts may change
// while the program runs, not while one list goes): as lower-cased text, compared exactly
// as the user typed or the list built it, and as identities, so that "/usr/", a link or a
// second mount above a system folder is recognised too.
class ProtectedFolders {
public:
    ProtectedFolders() {
        std::vector<std::string> folders(std::begin(kProtected), std::end(kProtected));
        folders.push_back(homeFolder());
        for (const auto& m : readMountTable()) folders.push_back(m.mountPoint);
        for (const std::string& f : folders) {
            texts_.push_back(TTrashbin::lowerCased(f));
            struct stat st {};
            if (f[0] == '/' && ::stat(f.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) ids_.emplace_back(st.st_dev, st.st_ino);
        }
    }
    // A link is no folder to protect: evicting it leaves its target where it is.
    bool covers(const std::string& path, const std::string& lowered) const {
        if (std::find(texts_.begin(), texts_.end(), lowered) != texts_.end()) return true;
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
               std::find(ids_.begin(), ids_.end(), std::pair(st.st_dev, st.st_ino)) != ids_.end();
    }

private:
    std::vector<std::string> texts_;
    std::vector<std::pair<dev_t, ino_t>> ids_;
};

} // namespace

// Every path is checked, not only the first: a system folder selected beside a house would
// otherwise go to the trash with it.
bool TTrashbin::SendToTrash(std::string_view list) {
    std::vector<std::string> paths = splitPathList(list);
    const ProtectedFolders protectedFolders;
    for (const std::string& path : paths) {
        const std::string lowered = lowerCased(path);
        if (protectedFolders.covers(path, lowered)) {
            host_.showInformation(lowered + "\n\r" + "は埋めませんのでご了承ください");
            return true;
        }
    }
    if (!paths.empty()) host_.deleteToTrash(paths, Title);
    return true;
}

} // namespace g3
