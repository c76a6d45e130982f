#include "platform/trash.h"

#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/fileops.h"
#include "platform/handles.h"
#include "platform/mounts.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/treesize.h"
#include "platform/xdgdirs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <set>
#include <sstream>

namespace g3 {

namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr std::size_t kNameMax = 255;

// A folder of the trash: made 0700 when missing; an existing one must be a real folder
// (a link there would send the items elsewhere) of the user's own (one planted by another
// user on a shared volume would let that user read and change every item put there).
bool ensurePrivateFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) == 0) return true;
    if (errno != EEXIST) return false;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    if (st.st_uid != geteuid()) {
        errno = EPERM;
        return false;
    }
    return true;
}

bool ensureTrashFolders(const std::string& trash) {
    return ensurePrivateFolder(trash) && ensurePrivateFolder(joinPath(trash, "files")) &&
           ensurePrivateFolder(joinPath(trash, "info"));
}

// The device of path or, while it does not exist, of the nearest folder above it.
bool deviceOfNearest(std::string path, dev_t& dev) {
    for (;;) {
        struct stat st {};
        if (stat(path.c_str(), &st) == 0) {
            dev = st.st_dev;
            return true;
        }
        std::string up = parentFolder(path);
        if (up.empty() || up == path) return false;
        path = std::move(up);
    }
}

// The top folder of the file system holding the folder dir (resolved): the last folder on
// the way up that is still on the same device.
std::string topdirOf(const std::string& dir, dev_t dev) {
    std::string top = dir;
    while (top != "/") {
        std::string up = parentFolder(top);
        struct stat st {};
        if (up.empty() || stat(up.c_str(), &st) != 0 || st.st_dev != dev) break;
        top = std::move(up);
    }
    return top;
}

std::string uidText() { return std::to_string(getuid()); }

// The trash of a top folder: .Trash/$uid where the administrator made .Trash a real folder
// with the sticky bit, else .Trash-$uid.
std::string topdirTrash(const std::string& topdir) {
    const std::string shared = joinPath(topdir, ".Trash");
    struct stat st {};
    if (lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const std::string mine = joinPath(shared, uidText());
        if (ensureTrashFolders(mine)) return mine;
    }
    const std::string own = joinPath(topdir, ".Trash-" + uidText());
    return ensureTrashFolders(own) ? own : std::string();
}

// The top folder a trash's relative Path lines are relative to; "" for the home trash.
std::string topdirOfTrash(const std::string& trash) {
    if (trash == homeTrash()) return {};
    const std::string parent = parentFolder(trash);
    return namePart(parent) == ".Trash" ? parentFolder(parent) : parent;
}

std::string localDateTime() {
    std::time_t now = std::time(nullptr);
    struct tm t {};
    localtime_r(&now, &t);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &t);
    return buf;
}

// A name that fits beside the record's suffix: long names are cut at a character boundary.
std::string fittingName(const std::string& name) {
    const std::size_t room = kNameMax - kInfoSuffix.size() - 8; // and a ".NN" to come
    if (name.size() <= room) return name;
    std::size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    return name.substr(0, cut);
}

// The n-th name tried for an item: name itself, then "base.2.ext", "base.3.ext" ...
std::string candidateName(const std::string& name, int n) {
    if (n == 1) return name;
    const std::size_t dot = name.rfind('.');
    const bool hasExt = dot != std::string::npos && dot > 0;
    const std::string base = hasExt ? name.substr(0, dot) : name;
    const std::string ext = hasExt ? name.substr(dot) : std::string();
    return base + "." + std::to_string(n) + ext;
}

// Reserves a name in the trash by creating its record (O_EXCL), written in full.
int writeRecord(const std::string& trash, const std::string& name, const std::string& pathLine,
                const std::string& date, std::string& chosen) {
    const std::string text = "[Trash Info]\nPath=" + pathLine + "\nDeletionDate=" + date + "\n";
    for (int n = 1; n < 10000; ++n) {
        chosen = candidateName(name, n);
        // The item's own name must be free in files/ too (a record lost in a crash).
        if (pathExists(joinPath(joinPath(trash, "files"), chosen))) continue;
        const std::string info = joinPath(joinPath(trash, "info"), chosen + std::string(kInfoSuffix));
        UniqueFd fd(open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd) {
            if (errno == EEXIST) continue;
            return errno;
        }
        if (!writeAll(fd.get(), text) || fd.closeChecked() != 0) {
            int e = errno;
            unlink(info.c_str());
            return e;
        }
        return 0;
    }
    return EEXIST;
}

// directorysizes: one line per trashed folder (size, the record's mtime, encoded name);
// rewritten whole through a temporary file. Optional, so a failure here changes nothing.
void updateDirectorySizes(const std::string& trash, const std::string& name, bool add) {
    const std::string file = joinPath(trash, "directorysizes");
    std::string old, out;
    if (!readWholeFile(file, old) && !add) return;
    const std::string encoded = encodeTrashPath(name);
    std::istringstream in(old);
    for (std::string line; std::getline(in, line);) {
        const std::size_t last = line.rfind(' ');
        if (last != std::string::npos && line.substr(last + 1) == encoded) continue;
        if (!line.empty()) out += line + "\n";
    }
    if (add) {
        struct stat st {};
        const std::string info = joinPath(joinPath(trash, "info"), name + std::string(kInfoSuffix));
        const long long mtime = stat(info.c_str(), &st) == 0 ? st.st_mtim.tv_sec : 0;
        out += std::to_string(treeBytes(joinPath(joinPath(trash, "files"), name))) + " " +
               std::to_string(mtime) + " " + encoded + "\n";
    }
    writeFileAtomically(file, out);
}

bool parseRecord(const std::string& text, std::string& path, std::string& date) {
    std::istringstream in(text);
    bool inSection = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "[Trash Info]") {
            inSection = true;
            continue;
        }
        if (!inSection) continue;
        if (line.rfind("Path=", 0) == 0) path = decodeTrashPath(line.substr(5));
        if (line.rfind("DeletionDate=", 0) == 0) date = line.substr(13);
    }
    return !path.empty();
}

bool hasParentStep(const std::string& path) {
    for (std::size_t at = 0; at <= path.size();) {
        std::size_t end = path.find('/', at);
        if (end == std::string::npos) end = path.size();
        if (path.compare(at, end - at, "..") == 0) return true;
        at = end + 1;
    }
    return false;
}

// The record of the item name of trash; topdir as topdirOfTrash gives it. A relative Path
// is relative to the folder the trash stands in and may not climb out of it with "..": a
// trash on a removable volume was written by whoever had the volume before.
bool readEntry(const std::string& trash, const std::string& name, const std::string& topdir,
               TrashEntry& entry) {
    std::string text, path, date;
    if (!readWholeFile(joinPath(joinPath(trash, "info"), name + std::string(kInfoSuffix)), text) ||
        !parseRecord(text, path, date) || path.find('\0') != std::string::npos)
        return false; // a "%00" would cut the path short where it is used
    if (path[0] != '/') {
        if (hasParentStep(path)) return false;
        path = joinPath(topdir.empty() ? parentFolder(trash) : topdir, path);
    }
    entry = {trash, name, lexicallyNormal(path), date};
    return true;
}

void listOne(const std::string& trash, std::vector<TrashEntry>& out) {
    DirHandle dir(opendir(joinPath(trash, "info").c_str()));
    if (!dir) return;
    const std::string topdir = topdirOfTrash(trash);
    while (const dirent* e = readdir(dir.get())) {
        std::string file = e->d_name;
        if (file.size() <= kInfoSuffix.size() || !file.ends_with(kInfoSuffix)) continue;
        TrashEntry entry;
        if (readEntry(trash, file.substr(0, file.size() - kInfoSuffix.size()), topdir, entry))
            out.push_back(std::move(entry));
    }
}

} // namespace

std::string encodeTrashPath(const std::string& bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                           c == '~' || c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string decodeTrashPath(const std::string& text) {
    auto value = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && value(text[i + 1]) >= 0 &&
            value(text[i + 2]) >= 0) {
            out += static_cast<char>(value(text[i + 1]) * 16 + value(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string trashFor(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        setLastError(errno);
        return {};
    }
    const std::string home = homeTrash();
    dev_t homeDev = 0;
    if (deviceOfNearest(home, homeDev) && homeDev == st.st_dev) {
        if (forceDirectories(parentFolder(home)) && ensureTrashFolders(home)) return home;
        setLastError(errno);
        return {};
    }
    const std::string folder = resolvedPath(parentFolder(path));
    if (folder.empty()) {
        setLastError(errno);
        return {};
    }
    std::string trash = topdirTrash(topdirOf(folder, st.st_dev));
    if (trash.empty()) setLastError(errno ? errno : EACCES);
    return trash;
}

int moveToTrash(const std::string& path, TrashEntry* entry) {
    const std::string item = lexicallyNormal(path);
    const std::string trash = trashFor(item);
    if (trash.empty()) return lastError();
    // Paths in a file system's own trash are relative to its top folder.
    const std::string topdir = topdirOfTrash(trash);
    std::string pathLine = item;
    if (!topdir.empty()) {
        const std::string resolved = joinPath(resolvedPath(parentFolder(item)), namePart(item));
        pathLine = relativePath(resolved, topdir);
    }
    const std::string date = localDateTime();
    std::string name;
    if (int e = writeRecord(trash, fittingName(namePart(item)), encodeTrashPath(pathLine), date, name))
        return e;
    const std::string target = joinPath(joinPath(trash, "files"), name);
    if (rename(item.c_str(), target.c_str()) != 0) {
        int e = errno;
        unlink(joinPath(joinPath(trash, "info"), name + std::string(kInfoSuffix)).c_str());
        return e;
    }
    struct stat st {};
    if (lstat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) updateDirectorySizes(trash, name, true);
    if (entry) *entry = {trash, name, item, date};
    return 0;
}

std::vector<TrashEntry> listTrash() {
    std::vector<TrashEntry> out;
    std::set<std::string> seen;
    auto visit = [&](const std::string& trash) {
        struct stat st {};
        if (stat(trash.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
        if (!seen.insert(std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino)).second) return;
        listOne(trash, out);
    };
    visit(homeTrash());
    for (const auto& m : readMountTable()) {
        visit(joinPath(joinPath(m.mountPoint, ".Trash"), uidText()));
        visit(joinPath(m.mountPoint, ".Trash-" + uidText()));
    }
    return out;
}

bool isTrashFilesFolder(const std::string& folder) {
    if (namePart(folder) != "files") return false;
    const std::string trash = parentFolder(folder);
    const std::string name = namePart(trash);
    const bool trashByName = name == ".Trash-" + uidText() ||
                             (name == uidText() && namePart(parentFolder(trash)) == ".Trash");
    if (!trashByName && !isSameFolder(trash, homeTrash())) return false;
    struct stat st {};
    return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           lstat(joinPath(trash, "info").c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool trashEntryOf(const std::string& itemPath, TrashEntry& entry) {
    const std::string folder = parentFolder(itemPath);
    if (!isTrashFilesFolder(folder)) return false;
    const std::string trash = parentFolder(folder);
    // The home trash may be reached through another path (a linked home): its Path lines
    // are absolute all the same.
    const std::string topdir = isSameFolder(trash, homeTrash()) ? std::string() : topdirOfTrash(trash);
    return readEntry(trash, namePart(itemPath), topdir, entry);
}

int restoreFromTrash(const TrashEntry& entry) {
    const std::string from = joinPath(joinPath(entry.trash, "files"), entry.name);
    if (pathExists(entry.originalPath)) return EEXIST;
    const std::string parent = parentFolder(entry.originalPath);
    if (!forceDirectories(parent)) return lastError();
    if (int e = renameWithoutReplacing(from, entry.originalPath)) return e;
    unlink(joinPath(joinPath(entry.trash, "info"), entry.name + std::string(kInfoSuffix)).c_str());
    updateDirectorySizes(entry.trash, entry.name, false);
    return 0;
}

} // namespace g3
