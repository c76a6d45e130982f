// The shell namespace: a virtual desktop root whose children are the user's home folder,
// the file-system root "/" and the mounted volumes, and below them the file system.
//
// Folders are ShellFolder objects, shared (std::shared_ptr) by whoever holds them; items
// are named by item ID lists (itemidlist.h) relative to a folder. Everything here runs on
// the user-interface thread; no call keeps a file descriptor open past its return.
#pragma once

#include "platform/dostime.h"
#include "platform/findfile.h"
#include "shellviews/itemidlist.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace g3 {

// What EnumObjects lists.
enum : unsigned {
    SHCONTF_FOLDERS = 0x20,
    SHCONTF_NONFOLDERS = 0x40,
    SHCONTF_INCLUDEHIDDEN = 0x80,
};

// Display-name forms.
enum : unsigned {
    SHGDN_NORMAL = 0,      // the name a user reads
    SHGDN_INFOLDER = 1,    // the name relative to its folder (same text here)
    SHGDN_FORPARSING = 0x8000, // the exact path bytes
};

// Attributes.
enum : std::uint32_t {
    SFGAO_LINK = 0x00010000,  // a symbolic link, or a shortcut file (.lnk)
    SFGAO_SHARE = 0x00020000, // never set: the program has no shares
    SFGAO_FILESYSANCESTOR = 0x10000000,
    SFGAO_FOLDER = 0x20000000,
    SFGAO_FILESYSTEM = 0x40000000,
    SFGAO_HASSUBFOLDER = 0x80000000,
};

// One listed item with the find data that came with it (none for desktop items, which are
// volumes rather than files). Folders carry size 0.
struct EnumItem {
    ItemIDList id;
    bool hasFindData = false;
    std::uint64_t size = 0;
    FileTime lastWriteTime = 0;
};
using EnumSink = std::function<void(EnumItem&&)>;

class ShellFolder {
public:
    virtual ~ShellFolder() = default;
    ShellFolder(const ShellFolder&) = delete;
    ShellFolder& operator=(const ShellFolder&) = delete;

    // The folder's absolute ID list (the empty list for the desktop).
    const ItemIDList& idList() const { return abs_; }

    // Lists the folder's items of the kinds flags ask for, one at a time into sink, hidden
    // ones only with SHCONTF_INCLUDEHIDDEN, "." and ".." never. False (and nothing sent)
    // when the folder cannot be listed; a read error part way ends the list early.
    virtual bool EnumObjects(unsigned flags, const EnumSink& sink) const = 0;

    // The folder named by a relative list; null when it is not a folder that exists now.
    std::shared_ptr<const ShellFolder> BindToObject(const ItemIDList& relative) const;

    // The name of a relative list (of any length) in one of the SHGDN forms; an empty list
    // names this folder itself. SHGDN_FORPARSING gives the exact path bytes; the other
    // forms give text that is valid UTF-8 (bytes that are not become U+FFFD). False with
    // "" for a null list.
    bool GetDisplayNameOf(const ItemIDList& relative, unsigned flags, std::string& out) const;

    // The SFGAO bits of `asked` that hold for the item. Folder and link come from the ID;
    // SFGAO_HASSUBFOLDER, only when asked, lists the folder up to its first subfolder.
    std::uint32_t GetAttributesOf(const ItemIDList& relative, std::uint32_t asked) const;

    // The folder's name order of two relative lists, ID by ID: desktop items in the order
    // home, "/", volumes by path; then folders before files, then compareNames. 0 only for
    // lists naming the same items.
    int CompareIDs(const ItemIDList& a, const ItemIDList& b) const;
    // The same order for two single IDs given by their flags and names, for callers that
    // sort many items of one folder and read each ID once.
    static int compareOneID(std::uint8_t flagsA, std::string_view nameA, std::uint8_t flagsB,
                            std::string_view nameB);

    // Renames the item named by a one-item list. Refused (false) for desktop items, an
    // empty name, ".", "..", a name holding "/" or a NUL byte, an existing target, and
    // when the file system refuses; errno then says why. On success newId names the item
    // under its new name.
    bool SetNameOf(const ItemIDList& relative, std::string_view newName, ItemIDList& newId) const;

    // The item's find record, read now (false for desktop items and vanished files).
    bool GetDataFromIDList(const ItemIDList& relative, FindData& out) const;

    // The exact path of a relative list (an empty list: this folder's own path; for the
    // desktop, the desktop directory).
    virtual std::string pathOf(const ItemIDList& relative) const = 0;

protected:
    explicit ShellFolder(ItemIDList abs) : abs_(std::move(abs)) {}
    // The folder's own name (for an empty relative list) in a non-parsing form.
    virtual std::string ownDisplayName() const = 0;

private:
    ItemIDList abs_;
};

using ShellFolderPtr = std::shared_ptr<const ShellFolder>;

// The desktop root, made once per process.
ShellFolderPtr SHGetDesktopFolder();
// The desktop's own ID list (the empty list).
ItemIDList desktopIDList();
// Absolute path to absolute ID list, through "/" (the first ID is the root item "/"):
// "/" gives one ID, "/a/b" three. "." and empty components are skipped, ".." steps back.
// False for a relative or empty path and for a path that does not exist.
bool ParseDisplayName(std::string_view path, ItemIDList& out);
// File-system path of an absolute list (the desktop: its directory); false for null.
bool SHGetPathFromIDList(const ItemIDList& absolute, std::string& out);
// Icon and type index (mimetypes.h) of the item an absolute list names.
int typeIndexOfItem(const ItemIDList& absolute);

// Mount points of block-device file systems under /media, /mnt and /run/media, sorted.
std::vector<std::string> mountedVolumes();
// Test seam: the mount table read by mountedVolumes ("" restores /proc/self/mountinfo).
void setMountInfoPathForTesting(std::string path);

} // namespace g3
