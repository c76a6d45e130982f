#include "shellviews/shellnamespace.h"

#include "platform/codepage.h"
#include "platform/mounts.h"
#include "platform/paths.h"
#include "platform/fileio.h"
#include "platform/handles.h"
#include "platform/longpath.h"
#include "platform/shelllink.h"
#include "platform/xdgdirs.h"
#include "shellviews/mimetypes.h"
#include "shellviews/naturalorder.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace g3 {

namespace {

// Readable text of name bytes: invalid UTF-8 becomes U+FFFD, by the rule an edit of the
// text is mapped back to bytes with (nameAfterEdit).
std::string displayText(std::string_view bytes) { return displayTextOf(bytes); }

bool isDirectoryPath(const std::string& path) {
    struct stat st {};
    ReachablePath p(path);
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool findDataOfAnyPath(const std::string& path, FindData& out) {
    ReachablePath p(path);
    if (!findDataOfPath(p.str(), out)) return false;
    out.name = namePart(path);
    return true;
}

// Lists `path` up to its first subfolder ("." and ".." do not count; a link to a folder
// does, as the tree shows it as a child).
bool hasSubfolder(const std::string& path) {
    ReachablePath p(path);
    FindHandle h;
    FindData d;
    for (bool ok = h.first(joinPath(p.str(), "*"), d, FindDetail::NameAndType); ok; ok = h.next(d))
        if (d.isDirectory() && !d.isDotOrDotDot()) return true;
    return false;
}

std::uint8_t idFlagsOf(const FindData& d) {
    std::uint8_t f = 0;
    if (d.isDirectory()) f |= kIdFolder;
    if (d.attributes & faLink) f |= kIdLink;
    return f;
}

// Desktop items first in the order home, "/", volumes (by path).
int desktopRank(std::string_view path) {
    if (path == homeFolder()) return 0;
    if (path == "/") return 1;
    return 2;
}

int compareIDPair(std::uint8_t fa, std::string_view na, std::uint8_t fb, std::string_view nb) {
    bool da = fa & kIdDesktopItem, db = fb & kIdDesktopItem;
    if (da && db) {
        int ra = desktopRank(na), rb = desktopRank(nb);
        if (ra != rb) return ra < rb ? -1 : 1;
        return compareNames(na, nb);
    }
    if (da != db) return da ? -1 : 1;
    bool ca = fa & kIdFolder, cb = fb & kIdFolder;
    if (ca != cb) return ca ? -1 : 1;
    return compareNames(na, nb);
}

bool validNewName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

// errno says why it failed (set after the reachable paths are closed, which may change it).
bool renameNoReplace(const std::string& fromPath, const std::string& toPath) {
    int e = 0;
    {
        ReachablePath from(fromPath), to(toPath);
        e = renameWithoutReplacing(from.str(), to.str());
    }
    errno = e;
    return e == 0;
}

// A folder of the file system at `path`.
class FileSystemFolder final : public ShellFolder {
public:
    FileSystemFolder(ItemIDList abs, std::string path)
        : ShellFolder(std::move(abs)), path_(std::move(path)) {}

    std::string pathOf(const ItemIDList& relative) const override {
        std::string p = path_;
        for (std::size_t i = 0, n = relative.idCount(); i < n; ++i) p = joinPath(p, relative.nameAt(i));
        return p;
    }

    bool EnumObjects(unsigned flags, const EnumSink& sink) const override;

protected:
    std::string ownDisplayName() const override {
        return path_ == "/" ? std::string("/") : displayText(namePart(path_));
    }

private:
    std::string path_;
};

bool FileSystemFolder::EnumObjects(unsigned flags, const EnumSink& sink) const {
    // Only the file list shows sizes and times; the tree's folder listings take the type
    // from the directory entry and save one statx per entry.
    FindDetail detail = (flags & SHCONTF_NONFOLDERS) ? FindDetail::Full : FindDetail::NameAndType;
    ReachablePath p(path_);
    FindHandle h;
    FindData d;
    bool ok = h.first(joinPath(p.str(), "*"), d, detail);
    if (!ok && h.error() != 0) return false;
    for (; ok; ok = h.next(d)) {
        if (d.isDotOrDotDot()) continue;
        bool folder = d.isDirectory();
        if (!(flags & (folder ? SHCONTF_FOLDERS : SHCONTF_NONFOLDERS))) continue;
        if ((d.attributes & faHidden) && !(flags & SHCONTF_INCLUDEHIDDEN)) continue;
        EnumItem item;
        item.id = ItemIDList::makeID(idFlagsOf(d), d.name);
        if (item.id.isNull()) continue;
        item.hasFindData = detail == FindDetail::Full;
        item.size = folder ? 0 : d.size;
        item.lastWriteTime = d.lastWriteTime;
        sink(std::move(item));
    }
    return true;
}

// The virtual root. Its items carry their absolute paths as names.
class DesktopFolder final : public ShellFolder {
public:
    DesktopFolder() : ShellFolder(ItemIDList::empty()) {}

    std::string pathOf(const ItemIDList& relative) const override {
        if (relative.idCount() == 0) return desktopFolder();
        std::string p(relative.firstName());
        for (std::size_t i = 1, n = relative.idCount(); i < n; ++i) p = joinPath(p, relative.nameAt(i));
        return p;
    }

    bool EnumObjects(unsigned flags, const EnumSink& sink) const override {
        if (!(flags & SHCONTF_FOLDERS)) return true;
        std::vector<std::string> items;
        std::string home = homeFolder();
        if (home != "/") items.push_back(home);
        items.push_back("/");
        for (auto& v : mountedVolumes())
            if (v != home) items.push_back(std::move(v));
        for (const auto& p : items) sink(EnumItem{ItemIDList::makeID(kIdFolder | kIdDesktopItem, p)});
        return true;
    }

protected:
    std::string ownDisplayName() const override { return "デスクトップ"; }
};

std::string& mountInfoPath() {
    static std::string p = kProcessMountTable;
    return p;
}

} // namespace

// ---- ShellFolder -------------------------------------------------------------------------

std::shared_ptr<const ShellFolder> ShellFolder::BindToObject(const ItemIDList& relative) const {
    if (relative.isNull()) return {};
    if (relative.idCount() == 0) return abs_.idCount() == 0 ? SHGetDesktopFolder() : nullptr;
    std::string path = pathOf(relative);
    if (!isDirectoryPath(path)) return {};
    return std::make_shared<FileSystemFolder>(ConcatIDList(abs_, relative), std::move(path));
}

bool ShellFolder::GetDisplayNameOf(const ItemIDList& relative, unsigned flags, std::string& out) const {
    out.clear();
    if (relative.isNull()) return false;
    std::size_t n = relative.idCount();
    if (flags & SHGDN_FORPARSING) {
        out = pathOf(relative);
    } else if (n == 0) {
        out = ownDisplayName();
    } else {
        std::string_view name = relative.nameAt(n - 1);
        bool desktopItem = relative.flagsAt(n - 1) & kIdDesktopItem;
        out = displayText(desktopItem && name != "/" ? std::string_view(namePart(name)) : name);
    }
    return true;
}

std::uint32_t ShellFolder::GetAttributesOf(const ItemIDList& relative, std::uint32_t asked) const {
    std::size_t n = relative.idCount();
    if (n == 0) return asked & (SFGAO_FOLDER | SFGAO_FILESYSANCESTOR);
    std::uint8_t f = relative.flagsAt(n - 1);
    std::uint32_t a = SFGAO_FILESYSTEM;
    if (f & kIdFolder) a |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;
    // A shortcut file is a link as much as a symbolic link is (the name says it).
    if ((f & kIdLink) || (!(f & kIdFolder) && isShortcutName(relative.nameAt(n - 1)))) a |= SFGAO_LINK;
    if ((asked & SFGAO_HASSUBFOLDER) && (f & kIdFolder) && hasSubfolder(pathOf(relative)))
        a |= SFGAO_HASSUBFOLDER;
    return a & asked;
}

int ShellFolder::compareOneID(std::uint8_t flagsA, std::string_view nameA, std::uint8_t flagsB,
                              std::string_view nameB) {
    return compareIDPair(flagsA, nameA, flagsB, nameB);
}

int ShellFolder::CompareIDs(const ItemIDList& a, const ItemIDList& b) const {
    std::size_t na = a.idCount(), nb = b.idCount();
    for (std::size_t i = 0; i < na && i < nb; ++i)
        if (int c = compareIDPair(a.flagsAt(i), a.nameAt(i), b.flagsAt(i), b.nameAt(i))) return c;
    return na == nb ? 0 : (na < nb ? -1 : 1);
}

bool ShellFolder::SetNameOf(const ItemIDList& relative, std::string_view newName,
                            ItemIDList& newId) const {
    std::size_t n = relative.idCount();
    if (n == 0 || (relative.flagsAt(n - 1) & kIdDesktopItem) || !validNewName(newName)) {
        errno = EINVAL;
        return false;
    }
    std::string from = pathOf(relative);
    std::string to = joinPath(parentFolder(from), newName);
    ItemIDList renamed = ItemIDList::makeID(relative.flagsAt(n - 1), newName);
    if (renamed.isNull()) {
        errno = EINVAL;
        return false;
    }
    if (!renameNoReplace(from, to)) return false;
    newId = n == 1 ? renamed : ConcatIDList(ParentIDList(relative), renamed);
    return true;
}

bool ShellFolder::GetDataFromIDList(const ItemIDList& relative, FindData& out) const {
    std::size_t n = relative.idCount();
    if (n == 0 || (n == 1 && (relative.firstFlags() & kIdDesktopItem))) return false;
    return findDataOfAnyPath(pathOf(relative), out);
}

// ---- module functions --------------------------------------------------------------------

ShellFolderPtr SHGetDesktopFolder() {
    static const ShellFolderPtr desktop = std::make_shared<DesktopFolder>();
    return desktop;
}

ItemIDList desktopIDList() { return ItemIDList::empty(); }

bool ParseDisplayName(std::string_view path, ItemIDList& out) {
    if (path.empty() || path[0] != '/' || path.find('\0') != std::string_view::npos) return false;
    std::vector<std::string_view> parts;
    for (std::size_t i = 0; i < path.size();) {
        std::size_t j = path.find('/', i);
        if (j == std::string_view::npos) j = path.size();
        std::string_view c = path.substr(i, j - i);
        if (c == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!c.empty() && c != ".") {
            parts.push_back(c);
        }
        i = j + 1;
    }
    std::string full = "/";
    for (auto c : parts) full = joinPath(full, c);
    FindData d;
    if (!findDataOfAnyPath(full, d)) return false;
    ItemIDList list = ConcatIDList(ItemIDList::empty(), ItemIDList::makeID(kIdFolder | kIdDesktopItem, "/"));
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::uint8_t f = i + 1 < parts.size() ? kIdFolder : idFlagsOf(d);
        list = ConcatIDList(list, ItemIDList::makeID(f, parts[i]));
    }
    out = std::move(list);
    return true;
}

bool SHGetPathFromIDList(const ItemIDList& absolute, std::string& out) {
    if (absolute.isNull()) return false;
    out = SHGetDesktopFolder()->pathOf(absolute);
    return true;
}

int typeIndexOfItem(const ItemIDList& absolute) {
    std::size_t n = absolute.idCount();
    if (n == 0) return typeIndexForDesktop();
    std::uint8_t f = absolute.flagsAt(n - 1);
    std::string_view name = absolute.nameAt(n - 1);
    if (f & kIdDesktopItem) return name == homeFolder() ? typeIndexForHome() : typeIndexForDrive();
    if (f & kIdFolder) return typeIndexForFolder();
    return typeIndexForFileName(name);
}

std::vector<std::string> mountedVolumes() { return volumeMountPoints(readMountTable(mountInfoPath())); }

void setMountInfoPathForTesting(std::string path) {
    mountInfoPath() = path.empty() ? std::string(kProcessMountTable) : std::move(path);
}

} // namespace g3
