// The desktop's trash, as the freedesktop.org Trash specification 1.0 lays it out: the home
// trash ($XDG_DATA_HOME/Trash) for the file system of the user's data folder, and on every
// other file system $topdir/.Trash/$uid (where the administrator made $topdir/.Trash, a
// folder with the sticky bit) or else $topdir/.Trash-$uid. Other programs' trash tools list
// and restore what this puts there, and the other way round.
//
// Nothing is ever deleted here: an item is either in a trash with its record, or where it
// was. The record (.trashinfo) is written first and reserves the name, so a crash between
// the two steps leaves at worst a record without its item.
#pragma once

#include <string>
#include <vector>

namespace g3 {

struct TrashEntry {
    std::string trash;        // the trash folder (holding files/ and info/)
    std::string name;         // the item's name in files/ (and name + ".trashinfo" in info/)
    std::string originalPath; // absolute, exact bytes
    std::string deletionDate; // "YYYY-MM-DDThh:mm:ss", local time
};

// Moves the file, link or folder at path (a folder whole, with one rename) into the trash
// of its file system. 0, with the record in entry when given, or the errno of why it could
// not be trashed (the item then stays where it was). A trash folder that is a link or
// belongs to another user is never used (EPERM, ENOTDIR).
int moveToTrash(const std::string& path, TrashEntry* entry = nullptr);

// Every item of every trash this user has: the home trash and the trashes of all mounted
// file systems.
std::vector<TrashEntry> listTrash();

// Puts an item back where it was, making missing folders on the way. Refused (EEXIST)
// when something is there already; 0 or errno.
int restoreFromTrash(const TrashEntry& entry);

// True when folder is the files/ folder of one of this user's trashes (the home trash, or
// a file system's .Trash/$uid or .Trash-$uid), beside its info/ folder.
bool isTrashFilesFolder(const std::string& folder);
// The record of the item at itemPath, which stands directly in a trash's files/ folder;
// false when it is elsewhere or has no readable record.
bool trashEntryOf(const std::string& itemPath, TrashEntry& entry);

// The trash folder path would go to (made when missing), or "" when its file system offers
// none this user may use; errno in lastError() then.
std::string trashFor(const std::string& path);

// Percent-encoding of a path's bytes for the record's Path line ("/" kept), and back.
std::string encodeTrashPath(const std::string& bytes);
std::string decodeTrashPath(const std::string& text);

} // namespace g3
